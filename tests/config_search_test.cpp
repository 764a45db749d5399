// Where the configuration file is found: the first "*.cfg" of P\PE, P, Q\PE
// and Q, where P is the program's folder and Q its parent.
#include <gtest/gtest.h>

#include "app/config.h"
#include "os/ansi.h"
#include "os/files.h"
#include "tests/support/sim_machine.h"
#include "tests/support/test_folder.h"

namespace {

class ConfigSearch : public ::testing::Test {
 protected:
  void SetUp() override { app::sCfgPath.clear(); }
  void TearDown() override { app::sCfgPath.clear(); }
  // The program lives in C:\Apps\Tarnvale: P = C:\Apps\Tarnvale, Q = C:\Apps.
  test::SimMachine m{[](os::sim::Machine& mm) { mm.program = "C:\\Apps\\Tarnvale\\Tarnvale.exe"; }};
};

TEST_F(ConfigSearch, PeSubfolderWinsOverTheProgramFolder) {
  m.WriteFile("C:\\Apps\\Tarnvale\\main.cfg", "");
  m.WriteFile("C:\\Apps\\Tarnvale\\PE\\pe.cfg", "");
  app::FindConfigFile();
  EXPECT_EQ("C:\\Apps\\Tarnvale\\PE\\pe.cfg", app::sCfgPath);
}

TEST_F(ConfigSearch, FirstInNameOrderWithoutRegardToCase) {
  m.WriteFile("C:\\Apps\\Tarnvale\\b.cfg", "");
  m.WriteFile("C:\\Apps\\Tarnvale\\A.CFG", "");
  app::FindConfigFile();
  EXPECT_EQ("C:\\Apps\\Tarnvale\\A.CFG", app::sCfgPath);
}

TEST_F(ConfigSearch, ParentFoldersAreSearchedLast) {
  m.WriteFile("C:\\Apps\\top.cfg", "");
  app::FindConfigFile();
  EXPECT_EQ("C:\\Apps\\top.cfg", app::sCfgPath);
  m.WriteFile("C:\\Apps\\PE\\pe.cfg", "");
  app::FindConfigFile();
  EXPECT_EQ("C:\\Apps\\PE\\pe.cfg", app::sCfgPath);
}

TEST_F(ConfigSearch, HiddenFilesAndFoldersAreSkipped) {
  m.WriteFile("C:\\Apps\\Tarnvale\\hidden.cfg", "");
  test::SetAttributesForTest("C:\\Apps\\Tarnvale\\hidden.cfg", os::kAttrHidden);
  m.MakeFolder("C:\\Apps\\Tarnvale\\dir.cfg");
  m.WriteFile("C:\\Apps\\Tarnvale\\PE\\x.txt", "");
  m.WriteFile("C:\\Apps\\later.cfg", "");
  app::FindConfigFile();
  EXPECT_EQ("C:\\Apps\\later.cfg", app::sCfgPath);
}

TEST_F(ConfigSearch, NoFileLeavesThePathEmptyAndEveryReadEmpty) {
  app::FindConfigFile();
  EXPECT_EQ("", app::sCfgPath);
  EXPECT_EQ("", app::ReadCfg("Title", "Option"));
  EXPECT_FALSE(app::WriteCfg("BreakPoint", "1", "Option"));
  // Nothing was created in the Windows folder either.
  EXPECT_TRUE(os::ListFolder("C:\\Windows").size() == 3u);  // Temp, System32, SysWOW64
}

TEST(ConfigSearchAtRoot, ProgramInADriveRootSearchesOnlyItsOwnFolders) {
  test::SimMachine m([](os::sim::Machine& mm) { mm.program = "C:\\Tarnvale.exe"; });
  m.WriteFile("C:\\PE\\root.cfg", "");
  app::FindConfigFile();
  EXPECT_EQ("C:\\PE\\root.cfg", app::sCfgPath);
  app::sCfgPath.clear();
}

TEST(ConfigCodePage, ChineseValuesAndFullWidthSpacesOnACodePage936Machine) {
  test::SimMachine m([](os::sim::Machine& mm) {
    mm.codePage = 936;
    mm.locale = 2052;
  });
  // "　启动盘　" with full-width spaces, in code page 936, in quotes.
  m.WriteFile("C:\\Tarnvale\\t.cfg", os::ToAnsi("[Option]\r\nTitle=\"\xE3\x80\x80\xE5\x90\xAF\xE5\x8A\xA8\xE7\x9B\x98\xE3\x80\x80\"\r\n"));
  app::FindConfigFile();
  EXPECT_EQ("\xE3\x80\x80\xE5\x90\xAF\xE5\x8A\xA8\xE7\x9B\x98\xE3\x80\x80", app::ReadCfg("Title", "Option"));
  // The comment the program writes is stored in code page 936.
  ASSERT_TRUE(app::WriteCfg("TaskbarProgress", "0\t\t\t\t//\xE4\xBB\xBB\xE5\x8A\xA1\xE6\xA0\x8F", "Option"));
  EXPECT_NE(std::string::npos, m.ReadFile("C:\\Tarnvale\\t.cfg").find("//\xC8\xCE\xCE\xF1\xC0\xB8"));
  EXPECT_EQ("0", app::ReadCfg("TaskbarProgress", "Option"));
  app::sCfgPath.clear();
}

}  // namespace
