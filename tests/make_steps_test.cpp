// The pieces of a make that can be judged on their own: the diskpart
// scripts, the size settings and the entry's layout and mode, the command
// forms of the UD tool, format.com and the boot-code tools, the searches for
// the new volumes' letters, the check that a letter is still the target's,
// and the disk as tvtool show-disk prints it.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "app/globals.h"
#include "app/language.h"
#include "disk/target_guard.h"
#include "make/make_request.h"
#include "make/partition_layouts.h"
#include "sys/disk_tool_commands.h"
#include "sys/text.h"
#include "sys/ud_tool_commands.h"
#include "tests/support/disk_machines.h"
#include "tests/support/tool_machines.h"
#include "tools/tvtool/commands.h"

namespace {

using make::FillDiskPartScript;
using make::SizeSetting;

TEST(DiskPartScripts, TheTemplateIsFilledInItsOrder) {
  EXPECT_EQ(371u, make::kDiskPartTemplate.size());
  std::string script = FillDiskPartScript(3, "Z", "G:", "Tarnvale", 1032);
  std::vector<std::string> lines = sys::Split(script, "\r\n");
  ASSERT_EQ(14u, lines.size()) << "no line end after the last line";
  EXPECT_EQ("select disk 3", lines[0]);
  EXPECT_EQ("clean", lines[1]);
  EXPECT_EQ("convert mbr noerr", lines[2]);
  EXPECT_EQ("", lines[3]);
  EXPECT_EQ("rem == 1. EFI partition " + std::string(22, '='), lines[4]);
  EXPECT_EQ("create partition primary size=1032 noerr", lines[5]);
  EXPECT_EQ("format quick fs=fat32 label=\"EFI\" noerr", lines[6]);
  EXPECT_EQ("assign letter=\"G\" noerr", lines[7]);
  EXPECT_EQ("active", lines[8]);
  EXPECT_EQ("", lines[9]);
  EXPECT_EQ("rem == 2. Data partition " + std::string(24, '='), lines[10]);
  EXPECT_EQ("create partition primary  noerr", lines[11]);
  EXPECT_EQ("format quick fs=exfat label=\"Tarnvale\" noerr", lines[12]);
  EXPECT_EQ("assign letter=\"Z\" noerr", lines[13]);

  // No free letter: an empty one. The replacements run in their order, so
  // a label's own "%ES%" is filled, its "%DiskID%" is not.
  lines = sys::Split(FillDiskPartScript(12, "", "E:", "%DiskID% %ES%", 100), "\r\n");
  EXPECT_EQ("select disk 12", lines[0]);
  EXPECT_EQ("assign letter=\"\" noerr", lines[13]);
  EXPECT_EQ("format quick fs=exfat label=\"%DiskID% 100\" noerr", lines[12]);
}

TEST(DiskPartScripts, PartitionTypeScriptSetsTheFirstPartitionTo1C) {
  EXPECT_EQ("select disk 2\r\nselect part 1\r\nset id=1c override", make::FillPartitionTypeScript(2));
}

TEST(MakeSettings, SizesTakeTheNearestIntegerAboveTheirThreshold) {
  EXPECT_EQ(300, SizeSetting("9", 9, 300));
  EXPECT_EQ(10, SizeSetting("10", 9, 300));
  EXPECT_EQ(300, SizeSetting("abc", 9, 300));
  EXPECT_EQ(300, SizeSetting("", 9, 300));
  EXPECT_EQ(1032, SizeSetting("99", 99, 1032));
  EXPECT_EQ(99, SizeSetting("99.4", 99, 1032)) << "the test is made on the number before rounding";
  EXPECT_EQ(1032, SizeSetting("99.0", 99, 1032));
  EXPECT_EQ(100, SizeSetting("100", 99, 1032));
  EXPECT_EQ(512, SizeSetting("512.5", 99, 1032)) << "halves go to the even integer";
  EXPECT_EQ(514, SizeSetting("513.5", 99, 1032));
  EXPECT_EQ(2048, SizeSetting("2048MB", 99, 1032));
}

TEST(MakeSettings, SizesBeyond32BitsAreNoSizes) {
  EXPECT_EQ(2147483647, SizeSetting("2147483647", 99, 1032));
  EXPECT_EQ(1032, SizeSetting("2147483647.5", 99, 1032));
  EXPECT_EQ(1032, SizeSetting("2147483648", 99, 1032));
  EXPECT_EQ(300, SizeSetting("99999999999", 9, 300));
  EXPECT_EQ(300, SizeSetting("1e12", 9, 300)) << "the leading number is 1";
  EXPECT_EQ(300, SizeSetting(std::string(254, '9'), 9, 300));
  EXPECT_EQ(300, SizeSetting("-99999999999", 9, 300));
  EXPECT_EQ("Tarnvale", make::LabelSetting(""));
  EXPECT_EQ(std::string(300, 'x'), make::LabelSetting(std::string(300, 'x')));
}

TEST(MakeSettings, LayoutAndModeComeFromTheEntry) {
  EXPECT_EQ(make::Layout::kUdDataUefi, make::LayoutOf("UD+DATA+UEFI # New"));
  EXPECT_EQ(make::Layout::kDataUefi, make::LayoutOf("DATA+UEFI \xE3\x80\x80\xE3\x80\x80 # New"));
  EXPECT_EQ(make::Layout::kUefiData, make::LayoutOf("UEFI+DATA # Diskpart"));
  EXPECT_EQ(make::Layout::kDataUefi, make::LayoutOf(""));

  auto saved = app::LangStrings;
  app::LangStrings[64] = "New make";
  app::LangStrings[5] = "Update";
  app::LangStrings[67] = "";
  EXPECT_TRUE(make::EntryNamesMode("DATA+UEFI # New make", 64));
  EXPECT_FALSE(make::EntryNamesMode("DATA+UEFI # New make", 5));
  // Without its text, a mode is named by no entry (an empty text would be
  // found in every one, and a diskpart pass would wipe a disk unasked).
  EXPECT_FALSE(make::EntryNamesMode("UEFI+DATA # ", 67));
  app::LangStrings = saved;
}

class ToolCommands : public ::testing::Test {
 protected:
  void SetUp() override { app::sTmpPath = "C:\\Windows\\Temp\\AbCdEfGh"; }
  void TearDown() override { app::sTmpPath.clear(); }
  test::SimMachine m_;
  const std::string aes = "\"C:\\Tarnvale\\Data\\Bin\\aes.dll\"";
};

TEST_F(ToolCommands, UdTool) {
  EXPECT_EQ(aes + " (hd1) format --force --raw --fat32 --align", sys::UdFormatRaw(1));
  EXPECT_EQ(aes + " (hd12) format --force --raw --fat32 --align", sys::UdFormatRaw(12));
  EXPECT_EQ(aes + " E: format --force --fat32 --align --primary 8M --extended 292M", sys::UdFormatWithArea("E:", 300));
  EXPECT_EQ(aes + " G: format --force --fat32 --align --primary 8M --extended 2M", sys::UdFormatWithArea("G:", 10));
  EXPECT_EQ(aes + " E: format --force --fat32 --align --primary 8M --extended 2147483639M",
            sys::UdFormatWithArea("E:", 2147483647));
  EXPECT_EQ(aes + " E: load \"C:\\X\\PE.FBA\"", sys::UdLoad("E:", "C:\\X\\PE.FBA"));
  EXPECT_EQ(aes + " F: clear", sys::UdClear("F:"));
}

TEST_F(ToolCommands, FormatAndBootCode) {
  const std::string cmd = "C:\\Windows\\System32\\cmd.exe /c ";
  EXPECT_EQ(cmd + "C:\\Windows\\System32\\format.com F: /FS:FAT32 /q /x /y", sys::FormatCommand("F:", "FAT32"));
  EXPECT_EQ(cmd + "C:\\Windows\\System32\\format.com E: /FS:exFAT /q /x /y", sys::FormatCommand("E:", "exFAT"));
  EXPECT_EQ(cmd + "C:\\Windows\\Temp\\AbCdEfGh\\PACMD\\ginst.exe (hd2)", sys::LoaderInstallCommand(2));
  EXPECT_EQ("C:\\Windows\\Temp\\AbCdEfGh\\PACMD\\bootsect.exe /nt60 F: /mbr", sys::BootSectorCommand("F:"));
}

// Disk 1 with E: (partition 1) and G: (partition 2); disk 2 with F:; disk 10
// with H:, so that "1" is not taken for "10".
class LetterSearch : public ::testing::Test {
 protected:
  LetterSearch()
      : m_([](os::sim::Machine& mm) {
          test::AddUsbStick(mm, 1, "EG");
          test::AddUsbStick(mm, 2, "F");
          test::AddUsbStick(mm, 10, "H");
        }) {}
  void SetUp() override {
    app::iDiskNum = 1;
    app::bMobileHardDisk = false;
  }
  test::SimMachine m_;
};

TEST_F(LetterSearch, FindsTheGivenPartitionOfTheTargetOnly) {
  app::sDataLetter = "Q:";
  make::DataLetterSearch("2");
  EXPECT_EQ("G:", app::sDataLetter);
  make::DataLetterSearch("1");
  EXPECT_EQ("E:", app::sDataLetter);
  // The letter it holds already is passed over; with no other, it stays.
  make::DataLetterSearch("1");
  EXPECT_EQ("E:", app::sDataLetter);
  app::iDiskNum = 10;
  app::sDataLetter = "E:";
  make::DataLetterSearch("1");
  EXPECT_EQ("H:", app::sDataLetter);
  app::iDiskNum = 3;  // a disk without volumes: the old letter stays
  make::DataLetterSearch("1");
  EXPECT_EQ("H:", app::sDataLetter);
}

TEST_F(LetterSearch, AVolumeOnAnotherDiskIsNotTheTarget) {
  app::iDiskNum = 1;
  disk::RecordTarget(disk::ReadDiskIdentity(1), "");
  EXPECT_TRUE(make::VolumeOnTarget("E:"));
  EXPECT_TRUE(make::VolumeOnTarget("G:"));
  EXPECT_FALSE(make::VolumeOnTarget("F:"));
  EXPECT_FALSE(make::VolumeOnTarget("H:"));
  EXPECT_FALSE(make::VolumeOnTarget("C:")) << "a drive on no disk";
  EXPECT_FALSE(make::VolumeOnTarget("Q:")) << "no volume";
  EXPECT_FALSE(make::VolumeOnTarget(""));
  EXPECT_FALSE(make::VolumeOnTarget("E:\\"));
  app::iDiskNum = 10;
  disk::RecordTarget(disk::ReadDiskIdentity(10), "");
  EXPECT_TRUE(make::VolumeOnTarget("H:"));
  EXPECT_FALSE(make::VolumeOnTarget("E:"));
}

TEST(ArchiverOnTheMachine, UnpackingToALetterWithoutVolumeFails) {
  test::SimMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
  test::InstallTools(m);
  std::string pkg = m.Host("C:\\pkg");
  test::WriteFiles(pkg, {{"1.txt", "1"}});
  ASSERT_EQ(0, system(("cd '" + pkg + "' && 7zz a -bso0 -bd ../pkg.7z 1.txt >/dev/null").c_str()));
  // As on Windows, nothing is made: not a folder "Q:" in the host's current folder.
  EXPECT_NE(0u, test::RunToEnd("\"C:\\Tarnvale\\Data\\Bin\\x86.dll\" x C:\\pkg.7z -y -o\"Q:\""));
  EXPECT_FALSE(std::filesystem::exists("Q:"));
  EXPECT_EQ(0u, test::RunToEnd("\"C:\\Tarnvale\\Data\\Bin\\x86.dll\" x C:\\pkg.7z -y -o\"E:\""));
  EXPECT_TRUE(m.Exists("E:\\1.txt"));
}

TEST(ShowDisk, NamesEveryPartOfTheDisk) {
  test::SimMachine m([](os::sim::Machine& mm) {
    os::sim::Disk& d = test::AddStick(mm, 1, 'E', 2ull << 30);
    d.mbrCode = "nt60";
    d.ud.sizeMB = 10;
    d.ud.folder = "disks/1/ud";
    d.partitions[0].start = 10 * 2048;
    d.partitions[0].sectors = 1000 * 2048;
    d.partitions[0].fileSystem = "NTFS";
    d.partitions[0].type = 0x07;
    d.partitions[0].label = "DATA";
    os::sim::Partition efi;
    efi.start = 1010 * 2048;
    efi.sectors = 100 * 2048;
    efi.type = 0x1C;
    efi.active = efi.hidden = true;
    efi.fileSystem = "FAT32";
    efi.label = "EFI";
    efi.bootCode = "nt60";
    efi.folder = "disks/1/part2";
    d.partitions.push_back(efi);
    os::sim::Partition raw;
    raw.start = 1110 * 2048;
    raw.sectors = 10 * 2048;
    raw.type = 0x06;
    d.partitions.push_back(raw);
  });
  test::WriteFiles(m.Folder() + "/disks/1/ud", {{"grldr", "x"}});
  test::WriteFiles(m.Folder() + "/disks/1/part2", {{"EFI/BOOT/BOOTX64.EFI", "x"}, {"bootmgr", "x"}});
  test::WriteFiles(m.Folder() + "/disks/1/part1", {{"b.txt", "x"}, {"A.txt", "x"}});
  EXPECT_EQ("Disk 1: Generic Flash Disk, 2.00 GB, usb, removable\n"
            "  master boot record: nt60 (starts the active partition)\n"
            "  UD area: 10 MB\n"
            "      grldr\n"
            "  partition 0: E:, 1000 MB at 10 MB, type 07, NTFS, label \"DATA\", boot sector: none\n"
            "      A.txt  b.txt\n"
            "  partition 1: no letter, 100 MB at 1010 MB, type 1C, active, hidden, FAT32, label \"EFI\", "
            "boot sector: nt60 (starts bootmgr)\n"
            "      bootmgr  EFI\\\n"
            "  partition 2: no letter, 10 MB at 1110 MB, type 06, not formatted\n",
            tvtool::DescribeDisk(m.Folder(), m.Get(), 1));
  EXPECT_EQ("There is no disk 2 on this machine.\n", tvtool::DescribeDisk(m.Folder(), m.Get(), 2));
}

}  // namespace
