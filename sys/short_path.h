// The short path of a file, quoted for a command line.
//
// Public function: GetShortPath().
#pragma once

#include <string>
#include <string_view>

namespace sys {

// The short (8.3) form of an existing path between double quotes, ready to be
// placed in a command line; where the volume keeps no short names it is the
// long form, spaces and all, still between quotes. A path that does not exist
// has no short form: it comes back as given, between quotes, so the command
// still names the missing file and its start fails with "file not found".
std::string GetShortPath(std::string_view path);

}  // namespace sys
