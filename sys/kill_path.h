// Deleting a file or a folder tree without any dialog.
//
// Public function: KillPath().
#pragma once

#include <string_view>

namespace sys {

// Deletes the path with everything below it, without confirmation, progress
// or error window, and not into the recycle bin; read-only files go too.
// True only when the shell reports success; a missing path gives false.
bool KillPath(std::string_view path);

}  // namespace sys
