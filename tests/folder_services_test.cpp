// The folder listing by pattern, deleting trees, and random folder names.
#include <gtest/gtest.h>

#include <set>

#include "os/files.h"
#include "sys/folder_listing.h"
#include "sys/kill_path.h"
#include "sys/random_str.h"
#include "tests/support/test_folder.h"

namespace {

TEST(FolderListing, FilesOnlyInNameOrderWithoutHiddenOrSystem) {
  test::TestFolder f;
  f.Write("b.cfg", "");
  f.Write("A.CFG", "");
  f.Write("c.cfgx", "");
  f.Write("hidden.cfg", "");
  f.Write("system.cfg", "");
  f.Write("readonly.cfg", "");
  os::CreateFolder(f.Path("folder.cfg"));
  test::SetAttributesForTest(f.Path("hidden.cfg"), os::kAttrHidden);
  test::SetAttributesForTest(f.Path("system.cfg"), os::kAttrSystem);
  test::SetAttributesForTest(f.Path("readonly.cfg"), os::kAttrReadOnly);
  EXPECT_EQ((std::vector<std::string>{"A.CFG", "b.cfg", "readonly.cfg"}), sys::ListFiles(f.Root(), "*.cfg"));
  test::SetAttributesForTest(f.Path("readonly.cfg"), 0);
}

TEST(FolderListing, MissingFolderGivesNothing) {
  test::TestFolder f;
  EXPECT_TRUE(sys::ListFiles(f.Path("absent"), "*.iso").empty());
}

TEST(FolderListing, PatternMatching) {
  EXPECT_TRUE(sys::MatchesPattern("PE.ISO", "*.iso"));
  EXPECT_TRUE(sys::MatchesPattern("a.b.7z", "*.7z"));
  EXPECT_FALSE(sys::MatchesPattern("x.7zz", "*.7z"));
  EXPECT_FALSE(sys::MatchesPattern("iso", "*.iso"));
  EXPECT_TRUE(sys::MatchesPattern("abc", "a?c"));
}

TEST(KillPath, DeletesATreeWithReadOnlyFilesWithoutAsking) {
  test::TestFolder f;
  os::CreateFolder(f.Path("tree"));
  os::CreateFolder(f.Path("tree\\sub"));
  f.Write("tree\\sub\\locked.txt", "x");
  test::SetAttributesForTest(f.Path("tree\\sub\\locked.txt"), os::kAttrReadOnly);
  EXPECT_TRUE(sys::KillPath(f.Path("tree")));
  EXPECT_FALSE(f.Exists("tree"));
}

TEST(KillPath, MissingPathGivesFalse) {
  test::TestFolder f;
  EXPECT_FALSE(sys::KillPath(f.Path("absent")));
}

TEST(RandomStr, LettersOnlyAndDifferentEachTime) {
  EXPECT_EQ("", sys::RandomStr(0));
  std::set<std::string> seen;
  for (int i = 0; i < 20; ++i) {
    std::string s = sys::RandomStr(8);
    ASSERT_EQ(8u, s.size());
    for (char c : s) EXPECT_TRUE((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) << s;
    seen.insert(s);
  }
  EXPECT_EQ(20u, seen.size());
}

}  // namespace
