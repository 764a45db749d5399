// Reading and writing the configuration file: the comment convention, the
// trimming rules, the 128-character write limit and the 254-byte read limit.
#include <gtest/gtest.h>

#include "app/config.h"
#include "os/ansi.h"
#include "tests/support/test_folder.h"

namespace {

class Config : public ::testing::Test {
 protected:
  void SetUp() override { app::sCfgPath = folder.Path("Tarnvale.cfg"); }
  void TearDown() override { app::sCfgPath.clear(); }
  // The file's text, stored in the ANSI code page as the platform keeps it.
  void Given(const std::string& optionLines) { folder.Write("Tarnvale.cfg", os::ToAnsi("[Option]\r\n" + optionLines)); }
  std::string Read(const char* key) { return app::ReadCfg(key, "Option"); }
  test::TestFolder folder;
};

TEST_F(Config, ValueWithTabsAndCommentReadsAsTheValue) {
  Given("TaskbarProgress=1\t\t\t\t//\xE4\xBB\xBB\xE5\x8A\xA1\xE6\xA0\x8F\r\n");
  EXPECT_EQ("1", Read("TaskbarProgress"));
}

TEST_F(Config, CommentBetweenWordsKeepsTheFirstWord) {
  Given("Label=first//second\r\nTitle=//only a comment\r\nTwoPartEnable=1 // on\r\n");
  EXPECT_EQ("first", Read("Label"));
  EXPECT_EQ("", Read("Title"));
  EXPECT_EQ("1", Read("TwoPartEnable"));
}

TEST_F(Config, TabsInsideAreRemovedSpacesKept) {
  Given("Label=a\tb\r\nTitle=My  Stick\r\n");
  EXPECT_EQ("ab", Read("Label"));
  EXPECT_EQ("My  Stick", Read("Title"));
}

TEST_F(Config, FullWidthSpacesAtTheEndsAreKept) {
  // U+3000 is not a space to the trimming; the quotes protect it from the
  // profile call's own trimming of blanks.
  bool exact = false;
  os::ToAnsi("\xE3\x80\x80", &exact);
  if (!exact) GTEST_SKIP() << "the ANSI code page has no ideographic space";
  Given("Title=\"\xE3\x80\x80Tarnvale\xE3\x80\x80\"\r\n");
  EXPECT_EQ("\xE3\x80\x80Tarnvale\xE3\x80\x80", Read("Title"));
}

TEST_F(Config, MissingKeySectionOrFileReadsEmpty) {
  Given("Label=x\r\n");
  EXPECT_EQ("", Read("Title"));
  EXPECT_EQ("", app::ReadCfg("PEName", "InstPEToDisk"));
  app::sCfgPath = folder.Path("absent.cfg");
  EXPECT_EQ("", Read("Label"));
}

TEST_F(Config, StoredValueLongerThan254BytesIsReadCut) {
  Given("Title=" + std::string(300, 'x') + "\r\n");
  EXPECT_EQ(std::string(254, 'x'), Read("Title"));
}

TEST_F(Config, WrittenValueIsCutTo128Characters) {
  Given("Label=x\r\n");
  ASSERT_TRUE(app::WriteCfg("Title", std::string(200, 'y'), "Option"));
  EXPECT_EQ(std::string(128, 'y'), Read("Title"));
}

TEST_F(Config, WriteReplacesTheWholeValueAndIsSeenByTheNextRead) {
  Given("BreakPoint=12\t\t\t\t//old\r\nLabel=x\r\n");
  ASSERT_TRUE(app::WriteCfg("BreakPoint", "0", "Option"));
  EXPECT_EQ("0", Read("BreakPoint"));
  EXPECT_EQ("[Option]\r\nBreakPoint=0\r\nLabel=x\r\n", folder.Read("Tarnvale.cfg"));
}

TEST_F(Config, WriteCreatesMissingKeyAndSection) {
  Given("Label=x\r\n");
  ASSERT_TRUE(app::WriteCfg("UDSize", "300\t\t\t\t//UD", "Option"));
  ASSERT_TRUE(app::WriteCfg("TimeOut", "5", "InstPEToDisk"));
  EXPECT_EQ("[Option]\r\nLabel=x\r\nUDSize=300\t\t\t\t//UD\r\n[InstPEToDisk]\r\nTimeOut=5\r\n",
            folder.Read("Tarnvale.cfg"));
  EXPECT_EQ("300", Read("UDSize"));
}

TEST_F(Config, WithoutAConfigurationFileNothingIsWritten) {
  app::sCfgPath.clear();
  EXPECT_FALSE(app::WriteCfg("BreakPoint", "0", "Option"));
  EXPECT_EQ("", Read("BreakPoint"));
}

}  // namespace
