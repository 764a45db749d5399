// Private-profile calls through the ANSI entry points: the file's text and
// the buffer limits are those of the A calls.
#include "os/profile.h"

#include <windows.h>

#include <vector>

#include "os/ansi.h"

namespace os {

uint32_t ProfileRead(std::string_view section, std::string_view key, std::string_view defaultValue,
                     uint32_t bufferSize, std::string_view file, std::string& value) {
  std::string s = ToAnsi(section), k = ToAnsi(key), d = ToAnsi(defaultValue), f = ToAnsi(file);
  if (bufferSize == 0) {
    char untouched = 0;
    return GetPrivateProfileStringA(s.c_str(), k.c_str(), d.c_str(), &untouched, 0, f.c_str());
  }
  std::vector<char> buffer(bufferSize, '\0');
  DWORD n = GetPrivateProfileStringA(s.c_str(), k.c_str(), d.c_str(), buffer.data(), bufferSize, f.c_str());
  value = FromAnsi(std::string_view(buffer.data(), n));
  return n;
}

bool ProfileWrite(std::string_view section, const std::optional<std::string>& key,
                  const std::optional<std::string>& value, std::string_view file) {
  std::string s = ToAnsi(section), f = ToAnsi(file);
  std::string k = key ? ToAnsi(*key) : "", v = value ? ToAnsi(*value) : "";
  return WritePrivateProfileStringA(s.c_str(), key ? k.c_str() : nullptr, value ? v.c_str() : nullptr, f.c_str()) !=
         FALSE;
}

}  // namespace os
