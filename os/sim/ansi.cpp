// Code page conversions of the simulated machine, through the C library's iconv.
#include "os/ansi.h"

#include <iconv.h>

#include <cerrno>
#include <map>
#include <utility>

#include "os/sim/sim.h"
#include "os/utf8.h"

namespace os {
namespace {

constexpr unsigned kUtf8 = 65001;
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// The converters opened so far, one per code page and direction; closed when
// the process ends.
class ConverterCache {
 public:
  ~ConverterCache() {
    for (auto& [key, cd] : converters_)
      if (cd != kNoConverter) iconv_close(cd);
  }
  iconv_t Get(unsigned codePage, bool toCodePage) {
    auto key = std::make_pair(codePage, toCodePage);
    auto it = converters_.find(key);
    if (it != converters_.end()) return it->second;
    std::string name = "CP" + std::to_string(codePage);
    iconv_t cd = toCodePage ? iconv_open(name.c_str(), "UTF-8") : iconv_open("UTF-8", name.c_str());
    converters_[key] = cd;
    return cd;
  }

 private:
  std::map<std::pair<unsigned, bool>, iconv_t> converters_;
};

iconv_t Converter(unsigned codePage, bool toCodePage) {
  static ConverterCache cache;
  return cache.Get(codePage, toCodePage);
}

// UTF-8 as Windows reads it (code page 65001): a well-formed sequence is
// kept, anything else becomes U+FFFD. A sequence is read byte by byte, as
// far as it can still become the shortest form of a code point up to
// U+10FFFF that is no surrogate; what was read then becomes one U+FFFD, and
// reading goes on with the byte that did not fit, except that a byte which
// would take the value past U+10FFFF is left out of the bad sequence. A
// sequence cut off by the end of the text takes the rest of the text with it.
std::string WindowsUtf8(std::string_view bytes) {
  static const char kReplacement[] = "\xEF\xBF\xBD";
  auto continuation = [&](size_t at, uint32_t& bits) {
    unsigned char c = static_cast<unsigned char>(bytes[at]) ^ 0x80;
    bits = c;
    return c < 0x40;
  };
  std::string out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    size_t start = i;
    unsigned char lead = static_cast<unsigned char>(bytes[i++]);
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      continue;
    }
    // Bytes that follow the lead: C2..DF one, E0..EF two, F0..F4 three.
    size_t follow = lead < 0xC2 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : lead < 0xF5 ? 3 : 0;
    if (follow == 0) {
      out += kReplacement;
      continue;
    }
    if (i + follow > bytes.size()) {
      out += kReplacement;
      break;
    }
    uint32_t value = lead & (0x7Fu >> (follow + 1)), bits = 0;
    bool good = false;
    do {
      if (follow == 3) {
        if (!continuation(i, bits)) break;
        value = value << 6 | bits;
        ++i;
        if (value < 0x10) break;  // an overlong four-byte form
      }
      if (follow >= 2) {
        if (!continuation(i, bits)) break;
        value = value << 6 | bits;
        if (value >= (0x110000 >> 6)) break;  // past U+10FFFF; this byte is not taken
        ++i;
        if (value < 0x20) break;                                           // an overlong three-byte form
        if (value >= (0xD800 >> 6) && value <= (0xDFFF >> 6)) break;       // a surrogate
      }
      if (!continuation(i, bits)) break;
      ++i;
      good = true;
    } while (false);
    if (good) out.append(bytes.substr(start, i - start));
    else out += kReplacement;
  }
  return out;
}

// Converts as much as iconv takes; returns false when it stopped early.
bool Run(iconv_t cd, std::string_view in, std::string& out, size_t* consumed) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buffer[4096];
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      *consumed = in.size() - srcLeft;
      return false;
    }
  }
  char* dst = buffer;
  size_t dstLeft = sizeof buffer;
  iconv(cd, nullptr, nullptr, &dst, &dstLeft);
  out.append(buffer, static_cast<size_t>(dst - buffer));
  *consumed = in.size();
  return true;
}

}  // namespace

unsigned AnsiCodePage() { return sim::Current()->codePage; }

std::string ToCodePage(unsigned codePage, std::string_view utf8, bool* exact) {
  if (exact) *exact = true;
  if (codePage == kUtf8) {
    std::string out = WindowsUtf8(utf8);
    if (exact) *exact = out == utf8;
    return out;
  }
  iconv_t cd = Converter(codePage, true);
  if (cd == kNoConverter) {
    if (exact) *exact = false;
    return std::string(utf8);
  }
  std::string out;
  size_t pos = 0;
  while (pos < utf8.size()) {
    size_t consumed = 0;
    if (Run(cd, utf8.substr(pos), out, &consumed)) break;
    // A character the code page lacks: '?' in its place, as Windows does.
    pos += consumed;
    out += '?';
    if (exact) *exact = false;
    pos += Utf8SequenceLength(static_cast<unsigned char>(utf8[pos]));
  }
  return out;
}

std::string FromCodePage(unsigned codePage, std::string_view bytes) {
  if (codePage == kUtf8) return WindowsUtf8(bytes);
  iconv_t cd = Converter(codePage, false);
  if (cd == kNoConverter) return std::string(bytes);
  std::string out;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t consumed = 0;
    if (Run(cd, bytes.substr(pos), out, &consumed)) break;
    pos += consumed + 1;
    out += '?';
  }
  return out;
}

}  // namespace os
