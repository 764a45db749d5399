// Files and folders by path.
//
// Public functions:
//   PathExists()         PathFileExistsA: a file, a folder or a drive "E:"
//   FileAttributes()     the attribute bits, or nothing when the path is missing
//   ListFolder()         the entries of a folder (FindFirstFile over "folder\*")
//   CreateFolder()       one folder
//   CreateFolderPath()   MakeSureDirectoryPathExists: every folder up to the last '\'
//   ShellDelete()        SHFileOperation delete: a file or a whole tree, silently
//   RemoveFile()         DeleteFile
//   FileSize()           64-bit size from the file's attributes (GetFileAttributesEx)
//   FileBeingWritten()   another program holds the file open for writing
//   ShortPath()          GetShortPathNameA
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace os {

enum FileAttribute : uint32_t {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
};

struct DirEntry {
  std::string name;
  uint32_t attributes = 0;
  uint64_t size = 0;
  bool IsFolder() const { return (attributes & kAttrDirectory) != 0; }
};

bool PathExists(std::string_view path);
std::optional<uint32_t> FileAttributes(std::string_view path);
// Entries in the order the file system gives them, without "." and "..".
// An unreadable or missing folder gives an empty list.
std::vector<DirEntry> ListFolder(std::string_view folder);
bool CreateFolder(std::string_view path);
bool CreateFolderPath(std::string_view path);
// Deletes without confirmation, progress or error window, and not into the
// recycle bin. True only when the shell reports success.
bool ShellDelete(std::string_view path);
bool RemoveFile(std::string_view path);
// The size needs no open of the file: a file that another program holds
// open for writing has its size too.
std::optional<uint64_t> FileSize(std::string_view path);
// True when the file exists but cannot be opened for reading while others
// may only read it (a sharing violation): another program is writing it.
bool FileBeingWritten(std::string_view path);
// The short (8.3) form of an existing path; the long form where the volume
// keeps no short names; nothing when the path does not exist.
std::optional<std::string> ShortPath(std::string_view path);

}  // namespace os
