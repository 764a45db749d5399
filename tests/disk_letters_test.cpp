// Letters in use, the free letter for a new partition and the space of
// volumes, on simulated machines.
#include <gtest/gtest.h>

#include "disk/disk_space.h"
#include "disk/letters.h"
#include "tests/support/disk_machines.h"
#include "tests/support/sim_machine.h"

namespace {

TEST(Letters, NetworkAndEmptyCdDrivesAreInUse) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddInternalDisk(mm, 0, "D");
    test::AddNetworkDrive(mm, 'Z');
    test::AddCdDrive(mm, 'E', false, 0, false);  // no disc
    test::AddEmptyCardReader(mm, 1, 'F');
  });
  EXPECT_EQ("C:,D:,E:,F:,Z:,", disk::GetUsedLetters());
  EXPECT_EQ("V", disk::GetFreeLetter());
}

TEST(Letters, FreeLettersGoInTheirOwnOrder) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddNetworkDrive(mm, 'Z');
    test::AddUsbStick(mm, 1, "V");
  });
  EXPECT_EQ("Y", disk::GetFreeLetter());  // V and Z are taken
  m.Update([](os::sim::Machine& mm) { mm.drives.pop_back(); });
  EXPECT_EQ("Z", disk::GetFreeLetter());
}

TEST(Letters, NoneLeftWhenEveryPreferredLetterIsTaken) {
  test::SimMachine m([](os::sim::Machine& mm) {
    for (const char* p = disk::kFreeLetterOrder; *p; ++p) test::AddNetworkDrive(mm, *p);
  });
  EXPECT_EQ("", disk::GetFreeLetter());
  // U and X are never handed out, even when free.
  EXPECT_EQ(std::string::npos, disk::GetUsedLetters().find("U:"));
}

TEST(DiskSpace, TotalFreeAndUsedOfAVolume) {
  test::SimMachine m([](os::sim::Machine& mm) { test::AddUsbStick(mm, 1, "E", 64ull << 20); });
  // A partition of about 63 MB; fill 8.5 MB of it.
  m.WriteFile("E:\\a.bin", std::string((8u << 20) + (1u << 19), 'a'));
  int32_t total = disk::GetDiskSpaceMB("E:", disk::kSpaceTotal);
  EXPECT_EQ(63, total);
  EXPECT_EQ(8, disk::GetDiskSpaceMB("E:", disk::kSpaceUsed));
  EXPECT_EQ(54, disk::GetDiskSpaceMB("E:", disk::kSpaceFree));
  EXPECT_EQ(0, disk::GetDiskSpaceMB("E:", 7));
  for (int kind = 1; kind <= 3; ++kind) EXPECT_EQ(0, disk::GetDiskSpaceMB("Q:", kind));
}

}  // namespace
