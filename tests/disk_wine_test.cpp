// The disk queries on the drives of the Windows build's test machine (Wine,
// whose drive letters are folders): every query fails or answers without a
// disk, so no target is offered and the check refuses cleanly; the identity
// query by disk number, and the refusal of the Windows disk.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/language.h"
#include "disk/bus_type.h"
#include "disk/device_identity.h"
#include "disk/device_number.h"
#include "disk/disk_identity.h"
#include "disk/target_guard.h"
#include "disk/target_check.h"
#include "disk/target_list.h"
#include "disk/letters.h"
#include "disk/disk_space.h"
#include "os/device.h"
#include "os/files.h"
#include "os/system.h"
#include "tests/support/platform.h"
#include "ui/window_model.h"

namespace {

TEST(DiskOnWine, NoDriveIsOfferedAsATarget) {
  if (!test::RunningOnWine()) GTEST_SKIP() << "only Wine's drives are known to hold no disk";
  for (char c = 'C'; c <= 'Z'; ++c) {
    std::string volume{c, ':'};
    SCOPED_TRACE(volume);
    EXPECT_NE("7", disk::GetBusType(volume));
    disk::GetDeviceIdentity(volume);  // answers or not, but never crashes
    disk::GetDeviceNumber(volume);
  }
  for (bool includeUsbHdd : {false, true}) {
    ui::WindowModel w;
    disk::RefreshTargetList(w, includeUsbHdd);
    EXPECT_EQ(0, w.ListCount(os::Control::kRDriver));
    EXPECT_EQ("", w.ListText(os::Control::kRDriver));
  }
}

TEST(DiskOnWine, TheCheckRefusesAnEmptyListAndLettersAreSeen) {
  if (!test::RunningOnWine()) GTEST_SKIP() << "only Wine's drives are known to hold no disk";
  ui::WindowModel w;
  disk::RefreshTargetList(w, false);
  std::string savedTmp = app::sTmpPath;
  app::sTmpPath = os::EnvVar("TEMP").value_or("C:\\windows\\temp") + "\\tvdisktest";
  EXPECT_FALSE(disk::GetDiskInfoTest(w));
  ASSERT_EQ(1u, w.Messages().size());
  EXPECT_EQ(app::LangString(36), w.Messages()[0].text);
  EXPECT_TRUE(os::PathExists(app::sTmpPath));
  os::ShellDelete(app::sTmpPath);
  app::sTmpPath = savedTmp;

  // C: is always there; the free letter is one of the preferred ones.
  EXPECT_NE(std::string::npos, disk::GetUsedLetters().find("C:,"));
  std::string free = disk::GetFreeLetter();
  ASSERT_EQ(1u, free.size());
  EXPECT_NE(nullptr, strchr(disk::kFreeLetterOrder, free[0]));
  EXPECT_GT(disk::GetDiskSpaceMB("C:", disk::kSpaceTotal), 0);
  EXPECT_EQ(0, disk::GetDiskSpaceMB("C:", 7));
}

// The identity query by disk number against the disks Wine offers: each
// answer, when there is one, names its own number and reads the same twice
// (so a later check would not take the disk for another); a number past any
// disk has no disk.
TEST(DiskOnWine, TheIdentityQueryByNumberAnswersSteadily) {
  if (!test::RunningOnWine()) GTEST_SKIP() << "Wine's disks";
  for (int n = 0; n < 8; ++n) {
    SCOPED_TRACE(n);
    disk::DiskIdentity first = disk::ReadDiskIdentity(n);
    EXPECT_EQ(n, first.number);
    if (!first.present) continue;
    EXPECT_TRUE(disk::SameDisk(first, disk::ReadDiskIdentity(n))) << disk::DescribeDiskIdentity(first);
    EXPECT_FALSE(disk::DescribeDiskIdentity(first).empty());
  }
  EXPECT_FALSE(disk::ReadDiskIdentity(250).present);
  EXPECT_FALSE(disk::ReadDiskIdentity(-1).present);
}

// The first sector read through the seam from the disks Wine opens: a disk
// that opens answers one whole sector at offset 0 into the buffer, or
// refuses the read and leaves the buffer alone; a read off a
// sector boundary, or of part of a sector, fails and leaves the buffer
// alone, as does a read of a disk that is not there.
TEST(DiskOnWine, TheFirstSectorOfADiskIsRead) {
  if (!test::RunningOnWine()) GTEST_SKIP() << "Wine's disks";
  int opened = 0;
  for (int n = 0; n < 8; ++n) {
    SCOPED_TRACE(n);
    os::Device device = os::OpenDevice("\\\\.\\PhysicalDrive" + std::to_string(n), os::kGenericRead,
                                       os::kShareRead | os::kShareWrite);
    if (!device.IsOpen()) continue;
    ++opened;
    std::vector<uint8_t> sector(512, 0xEE);
    // Wine's disk devices without a real disk behind them refuse the read
    // (ERROR_INVALID_FUNCTION); one with a disk answers the sector.
    if (os::ReadDevice(device, 0, sector))
      EXPECT_NE(std::vector<uint8_t>(512, 0xEE), sector) << "the sector was read into the buffer";
    else
      EXPECT_EQ(std::vector<uint8_t>(512, 0xEE), sector) << "a refused read leaves the buffer alone";
    std::vector<uint8_t> part(500, 0xEE);
    EXPECT_FALSE(os::ReadDevice(device, 0, part));
    EXPECT_EQ(std::vector<uint8_t>(500, 0xEE), part);
    EXPECT_FALSE(os::ReadDevice(device, 100, sector));
  }
  std::vector<uint8_t> sector(512, 0xEE);
  EXPECT_FALSE(os::ReadDevice(os::OpenDevice("\\\\.\\PhysicalDrive250", os::kGenericRead, os::kShareRead), 0,
                              sector));
  EXPECT_EQ(std::vector<uint8_t>(512, 0xEE), sector);
  RecordProperty("disks_opened", opened);
}

// The Windows folder as the system gives it is among the paths whose disks
// are never a target, and a list entry that names its drive is refused
// with one message, leaving no disk recorded for the steps after it.
TEST(DiskOnWine, TheWindowsDiskIsRefused) {
  if (!test::RunningOnWine()) GTEST_SKIP() << "Wine's disks";
  std::string windows = os::WindowsFolder();
  ASSERT_GE(windows.size(), 3u);
  std::vector<std::string> paths = disk::NeverTargetPaths();
  EXPECT_EQ(windows, paths.at(0));
  std::string letter = windows.substr(0, 2);
  std::string number = disk::GetDiskNumOfLetter(letter, false);
  if (!number.empty()) {
    // Wine answers the identity query for the disk of its Windows drive.
    EXPECT_TRUE(disk::ReadDiskIdentity(std::stoi(number)).present);
    EXPECT_EQ(windows, disk::WhyNeverTarget(std::stoi(number), paths).value_or(""));
    EXPECT_EQ(1u, disk::NeverTargetDisks().count(std::stoi(number)));
  }

  std::string savedTmp = app::sTmpPath;
  app::sTmpPath = os::EnvVar("TEMP").value_or("C:\\windows\\temp") + "\\tvdisktest";
  ui::WindowModel w;
  w.ListAdd(os::Control::kRDriver, "HD" + (number.empty() ? std::string("0") : number) +
                                       ": Wine Disk (10.00 GB, " + letter + ")");
  w.SetListIndex(os::Control::kRDriver, 0);
  EXPECT_FALSE(disk::GetDiskInfoTest(w));
  ASSERT_EQ(1u, w.Messages().size());
  EXPECT_EQ(0u, w.Messages()[0].text.find(letter)) << w.Messages()[0].text;
  EXPECT_FALSE(disk::TargetStillChosen("after the confirmation"));
  os::ShellDelete(app::sTmpPath);
  app::sTmpPath = savedTmp;
}

}  // namespace
