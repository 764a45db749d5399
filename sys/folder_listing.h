// The folder listing by pattern that the configuration and package searches
// use: files only, without hidden or system files, in name order, the
// pattern ('*' and '?') matched without regard to case.
//
// Public functions: ListFiles(), MatchesPattern().
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sys {

// File names (not paths) of `folder` that match `pattern`, sorted by name
// without regard to case.
std::vector<std::string> ListFiles(std::string_view folder, std::string_view pattern);

bool MatchesPattern(std::string_view name, std::string_view pattern);

}  // namespace sys
