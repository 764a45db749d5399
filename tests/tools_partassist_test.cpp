// The partition manager's stand-in on simulated disks: each command form the
// system gives it, and what it leaves on the disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/globals.h"
#include "disk/check_disk_layout.h"
#include "sys/partassist_commands.h"
#include "tests/support/tool_machines.h"

namespace {

using test::Describe;
using test::RunToEnd;

std::string ListOf(const test::SimMachine& m, int disk) {
  std::string out = std::string(test::kTmp) + "\\PACMD\\usee.txt";
  RunToEnd(sys::PaList(disk, out));
  return m.ReadFile(out);
}

// Disk 1: a UD area, a labelled data volume E: and a hidden EFI partition.
void UdLayout(os::sim::Machine& mm) {
  auto& d = test::AddStick(mm, 1, 'E');
  d.ud.sizeMB = 300;
  d.ud.folder = "disks/1/ud";
  auto& data = d.partitions[0];
  data.start = 300 * 2048;
  data.sectors = d.Sectors() - data.start - 1032 * 2048;
  data.label = "MY|DATA\tX";
  os::sim::Partition efi;
  efi.start = data.start + data.sectors;
  efi.sectors = 1032 * 2048;
  efi.type = 0x1C;
  efi.hidden = true;
  efi.fileSystem = "FAT32";
  efi.label = "EFI";
  efi.folder = "disks/1/part2";
  d.partitions.push_back(efi);
}

TEST(PartAssistStandin, ListsEveryPartitionInTheShapeTheLayoutCheckReads) {
  test::SimMachine m(UdLayout);
  test::InstallTools(m);
  std::string list = ListOf(m, 1);
  // Rows: the UD area, then the partitions in disk order, hidden ones too.
  std::vector<std::string> rows = disk::PartitionRows(list);
  ASSERT_EQ(3u, rows.size()) << list;
  EXPECT_EQ(300, disk::RowSizeMB(rows[0]));
  EXPECT_NEAR(16384 - 300 - 1032, disk::RowSizeMB(rows[1]), 6);  // shown in GB with two decimals
  EXPECT_EQ("FAT32", disk::RowFileSystem(rows[1]));
  EXPECT_NEAR(1032, disk::RowSizeMB(rows[2]), 6);
  EXPECT_EQ("FAT32", disk::RowFileSystem(rows[2]));
  EXPECT_NE(std::string::npos, list.find("1.01 GB")) << "sizes of 1 GB and more are shown in GB";
  // Every line ends in CR LF; no LF stands alone.
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i] == '\n') {
      ASSERT_TRUE(i > 0 && list[i - 1] == '\r') << "lone LF at " << i;
    }
  }

  // A disk that is not there gets no list at all.
  std::string out = std::string(test::kTmp) + "\\PACMD\\other.txt";
  EXPECT_NE(0u, RunToEnd(sys::PaList(7, out)));
  EXPECT_FALSE(m.Exists(out));
}

TEST(PartAssistStandin, HidesAndUnhidesByIndexAndGivesLetters) {
  test::SimMachine m([](os::sim::Machine& mm) {
    UdLayout(mm);
    mm.disks[0].partitions[0].label = "DATA";
    test::AddStick(mm, 2, 'D');
  });
  test::InstallTools(m);
  // Index 1 is the EFI partition: the UD area is not counted.
  ASSERT_EQ(0u, RunToEnd(sys::PaUnhide(1, 1)));
  EXPECT_EQ("ud=300 | FAT32 E: 'DATA' 15052M 0c | FAT32 F: 'EFI' 1032M 0c", Describe(*m.Get().FindDisk(1)))
      << "an unhidden volume is mounted at the first free letter";
  ASSERT_EQ(0u, RunToEnd(sys::PaHide(1, 1)));
  EXPECT_EQ("ud=300 | FAT32 E: 'DATA' 15052M 0c | FAT32 - 'EFI' 1032M hidden 1c", Describe(*m.Get().FindDisk(1)));

  // A hidden partition takes no letter; a visible one without a letter does.
  EXPECT_NE(0u, RunToEnd(sys::PaSetLetterAuto(1, 1)));
  RunToEnd(sys::PaUnhide(1, 1));
  m.Update([](os::sim::Machine& mm) { mm.disks[0].partitions[1].letter = 0; });
  ASSERT_EQ(0u, RunToEnd(sys::PaSetLetterAuto(1, 1)));
  EXPECT_EQ('F', m.Get().FindDisk(1)->partitions[1].letter);

  // A given letter: taken when free, refused when in use.
  ASSERT_EQ(0u, RunToEnd(sys::PaSetLetter(1, 0, "G:")));
  EXPECT_EQ('G', m.Get().FindDisk(1)->partitions[0].letter);
  EXPECT_NE(0u, RunToEnd(sys::PaSetLetter(1, 0, "D:")));
  EXPECT_EQ('G', m.Get().FindDisk(1)->partitions[0].letter);
  // An index past the last partition changes nothing.
  std::string before = Describe(*m.Get().FindDisk(1));
  EXPECT_NE(0u, RunToEnd(sys::PaHide(1, 2)));
  EXPECT_EQ(before, Describe(*m.Get().FindDisk(1)));
}

TEST(PartAssistStandin, InitialisingLeavesExactlyOnePartition) {
  test::SimMachine m(UdLayout);
  test::InstallTools(m);
  test::WriteFiles(test::PartitionFolder(m, 1, 0), {{"old.txt", "x"}});
  ASSERT_EQ(0u, RunToEnd(sys::PaInit(1)));
  EXPECT_EQ("FAT32 E: '' 16383M 0c", Describe(*m.Get().FindDisk(1)));
  EXPECT_FALSE(std::filesystem::exists(test::PartitionFolder(m, 1, 0) + "/old.txt"));

  // A disk that already holds one partition keeps it, files and all.
  test::WriteFiles(test::PartitionFolder(m, 1, 0), {{"keep.txt", "x"}});
  ASSERT_EQ(0u, RunToEnd(sys::PaInit(1)));
  EXPECT_TRUE(std::filesystem::exists(test::PartitionFolder(m, 1, 0) + "/keep.txt"));
}

TEST(PartAssistStandin, ShrinksTheDataPartitionAndCreatesTheEfiPartitionAtTheEnd) {
  test::SimMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
  test::InstallTools(m);
  test::WriteFiles(test::PartitionFolder(m, 1, 0), {{"data.txt", "kept"}});
  ASSERT_EQ(0u, RunToEnd(sys::PaResize("E:", 1032)));
  EXPECT_EQ("FAT32 E: 'STICK' 15351M 0c", Describe(*m.Get().FindDisk(1)));
  ASSERT_EQ(0u, RunToEnd(sys::PaCreateEfi(1, true)));
  EXPECT_EQ("FAT32 E: 'STICK' 15351M 0c | FAT32 - 'EFI' 1032M active 0c", Describe(*m.Get().FindDisk(1)));
  EXPECT_EQ("kept", m.ReadFile("E:\\data.txt"));
  // No free space left at the end: nothing is created.
  EXPECT_NE(0u, RunToEnd(sys::PaCreateEfi(1, false)));
  EXPECT_EQ(2u, m.Get().FindDisk(1)->partitions.size());
  // Without /act the new partition is not the active one.
  RunToEnd(sys::PaInit(1));
  RunToEnd(sys::PaResize("E:", 100));
  ASSERT_EQ(0u, RunToEnd(sys::PaCreateEfi(1, false)));
  EXPECT_EQ("FAT32 E: '' 16283M 0c | FAT32 - 'EFI' 100M 0c", Describe(*m.Get().FindDisk(1)));
  // A partition cannot give up more than it has.
  EXPECT_NE(0u, RunToEnd(sys::PaResize("E:", 20000)));
  EXPECT_EQ(16283u, m.Get().FindDisk(1)->partitions[0].Bytes() >> 20);
}

TEST(PartAssistStandin, WritesAFolderOntoAHiddenPartition) {
  test::SimMachine m(UdLayout);
  test::InstallTools(m);
  std::string staging = std::string(test::kTmp) + "\\EFI";
  m.WriteFile(staging + "\\bootmgr", "boot");
  m.WriteFile(staging + "\\EFI\\BOOT\\BOOTX64.EFI", "uefi");
  test::WriteFiles(test::PartitionFolder(m, 1, 1), {{"bootmgr", "old"}, {"other.txt", "stays"}});
  ASSERT_EQ(0u, RunToEnd(sys::PaWriteHidden(1, 1, staging)));
  std::string efi = test::PartitionFolder(m, 1, 1);
  std::ifstream in(efi + "/bootmgr");
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ("boot", content);
  EXPECT_TRUE(std::filesystem::exists(efi + "/EFI/BOOT/BOOTX64.EFI"));
  EXPECT_TRUE(std::filesystem::exists(efi + "/other.txt"));
  EXPECT_TRUE(m.Get().FindDisk(1)->partitions[1].hidden) << "writing does not unhide";

  // Without a source folder the call changes nothing.
  std::string before = Describe(*m.Get().FindDisk(1));
  EXPECT_EQ(0u, RunToEnd(sys::PaWriteHidden(1, 1)));
  EXPECT_EQ(before, Describe(*m.Get().FindDisk(1)));
  // More than the partition holds is refused as a whole.
  m.Update([](os::sim::Machine& mm) { mm.disks[0].partitions[1].sectors = 1; });
  test::WriteFiles(m.Host(staging), {{"big.bin", std::string(4096, 'x')}});
  EXPECT_NE(0u, RunToEnd(sys::PaWriteHidden(1, 1, staging)));
  EXPECT_FALSE(std::filesystem::exists(efi + "/big.bin"));
}

}  // namespace
