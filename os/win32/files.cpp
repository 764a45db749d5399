// Files and folders through the wide Win32 calls.
#include "os/files.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include "os/win32/handle.h"
#include "os/win32/wide.h"

namespace os {

using win32::Utf8;
using win32::Wide;

bool PathExists(std::string_view path) {
  if (path.empty()) return false;
  return PathFileExistsW(Wide(path).c_str()) != FALSE;
}

std::optional<uint32_t> FileAttributes(std::string_view path) {
  DWORD a = GetFileAttributesW(Wide(path).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return a;
}

std::vector<DirEntry> ListFolder(std::string_view folder) {
  std::vector<DirEntry> entries;
  std::wstring pattern = Wide(folder);
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return entries;
  do {
    std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    DirEntry e;
    e.name = Utf8(name);
    e.attributes = data.dwFileAttributes;
    e.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entries.push_back(std::move(e));
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return entries;
}

bool CreateFolder(std::string_view path) { return CreateDirectoryW(Wide(path).c_str(), nullptr) != FALSE; }

bool CreateFolderPath(std::string_view path) {
  // As MakeSureDirectoryPathExists: every folder up to the last separator.
  std::wstring p = Wide(path);
  size_t last = p.find_last_of(L"\\/");
  if (last == std::wstring::npos) return true;
  for (size_t i = 0; i <= last; ++i) {
    if (p[i] != L'\\' && p[i] != L'/') continue;
    std::wstring part = p.substr(0, i);
    if (part.empty() || (part.size() == 2 && part[1] == L':')) continue;  // the root
    if (part.size() >= 2 && part[0] == L'\\' && part[1] == L'\\' && part.find(L'\\', 2) == std::wstring::npos)
      continue;  // "\\server"
    if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      DWORD a = GetFileAttributesW(part.c_str());
      if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) return false;
    }
  }
  return true;
}

bool ShellDelete(std::string_view path) {
  if (path.empty()) return false;
  std::wstring from = Wide(path);
  from.push_back(L'\0');  // the list of sources ends with two NULs
  SHFILEOPSTRUCTW op{};
  op.hwnd = nullptr;
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;  // 0x0414
  return SHFileOperationW(&op) == 0;
}

bool RemoveFile(std::string_view path) { return DeleteFileW(Wide(path).c_str()) != FALSE; }

std::optional<uint64_t> FileSize(std::string_view path) {
  // From the directory entry: no open, so a file that another program is
  // writing is not taken for one of size 0.
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool FileBeingWritten(std::string_view path) {
  win32::Handle file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  return !file.valid() && GetLastError() == ERROR_SHARING_VIOLATION;
}

std::optional<std::string> ShortPath(std::string_view path) {
  std::wstring w = Wide(path);
  DWORD n = GetShortPathNameW(w.c_str(), nullptr, 0);
  if (n == 0) return std::nullopt;
  std::wstring buffer(n, L'\0');
  n = GetShortPathNameW(w.c_str(), buffer.data(), n);
  if (n == 0) return std::nullopt;
  buffer.resize(n);
  return Utf8(buffer);
}

}  // namespace os
