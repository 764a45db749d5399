// The user guide (docs/user-guide.md) speaks of every text the program shows:
// each English language string (the start of it, as the guide may shorten a
// long message with "..."), the three keys and the system-menu entries.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "extra/addwim_batch.h"
#include "sys/text.h"

namespace {

std::string ReadSource(const std::string& relative) {
  std::ifstream in(std::string(TV_SOURCE_DIR) + "/" + relative, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(UserGuide, CoversEveryEnglishTextKeyAndMenuEntry) {
  std::string guide = ReadSource("docs/user-guide.md");
  std::string lang = ReadSource("res/lang/1033.lng");
  ASSERT_FALSE(guide.empty());
  int strings = 0;
  for (std::string line : sys::Split(lang, "\n")) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("String(", 0) != 0) continue;
    size_t eq = line.find('=');
    ASSERT_NE(std::string::npos, eq) << line;
    std::string text = sys::TrimSpaces(line.substr(eq + 1));
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    // Texts that follow a drive letter start with a no-break space.
    if (text.rfind("\xC2\xA0", 0) == 0) text = text.substr(2);
    text = sys::TrimSpaces(text);
    ++strings;
    if (text.empty()) continue;
    // The start of the text, cut at a word boundary after 30 characters.
    std::string start = text;
    if (start.size() > 30) {
      size_t cut = start.find(' ', 30);
      if (cut != std::string::npos) start = start.substr(0, cut);
    }
    EXPECT_TRUE(sys::Contains(guide, start)) << line.substr(0, eq) << " is not in the guide: " << start;
  }
  EXPECT_GE(strings, 69);
  for (const char* words : {"F2", "F5", "Ctrl+I", "EFI X64", "BIOS", "Restore space (F2)", "Tarnvale-Guide.txt"})
    EXPECT_TRUE(sys::Contains(guide, words)) << words;
  for (const char* key : {"Title", "DefaultFormat", "TwoPartEnable", "TaskbarProgress", "BreakPoint", "LimitUSBDisk",
                          "MobileHardDisk", "UDSize", "EFISize", "Label", "EFIHide", "PEName", "WIMFile", "SDIFile",
                          "TimeOut"})
    EXPECT_TRUE(sys::Contains(guide, std::string("| ") + key + " |")) << "configuration key " << key;
}

// What the program does beyond its plain steps is told where the user looks
// for it: the boot test's busy bar, and the time-out a negative TimeOut gives.
TEST(UserGuide, TellsTheBootTestsMarqueeAndTheTimeOutOfANegativeValue) {
  std::string guide = ReadSource("docs/user-guide.md");
  size_t section = guide.find("### The boot test");
  ASSERT_NE(std::string::npos, section);
  std::string bootTest = guide.substr(section, guide.find("\n#", section + 1) - section);
  EXPECT_TRUE(sys::Contains(bootTest, "marquee")) << bootTest;
  size_t row = guide.find("| TimeOut |");
  ASSERT_NE(std::string::npos, row);
  std::string timeOut = guide.substr(row, guide.find('\n', row) - row);
  EXPECT_TRUE(sys::Contains(timeOut, "negative number: " + std::to_string(extra::kDefaultBootMenuTimeOut))) << timeOut;
}

}  // namespace
