// Windows paths on the simulated machine: case does not matter, short names
// resolve where the volume keeps them, and drives without files have none.
#include <gtest/gtest.h>

#include "os/file.h"
#include "os/files.h"
#include "os/sim/paths.h"
#include "os/sim/sim.h"
#include "tests/support/sim_machine.h"

namespace {

TEST(SimPaths, NamesMatchWithoutRegardToCase) {
  test::SimMachine m;
  m.WriteFile("C:\\Windows\\Temp\\x", "one");
  EXPECT_EQ(m.Host("C:\\Windows\\TEMP\\x"), m.Host("c:\\windows\\temp\\X"));
  os::File f = os::File::Open("c:/WINDOWS/temp/X", os::File::Mode::kRead);
  ASSERT_TRUE(f.IsOpen());
  EXPECT_TRUE(os::PathExists("C:\\WINDOWS\\TEMP\\X"));
}

TEST(SimPaths, RelativePathsStartInTheProgramFolder) {
  test::SimMachine m;
  m.WriteFile("C:\\Tarnvale\\Data\\x.txt", "x");
  EXPECT_TRUE(os::PathExists("Data\\x.txt"));
  EXPECT_TRUE(os::PathExists("..\\Tarnvale\\Data\\..\\Data\\x.txt"));
}

TEST(SimPaths, ShortNamesOnVolumesThatKeepThem) {
  test::SimMachine m;
  m.WriteFile("C:\\Program Files\\Tarnvale\\Data\\Bin\\x86.dll", "");
  m.WriteFile("C:\\Program Files (x86)\\other.txt", "");
  auto shortPath = os::ShortPath("C:\\Program Files\\Tarnvale\\Data\\Bin\\x86.dll");
  ASSERT_TRUE(shortPath);
  EXPECT_EQ("C:\\PROGRA~1\\Tarnvale\\Data\\Bin\\x86.dll", *shortPath);
  EXPECT_EQ("C:\\PROGRA~2", *os::ShortPath("C:\\Program Files (x86)"));
  // A short path names the same file.
  EXPECT_EQ(m.Host("C:\\Program Files\\Tarnvale\\Data\\Bin\\x86.dll"), m.Host(*shortPath));
  EXPECT_FALSE(os::ShortPath("C:\\Program Files\\absent.exe"));
}

TEST(SimPaths, ExfatVolumesKeepNoShortNames) {
  test::SimMachine m([](os::sim::Machine& mm) {
    os::sim::Drive d;
    d.letter = 'F';
    d.folder = "drives/F";
    d.fileSystem = "exFAT";
    mm.drives.push_back(d);
  });
  m.WriteFile("F:\\Long Folder Name\\a.iso", "");
  EXPECT_EQ("F:\\Long Folder Name\\a.iso", *os::ShortPath("F:\\Long Folder Name\\a.iso"));
}

TEST(SimPaths, DrivesWithoutFilesHaveNoPaths) {
  test::SimMachine m([](os::sim::Machine& mm) {
    os::sim::Drive cd;
    cd.letter = 'D';
    cd.kind = os::sim::Drive::Kind::kCdrom;
    mm.drives.push_back(cd);
  });
  EXPECT_FALSE(os::PathExists("D:"));
  EXPECT_FALSE(os::PathExists("Q:\\x"));
  EXPECT_TRUE(os::PathExists("C:"));
  EXPECT_FALSE(os::File::Open("D:\\x", os::File::Mode::kCreateTruncate).IsOpen());
}

TEST(SimPaths, InvalidCharactersAndDevicePathsHaveNoHostPath) {
  test::SimMachine m;
  auto machine = os::sim::Current();
  EXPECT_FALSE(os::sim::ToHost(*machine, "C:\\a*b"));
  EXPECT_FALSE(os::sim::ToHost(*machine, "\\\\server\\share\\x"));
  EXPECT_FALSE(os::sim::ToHost(*machine, "\\\\.\\PhysicalDrive1"));
}

}  // namespace
