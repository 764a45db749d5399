// Private-profile (INI) files, as GetPrivateProfileStringA and
// WritePrivateProfileStringA read and write them: text in the ANSI code page,
// names matched without regard to case.
//
// Public functions:
//   ProfileRead()   one value, cut to the caller's buffer size
//   ProfileWrite()  set a value; a missing value deletes the key, a missing key the section
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace os {

// Reads a value into a buffer of bufferSize bytes, as GetPrivateProfileStringA
// does: the value arrives cut to bufferSize - 1 bytes. Returns the number of
// bytes placed in the buffer (without the NUL); `value` receives them as UTF-8.
// A bare file name (no folder) names a file in the Windows folder.
uint32_t ProfileRead(std::string_view section, std::string_view key,
                     std::string_view defaultValue, uint32_t bufferSize,
                     std::string_view file, std::string& value);

// WritePrivateProfileStringA. A missing key deletes the whole section, a
// missing value deletes the key. Returns whether the platform reported success.
bool ProfileWrite(std::string_view section, const std::optional<std::string>& key,
                  const std::optional<std::string>& value, std::string_view file);

}  // namespace os
