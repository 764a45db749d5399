// The language files the program ships, read as the program reads them: on
// a machine whose ANSI code page is the file's, through the profile calls.
// Every string must be there, and the texts must still read well once the
// program has trimmed them and glued them to what it puts around them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/language.h"
#include "os/sim/sim.h"
#include "tests/support/sim_machine.h"

namespace {

struct Shipped {
  uint32_t id;
  uint32_t codePage;
};
const Shipped kFiles[] = {{1033, 1252}, {1031, 1252}, {2052, 936}, {1028, 950}};

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The strings and the font list of one shipped file, as the program reads them.
struct Texts {
  std::vector<std::string> strings;
  std::string font;
};

Texts Read(const Shipped& file) {
  test::SimMachine m([&](os::sim::Machine& mm) { mm.codePage = file.codePage; });
  std::string name = "C:\\Tarnvale\\Data\\Lang\\" + std::to_string(file.id) + ".lng";
  m.WriteFile(name, FileBytes(std::string(TV_LANG_DIR) + "/" + std::to_string(file.id) + ".lng"));
  app::sLangPath = name;
  Texts t;
  for (int n = 0; n < app::kLangStringCount; ++n)
    t.strings.push_back(app::ReadLang("String(" + std::to_string(n) + ")", "Language_Tarnvale"));
  t.font = app::ReadLang("font", "Option");
  return t;
}

bool StartsWithAsciiLetter(const std::string& s) { return !s.empty() && isalpha(static_cast<unsigned char>(s[0])); }

class ShippedLanguage : public ::testing::TestWithParam<Shipped> {};

// The value of String(n) in the UTF-8 source, as the program will see it.
std::string SourceString(uint32_t id, int n) {
  std::istringstream in(FileBytes(std::string(TV_LANG_SOURCES) + "/" + std::to_string(id) + ".lng"));
  std::string line, key = "String(" + std::to_string(n) + ")=";
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(key, 0) != 0) continue;
    std::string v = line.substr(key.size());
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    while (!v.empty() && v.back() == ' ') v.pop_back();
    while (!v.empty() && v.front() == ' ') v.erase(v.begin());
    return v;
  }
  return "<missing>";
}

TEST_P(ShippedLanguage, HoldsEveryStringWhole) {
  Texts t = Read(GetParam());
  for (int n = 0; n < app::kLangStringCount; ++n) {
    EXPECT_FALSE(t.strings[n].empty()) << "String(" << n << ")";
    // Nothing lost to the code page or to the 254-byte read limit.
    EXPECT_EQ(SourceString(GetParam().id, n), t.strings[n]) << "String(" << n << ")";
  }
  EXPECT_FALSE(t.font.empty());
}

TEST_P(ShippedLanguage, MakeModesAreTellableApart) {
  Texts t = Read(GetParam());
  const std::string& update = t.strings[5];
  const std::string& fresh = t.strings[64];
  const std::string& diskpart = t.strings[67];
  for (const auto& [a, b] : {std::pair{update, fresh}, {update, diskpart}, {fresh, update}, {fresh, diskpart},
                             {diskpart, update}, {diskpart, fresh}})
    EXPECT_EQ(std::string::npos, a.find(b)) << "'" << a << "' contains '" << b << "'";
}

TEST_P(ShippedLanguage, BusyCaptionsAndStatusTextsDifferFromTheIdleOnes) {
  Texts t = Read(GetParam());
  // The keys are blocked while the start button shows 6 or 16: never at idle.
  EXPECT_NE(t.strings[4], t.strings[6]);
  EXPECT_NE(t.strings[4], t.strings[16]);
  // The status line restores only while it shows 3: no running step may show it.
  for (int n : {17, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 54})
    EXPECT_NE(t.strings[3], t.strings[n]) << "String(" << n << ")";
}

TEST_P(ShippedLanguage, TextsGluedToALetterOrANumberKeepASeparator) {
  Texts t = Read(GetParam());
  // "E:" + 37 or 38: the text must not run into the letter's colon.
  EXPECT_FALSE(StartsWithAsciiLetter(t.strings[37])) << t.strings[37];
  EXPECT_FALSE(StartsWithAsciiLetter(t.strings[38])) << t.strings[38];
  // 30 + "42" + "%": the number must not run into a word.
  const std::string& progress = t.strings[30];
  ASSERT_FALSE(progress.empty());
  EXPECT_FALSE(isalnum(static_cast<unsigned char>(progress.back()))) << progress;
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedLanguage, ::testing::ValuesIn(kFiles),
                         [](const ::testing::TestParamInfo<Shipped>& p) { return std::to_string(p.param.id); });

}  // namespace
