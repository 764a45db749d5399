// Text helpers that the system's logic shares: the numeric value of a text,
// trimming, case, searching and splitting. Texts are UTF-8.
//
// Public functions:
//   Val()            the number at the start of a text (0 when there is none)
//   RoundHalfEven()  to the nearest integer, halves to the even neighbour
//   TrimSpaces()     removes U+0020 at both ends (nothing else)
//   LowerAscii(), UpperAscii(), EqualsNoCase(), ContainsNoCase()
//   Contains(), ReplaceAll(), Split(), CountChars(), LeftChars()
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sys {

// The number at the start of the text after leading blanks and tabs: an
// optional sign, digits and a fractional part with '.' as decimal point.
// "12abc" reads as 12, "abc" and "" as 0.
double Val(std::string_view text);

// 2.5 -> 2, 3.5 -> 4, -2.5 -> -2. Values past the 64-bit range give its ends, NaN 0.
int64_t RoundHalfEven(double value);

std::string TrimSpaces(std::string_view text);
std::string LowerAscii(std::string_view text);
std::string UpperAscii(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool ContainsNoCase(std::string_view text, std::string_view part);

inline bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);
// Splits at every occurrence of the separator; "a,b," gives "a", "b", "".
std::vector<std::string> Split(std::string_view text, std::string_view separator);

// Characters (code points) of a UTF-8 text, and its first n characters.
size_t CountChars(std::string_view text);
std::string LeftChars(std::string_view text, size_t n);

}  // namespace sys
