// The code-page conversions: any bytes of any of the code pages the program
// meets become well-formed UTF-8 (as Windows reads them: what is not a
// character becomes one), and UTF-8 goes back and forth unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "os/ansi.h"

namespace {

// Well-formed UTF-8: the shortest form of code points up to U+10FFFF that are no surrogates.
bool WellFormed(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : c >= 0xC2 && c < 0xE0 ? 2 : c >= 0xE0 && c < 0xF0 ? 3 : c >= 0xF0 && c < 0xF5 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    uint32_t cp = n == 1 ? c : c & (0xFF >> (n + 1));
    for (size_t k = 1; k < n; ++k) {
      unsigned char t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    static const uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  for (unsigned cp : {1252u, 936u, 950u, 65001u}) {
    std::string text = os::FromCodePage(cp, bytes);
    if (!WellFormed(text)) abort();
    bool exact = false;
    std::string back = os::ToCodePage(cp, text, &exact);
    if (cp == 65001 && (back != text || !exact)) abort();
    // Text that is not well formed is taken as Windows takes it, without harm.
    os::ToCodePage(cp, bytes, &exact);
  }
  return 0;
}
