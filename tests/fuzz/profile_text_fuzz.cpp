// The private-profile text (configuration and language files): any file
// content is read and edited without harm, and a value set by an edit is
// what a lookup then finds.
//
// The input is: section name, NUL, key name, NUL, value, NUL, file content.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "os/ansi.h"
#include "os/sim/profile_text.h"

namespace {

std::string_view Next(std::string_view& rest) {
  size_t nul = rest.find('\0');
  std::string_view part = rest.substr(0, nul);
  rest.remove_prefix(nul == std::string_view::npos ? rest.size() : nul + 1);
  return part;
}

// Names and values that a program would write: letters, digits and a few
// signs inside; no blanks at the ends, no quotes around, no line ends.
bool Plain(std::string_view text, bool isName) {
  if (text.empty() || text.size() > 40) return false;
  for (char c : text) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
              (!isName && (c == '.' || c == ',' || c == '-' || c == '/'));
    if (!ok) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::string section(Next(rest)), key(Next(rest)), value(Next(rest));
  std::string content(rest);
  auto decode = [](std::string_view bytes) { return os::FromCodePage(1252, bytes); };

  os::sim::ProfileTrim(content);
  os::sim::ProfileLookup(content, section, key, decode);
  os::sim::ProfileEdit(content, section, key, std::nullopt, decode);
  os::sim::ProfileEdit(content, section, std::nullopt, std::nullopt, decode);
  std::string edited = os::sim::ProfileEdit(content, section, key, value, decode);
  if (Plain(section, true) && Plain(key, true) && Plain(value, false)) {
    auto found = os::sim::ProfileLookup(edited, section, key, decode);
    if (!found || *found != value) {
      fprintf(stderr, "[%s] %s=%s set, but a lookup finds %s in:\n%s\n", section.c_str(), key.c_str(), value.c_str(),
              found ? found->c_str() : "nothing", edited.c_str());
      abort();
    }
  }
  return 0;
}
