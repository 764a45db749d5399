// The disk queries on the drives of the Windows build's test machine (Wine,
// whose drive letters are folders): every query fails or answers without a
// disk, so no target is offered and the check refuses cleanly.
#include <gtest/gtest.h>

#include <cstring>

#include "app/globals.h"
#include "app/language.h"
#include "disk/bus_type.h"
#include "disk/device_identity.h"
#include "disk/device_number.h"
#include "disk/target_check.h"
#include "disk/target_list.h"
#include "disk/letters.h"
#include "disk/disk_space.h"
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

}  // namespace
