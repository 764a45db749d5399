#include "extra/addwim_batch.h"

#include <algorithm>
#include <cmath>

#include "sys/text.h"

namespace extra {

// lAddWim
const std::string& AddWimTemplate() {
  // Lines 1 and 9 are comments: "rem 注释：..." (注释 means note). The boot
  // loader's path stays a comment, so the entry has no path of its own.
  static const std::string text = [] {
    const char* const lines[] = {
        "rem \xE6\xB3\xA8\xE9\x87\x8A\xEF\xBC\x9A" "PEName\xE3\x80\x81" "WIMFile\xE3\x80\x81" "SDIFile\xE3\x80\x81"
        "BootType(exe,efi)",
        "bcdedit /delete {ffffffff-3600-11de-8e71-ffffffffffff} /cleanup",
        "bcdedit /delete {ffffffff-3600-11de-8e71-fffffffffffe} /cleanup",
        "bcdedit /create {ffffffff-3600-11de-8e71-ffffffffffff} /d \"%PEName%\" /device",
        "bcdedit /create  {ffffffff-3600-11de-8e71-fffffffffffe} /d \"%PEName%\" /application osloader",
        "bcdedit /set {ffffffff-3600-11de-8e71-ffffffffffff} ramdisksdidevice partition=C:",
        "bcdedit /set {ffffffff-3600-11de-8e71-ffffffffffff} ramdisksdipath \\WinPE\\%SDIFile%",
        "bcdedit /set  {ffffffff-3600-11de-8e71-fffffffffffe} device                  "
        "ramdisk=[C:]\\WinPE\\%WIMFile%,{ffffffff-3600-11de-8e71-ffffffffffff}",
        "rem \xE6\xB3\xA8\xE9\x87\x8A\xEF\xBC\x9A"
        "bcdedit /set  {ffffffff-3600-11de-8e71-fffffffffffe} path                    "
        "\\windows\\system32\\boot\\winload.exe",
        "bcdedit /set  {ffffffff-3600-11de-8e71-fffffffffffe} description             \"%PEName%\"",
        "bcdedit /set  {ffffffff-3600-11de-8e71-fffffffffffe} locale                  zh-cn",
        "bcdedit /set  {ffffffff-3600-11de-8e71-fffffffffffe} inherit                 {bootloadersettings}",
        "bcdedit /set  {ffffffff-3600-11de-8e71-fffffffffffe} osdevice                "
        "ramdisk=[C:]\\WinPE\\%WIMFile%,{ffffffff-3600-11de-8e71-ffffffffffff}",
        "bcdedit /set  {ffffffff-3600-11de-8e71-fffffffffffe} systemroot              \\windows",
        "bcdedit /set  {ffffffff-3600-11de-8e71-fffffffffffe} detecthal               Yes",
        "bcdedit /set  {ffffffff-3600-11de-8e71-fffffffffffe} winpe                   Yes",
        "bcdedit /set  {ffffffff-3600-11de-8e71-fffffffffffe} ems                     no",
        "bcdedit /displayorder {ffffffff-3600-11de-8e71-fffffffffffe} /addlast",
        "",
        "bcdedit /timeout %timeout%",
    };
    std::string joined;
    for (const char* line : lines) joined += (joined.empty() ? "" : "\r\n") + std::string(line);
    return joined;
  }();
  return text;
}

std::string FillAddWim(std::string_view peName, std::string_view wimFile, std::string_view sdiFile,
                       std::string_view timeOut) {
  std::string text = sys::ReplaceAll(AddWimTemplate(), "%PEName%", peName);
  text = sys::ReplaceAll(text, "%WIMFile%", wimFile);
  text = sys::ReplaceAll(text, "%SDIFile%", sdiFile);
  return sys::ReplaceAll(text, "%timeout%", timeOut);
}

std::string WithProgramPath(std::string_view batch, std::string_view name, std::string_view path) {
  std::string out;
  std::string word = std::string(name) + " ";
  size_t start = 0;
  while (start <= batch.size()) {
    size_t end = batch.find('\n', start);
    std::string_view line = batch.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (line.size() >= word.size() && sys::LowerAscii(line.substr(0, word.size())) == sys::LowerAscii(word))
      out += std::string(path) + " " + std::string(line.substr(word.size()));
    else
      out += line;
    if (end == std::string_view::npos) break;
    out += '\n';
    start = end + 1;
  }
  return out;
}

std::string TimeOutText(std::string_view configured) {
  double value = sys::Val(configured);
  // A negative time-out is no time-out the boot menu knows: 0 would hide the
  // menu in which the user is told to choose the PE system, so the menu waits
  // as long as Windows lets it wait when it is installed.
  if (value < 0 && sys::RoundHalfEven(std::max(value, -65536.0)) < 0) return std::to_string(kDefaultBootMenuTimeOut);
  // A huge or unreadable number gives the nearest end of the range: never an
  // overflow.
  if (!(value > 0)) value = 0;
  if (value > 65535) value = 65535;
  return std::to_string(sys::RoundHalfEven(value));
}

bool UnsafeValue(std::string_view value) {
  for (size_t i = 0; i < value.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(value[i]);
    if (c < 0x20 || c == 0x7F) return true;
    if (c == '"' || c == '%' || c == '&' || c == '|' || c == '<' || c == '>' || c == '^') return true;
    // U+0080 to U+009F, the second set of control characters (C2 80 to C2 9F).
    if (c == 0xC2 && i + 1 < value.size()) {
      unsigned char next = static_cast<unsigned char>(value[i + 1]);
      if (next >= 0x80 && next <= 0x9F) return true;
    }
  }
  return false;
}

}  // namespace extra
