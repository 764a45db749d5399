#include "sys/folder_listing.h"

#include <algorithm>

#include "os/files.h"
#include "sys/text.h"

namespace sys {

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  // Iterative wildcard match with backtracking to the last '*'.
  size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; };
  auto same = [&](char a, char b) { return lower(a) == lower(b); };
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<std::string> ListFiles(std::string_view folder, std::string_view pattern) {
  std::vector<std::string> names;
  for (const os::DirEntry& e : os::ListFolder(folder)) {
    if (e.IsFolder() || (e.attributes & (os::kAttrHidden | os::kAttrSystem))) continue;
    if (MatchesPattern(e.name, pattern)) names.push_back(e.name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    std::string la = LowerAscii(a), lb = LowerAscii(b);
    return la != lb ? la < lb : a < b;
  });
  return names;
}

}  // namespace sys
