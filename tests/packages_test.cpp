// Finding the PE package beside the program: which folder wins, which file
// of a kind, and the result code that chooses the layouts offered.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "make/find_packages.h"
#include "os/files.h"
#include "tests/support/sim_machine.h"
#include "tests/support/test_folder.h"

namespace {

class Packages : public ::testing::Test {
 protected:
  // P = C:\Apps\Tarnvale, Q = C:\Apps.
  test::SimMachine m{[](os::sim::Machine& mm) { mm.program = "C:\\Apps\\Tarnvale\\Tarnvale.exe"; }};
  void File(const std::string& path) { m.WriteFile(path, ""); }
};

TEST_F(Packages, NothingFound) {
  EXPECT_EQ(make::kNoIsoPackage, make::FindFbaIso7z());
  EXPECT_EQ("", app::sFbaFile);
  EXPECT_EQ("", app::sIsoFile);
  EXPECT_EQ("", app::s7zFile);
}

TEST_F(Packages, ADataOrUdPackageAloneIsNoPackage) {
  File("C:\\Apps\\Tarnvale\\data.7z");
  EXPECT_EQ(make::kNoIsoPackage, make::FindFbaIso7z());
  EXPECT_EQ("C:\\Apps\\Tarnvale\\data.7z", app::s7zFile);
  File("C:\\Apps\\Tarnvale\\ud.fba");
  EXPECT_EQ(make::kNoIsoPackage, make::FindFbaIso7z());
  EXPECT_EQ("C:\\Apps\\Tarnvale\\ud.fba", app::sFbaFile);
  EXPECT_EQ("", app::sIsoFile);
}

TEST_F(Packages, UdPackageInAnEarlierFolderCountsWithTheImage) {
  File("C:\\Apps\\Tarnvale\\PE\\ud.fba");
  File("C:\\Apps\\Tarnvale\\PE\\data.7z");
  File("C:\\Apps\\Tarnvale\\pe.iso");
  EXPECT_EQ(make::kIsoWithFba, make::FindFbaIso7z());
  EXPECT_EQ("C:\\Apps\\Tarnvale\\PE\\ud.fba", app::sFbaFile);
  EXPECT_EQ("C:\\Apps\\Tarnvale\\pe.iso", app::sIsoFile);
  EXPECT_EQ("C:\\Apps\\Tarnvale\\PE\\data.7z", app::s7zFile);
}

TEST_F(Packages, TheSearchStopsAtTheFirstImage) {
  File("C:\\Apps\\Tarnvale\\pe.iso");
  File("C:\\Apps\\ud.fba");
  EXPECT_EQ(make::kIsoWithoutFba, make::FindFbaIso7z());
  EXPECT_EQ("", app::sFbaFile);
}

TEST_F(Packages, ALaterFolderReplacesAnEarlierPackageOfTheSameKind) {
  File("C:\\Apps\\Tarnvale\\PE\\old.7z");
  File("C:\\Apps\\PE\\new.7z");
  File("C:\\Apps\\PE\\pe.iso");
  EXPECT_EQ(make::kIsoWithoutFba, make::FindFbaIso7z());
  EXPECT_EQ("C:\\Apps\\PE\\new.7z", app::s7zFile);
  EXPECT_EQ("C:\\Apps\\PE\\pe.iso", app::sIsoFile);
}

TEST_F(Packages, FirstInNameOrderAndExtensionsInAnyCase) {
  File("C:\\Apps\\Tarnvale\\b.iso");
  File("C:\\Apps\\Tarnvale\\A.ISO");
  File("C:\\Apps\\Tarnvale\\hidden.fba");
  test::SetAttributesForTest("C:\\Apps\\Tarnvale\\hidden.fba", 2);
  EXPECT_EQ(make::kIsoWithoutFba, make::FindFbaIso7z());
  EXPECT_EQ("C:\\Apps\\Tarnvale\\A.ISO", app::sIsoFile);
}

TEST_F(Packages, PackagesCopiedInAfterAnEarlierSearchAreSeen) {
  EXPECT_EQ(make::kNoIsoPackage, make::FindFbaIso7z());
  File("C:\\Apps\\pe.iso");
  EXPECT_EQ(make::kIsoWithoutFba, make::FindFbaIso7z());
  EXPECT_EQ("C:\\Apps\\pe.iso", app::sIsoFile);
}

TEST_F(Packages, PackagesDeletedAfterAnEarlierSearchAreGone) {
  File("C:\\Apps\\Tarnvale\\pe.iso");
  File("C:\\Apps\\Tarnvale\\ud.fba");
  File("C:\\Apps\\Tarnvale\\data.7z");
  EXPECT_EQ(make::kIsoWithFba, make::FindFbaIso7z());
  EXPECT_EQ("C:\\Apps\\Tarnvale\\data.7z", app::s7zFile);
  ASSERT_TRUE(os::RemoveFile("C:\\Apps\\Tarnvale\\data.7z"));
  ASSERT_TRUE(os::RemoveFile("C:\\Apps\\Tarnvale\\ud.fba"));
  EXPECT_EQ(make::kIsoWithoutFba, make::FindFbaIso7z());
  EXPECT_EQ("", app::s7zFile);
  EXPECT_EQ("", app::sFbaFile);
  EXPECT_EQ("C:\\Apps\\Tarnvale\\pe.iso", app::sIsoFile);
}

}  // namespace
