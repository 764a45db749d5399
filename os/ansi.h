// Text conversions between the program's UTF-8 and the Windows code pages.
//
// Public functions:
//   AnsiCodePage()            the machine's ANSI code page (936, 950, 1252, ...)
//   ToAnsi(), FromAnsi()      UTF-8 <-> bytes in the ANSI code page
//   ToCodePage(), FromCodePage()  the same for a named code page
#pragma once

#include <string>
#include <string_view>

namespace os {

unsigned AnsiCodePage();

// A character that the code page cannot hold becomes '?'; *exact (when given)
// tells whether every character converted.
std::string ToCodePage(unsigned codePage, std::string_view utf8, bool* exact = nullptr);
std::string FromCodePage(unsigned codePage, std::string_view bytes);

inline std::string ToAnsi(std::string_view utf8, bool* exact = nullptr) {
  return ToCodePage(AnsiCodePage(), utf8, exact);
}
inline std::string FromAnsi(std::string_view bytes) {
  return FromCodePage(AnsiCodePage(), bytes);
}

}  // namespace os
