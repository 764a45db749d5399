// The target list on simulated machines: which volumes qualify in either
// mode, one entry per disk with its letters, and the rebuild.
#include <gtest/gtest.h>

#include <vector>

#include "disk/target_list.h"
#include "tests/support/disk_machines.h"
#include "tests/support/sim_machine.h"
#include "ui/window_model.h"

namespace {

constexpr os::Control kList = os::Control::kRDriver;

std::vector<std::string> Entries(const ui::WindowModel& w) {
  std::vector<std::string> out;
  for (int i = 0; i < w.ListCount(kList); ++i) out.push_back(w.ListItem(kList, i));
  return out;
}

std::vector<std::string> Refreshed(ui::WindowModel& w, bool includeUsbHdd) {
  disk::RefreshTargetList(w, includeUsbHdd);
  return Entries(w);
}

TEST(TargetList, NothingRemovableGivesAnEmptyList) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddInternalDisk(mm, 0, "D");
    test::AddCdDrive(mm, 'E', false, 0, true);
    test::AddNetworkDrive(mm, 'Z');
  });
  ui::WindowModel w;
  w.ListAdd(kList, "HD9: left over (1.00 GB, X:)");
  w.SetListIndex(kList, 0);
  EXPECT_TRUE(Refreshed(w, false).empty());
  EXPECT_EQ("", w.ListText(kList));
  EXPECT_EQ("", disk::ListTargetLetters(false));
  EXPECT_EQ("", disk::ListTargetLetters(true));
}

TEST(TargetList, VolumesOfOneDiskShareOneEntry) {
  test::SimMachine m([](os::sim::Machine& mm) { test::AddUsbStick(mm, 1, "EF", 31025756160ull); });
  ui::WindowModel w;
  EXPECT_EQ(std::vector<std::string>{"HD1: Generic Flash Disk (28.89 GB, E:;F:)"}, Refreshed(w, false));
  EXPECT_EQ("HD1: Generic Flash Disk (28.89 GB, E:;F:)", w.ListText(kList));
  EXPECT_EQ(std::vector<std::string>{"HD1: Generic Flash Disk (28.89 GB, E:;F:)"}, Refreshed(w, true));
}

TEST(TargetList, EntriesFollowTheLowestLetterOfEachDisk) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddUsbStick(mm, 1, "G", 8ull << 30);
    test::AddUsbStick(mm, 2, "E", 4ull << 30);
  });
  ui::WindowModel w;
  EXPECT_EQ((std::vector<std::string>{"HD2: Generic Flash Disk (4.00 GB, E:)", "HD1: Generic Flash Disk (8.00 GB, G:)"}),
            Refreshed(w, false));
  EXPECT_EQ(0, w.ListIndex(kList));
  EXPECT_EQ("E:,G:,", disk::ListTargetLetters(false));
}

TEST(TargetList, TheModeDecidesBetweenUsbHardDisksAndOtherBuses) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddInternalDisk(mm, 0, "D");
    test::AddUsbHardDisk(mm, 1, "EF", 100ull << 30);
    test::AddSdCard(mm, 2, "G", 8ull << 30);
    test::AddUsbStick(mm, 3, "H", 4ull << 30);
  });
  ui::WindowModel w;
  EXPECT_EQ("G:,H:,", disk::ListTargetLetters(false));
  EXPECT_EQ("E:,F:,H:,", disk::ListTargetLetters(true));
  EXPECT_EQ((std::vector<std::string>{"HD2: SD Card (8.00 GB, G:)", "HD3: Generic Flash Disk (4.00 GB, H:)"}),
            Refreshed(w, false));
  EXPECT_EQ((std::vector<std::string>{"HD1: WD Elements 25A2 (100.00 GB, E:;F:)", "HD3: Generic Flash Disk (4.00 GB, H:)"}),
            Refreshed(w, true));
}

TEST(TargetList, ReadersWithoutACardHaveALetterButNoEntry) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddEmptyCardReader(mm, 1, 'E');
    test::AddEmptyCardReader(mm, 2, 'F', test::kBusUsb, "zero");
    test::AddEmptyCardReader(mm, 3, 'G', test::kBusUsb, "fail");
    test::AddUsbStick(mm, 4, "H", 4ull << 30);
  });
  ui::WindowModel w;
  EXPECT_EQ("E:,F:,G:,H:,", disk::ListTargetLetters(false));
  EXPECT_EQ(std::vector<std::string>{"HD4: Generic Flash Disk (4.00 GB, H:)"}, Refreshed(w, false));
  EXPECT_EQ(std::vector<std::string>{"HD4: Generic Flash Disk (4.00 GB, H:)"}, Refreshed(w, true));
}

TEST(TargetList, ADeviceBelowOneMebibyteGetsNoEntry) {
  // Geometries of a few hundred KB (1 x 1 x 1000 sectors) and of exactly 1 MiB.
  auto geometry = [](os::sim::Disk& d, uint32_t sectors) {
    d.cylinders = 1;
    d.heads = 1;
    d.sectorsPerTrack = sectors;
    d.bytesPerSector = 512;
  };
  test::SimMachine m([&](os::sim::Machine& mm) {
    geometry(test::AddUsbStick(mm, 1, "E", 4ull << 30), 1000);
    geometry(test::AddUsbStick(mm, 2, "F", 4ull << 30), 2047);
    geometry(test::AddUsbStick(mm, 3, "G", 4ull << 30), 2048);
  });
  ui::WindowModel w;
  EXPECT_EQ(std::vector<std::string>{"HD3: Generic Flash Disk (1.00 MB, G:)"}, Refreshed(w, false));
}

TEST(TargetList, DisksTenAndUpAreNeverMixedWithOneAndTwo) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddUsbStick(mm, 1, "EK", 1ull << 30);
    test::AddUsbStick(mm, 10, "FL", 2ull << 30);
    test::AddUsbStick(mm, 11, "G", 3ull << 30);
    test::AddUsbStick(mm, 12, "HM", 4ull << 30);
    test::AddUsbStick(mm, 2, "I", 5ull << 30);
  });
  ui::WindowModel w;
  EXPECT_EQ((std::vector<std::string>{
                "HD1: Generic Flash Disk (1,019.75 MB, E:;K:)",
                "HD10: Generic Flash Disk (2.00 GB, F:;L:)",
                "HD11: Generic Flash Disk (3.00 GB, G:)",
                "HD12: Generic Flash Disk (4.00 GB, H:;M:)",
                "HD2: Generic Flash Disk (4.99 GB, I:)",
            }),
            Refreshed(w, false));
}

TEST(TargetList, CdDvdAndNetworkDrivesDoNotQualify) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddCdDrive(mm, 'D', false, 0, true);
    test::AddCdDrive(mm, 'E', true, 1, true);
    test::AddNetworkDrive(mm, 'F');
    test::AddUsbStick(mm, 1, "G", 4ull << 30);
  });
  ui::WindowModel w;
  EXPECT_EQ("G:,", disk::ListTargetLetters(false));
  EXPECT_EQ("G:,", disk::ListTargetLetters(true));
  EXPECT_EQ(1u, Refreshed(w, true).size());
}

TEST(TargetList, VolumesWithoutAUsableDiskNumberAreLeftOut) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddUsbStick(mm, 1, "E", 4ull << 30).numberFault = "fail";
    test::AddUsbStick(mm, 40000, "F", 4ull << 30);  // beyond what the program can carry
    test::AddUsbStick(mm, 2, "G", 4ull << 30);
  });
  ui::WindowModel w;
  EXPECT_EQ(std::vector<std::string>{"HD2: Generic Flash Disk (4.00 GB, G:)"}, Refreshed(w, false));
  disk::AddTargetEntry(w, "E:");
  disk::AddTargetEntry(w, "F:");
  disk::AddTargetEntry(w, "Q:");  // no such volume
  EXPECT_EQ(1, w.ListCount(kList));
}

TEST(TargetList, DeviceTextsAreCleanedSoTheLettersStayInPlace) {
  test::SimMachine m([](os::sim::Machine& mm) {
    os::sim::Disk& d = test::AddUsbStick(mm, 1, "EF", 4ull << 30);
    d.vendor = "ACME, In";
    d.product = "Stick (v2); 64";
  });
  ui::WindowModel w;
  EXPECT_EQ(std::vector<std::string>{"HD1: ACME In Stick v2 64 (4.00 GB, E:;F:)"}, Refreshed(w, false));
}

TEST(TargetList, RegionalSeparatorsCannotSplitTheEntry) {
  test::SimMachine m([](os::sim::Machine& mm) {
    mm.decimalSep = ".";
    mm.groupSep = ", ";  // a hostile setting
    test::AddUsbStick(mm, 1, "EF", 1ull << 30);
  });
  ui::WindowModel w;
  EXPECT_EQ(std::vector<std::string>{"HD1: Generic Flash Disk (1,019.75 MB, E:;F:)"}, Refreshed(w, false));
}

TEST(TargetList, ARebuildStartsAfreshAndSeesRemovedDisks) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddUsbStick(mm, 1, "E", 4ull << 30);
    test::AddUsbStick(mm, 2, "F", 4ull << 30);
  });
  ui::WindowModel w;
  EXPECT_EQ(2u, Refreshed(w, false).size());
  w.SetListIndex(kList, 1);
  m.Update([](os::sim::Machine& mm) { mm.disks.erase(mm.disks.begin()); });
  EXPECT_EQ(std::vector<std::string>{"HD2: Generic Flash Disk (4.00 GB, F:)"}, Refreshed(w, false));
  EXPECT_EQ(0, w.ListIndex(kList));
}

}  // namespace
