// Private-profile calls through the wide entry points, so that a file whose
// path has characters outside the ANSI code page is still found. The wide
// calls read and write the file's text in the ANSI code page all the same;
// the value handed back is cut as the ANSI call cuts it, to the buffer's
// size in bytes of that code page.
#include "os/profile.h"

#include <windows.h>

#include <vector>

#include "os/ansi.h"
#include "os/win32/wide.h"

namespace os {

uint32_t ProfileRead(std::string_view section, std::string_view key, std::string_view defaultValue,
                     uint32_t bufferSize, std::string_view file, std::string& value) {
  std::wstring s = win32::Wide(section), k = win32::Wide(key), d = win32::Wide(defaultValue), f = win32::Wide(file);
  if (bufferSize == 0) {
    wchar_t untouched = 0;
    return GetPrivateProfileStringW(s.c_str(), k.c_str(), d.c_str(), &untouched, 0, f.c_str());
  }
  // The whole value first: a buffer that grows until the value fits.
  std::vector<wchar_t> buffer(bufferSize < 256 ? 256 : bufferSize + 1, L'\0');
  DWORD n = 0;
  while (true) {
    DWORD size = static_cast<DWORD>(buffer.size());
    n = GetPrivateProfileStringW(s.c_str(), k.c_str(), d.c_str(), buffer.data(), size, f.c_str());
    if (n + 1 < size || size >= (1u << 20)) break;
    buffer.assign(buffer.size() * 2, L'\0');
  }
  std::string whole = win32::Utf8(std::wstring_view(buffer.data(), n));
  std::string bytes = ToAnsi(whole);
  if (bytes.size() < bufferSize) {
    value = whole;
    return static_cast<uint32_t>(bytes.size());
  }
  bytes.resize(bufferSize - 1);
  value = FromAnsi(bytes);
  return bufferSize - 1;
}

bool ProfileWrite(std::string_view section, const std::optional<std::string>& key,
                  const std::optional<std::string>& value, std::string_view file) {
  std::wstring s = win32::Wide(section), f = win32::Wide(file);
  std::wstring k = key ? win32::Wide(*key) : L"", v = value ? win32::Wide(*value) : L"";
  return WritePrivateProfileStringW(s.c_str(), key ? k.c_str() : nullptr, value ? v.c_str() : nullptr, f.c_str()) !=
         FALSE;
}

}  // namespace os
