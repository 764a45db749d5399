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

iconv_t Converter(unsigned codePage, bool toCodePage) {
  static std::map<std::pair<unsigned, bool>, iconv_t> cache;
  auto key = std::make_pair(codePage, toCodePage);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  std::string name = codePage == 65001 ? "UTF-8" : "CP" + std::to_string(codePage);
  iconv_t cd = toCodePage ? iconv_open(name.c_str(), "UTF-8") : iconv_open("UTF-8", name.c_str());
  cache[key] = cd;
  return cd;
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
  iconv_t cd = Converter(codePage, true);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
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
  iconv_t cd = Converter(codePage, false);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);
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
