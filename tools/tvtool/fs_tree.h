// The files of a host folder as a file-system writer sees them: entries in
// name order without the simulated machine's side files, their Windows
// attributes and times, and names in UTF-16.
//
// Public: struct TreeEntry, FolderEntries(), Utf16().
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tvtool {

struct TreeEntry {
  std::string name;      // UTF-8
  std::string hostPath;
  bool folder = false;
  uint64_t bytes = 0;
  int64_t modified = 0;     // seconds since 1970, UTC
  uint32_t attributes = 0;  // FILE_ATTRIBUTE_READONLY, _HIDDEN, _SYSTEM as the machine keeps them
};

// The entries of one host folder, folders and files, in name order; the
// attribute side file is left out. Empty when the folder cannot be read.
std::vector<TreeEntry> FolderEntries(const std::string& hostFolder);

// UTF-8 to UTF-16; a broken sequence becomes U+FFFD.
std::u16string Utf16(std::string_view utf8);

}  // namespace tvtool
