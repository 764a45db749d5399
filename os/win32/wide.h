// UTF-8 <-> UTF-16 for the wide Win32 calls.
//
// Public functions: Wide(), Utf8().
#pragma once

#include <string>
#include <string_view>

namespace os::win32 {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace os::win32
