// bcdedit on the machine's boot store through the install batch file, and
// the emulator booting made disks in BIOS and UEFI mode.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "os/ansi.h"
#include "os/sim/sim.h"
#include "sys/shell_wait.h"
#include "tests/support/tool_machines.h"
#include "tools/tvtool/boot_store.h"

namespace {

using test::RunToEnd;

const char* kDevice = "{ffffffff-3600-11de-8e71-ffffffffffff}";
const char* kEntry = "{ffffffff-3600-11de-8e71-fffffffffffe}";

// The install batch file with its placeholders filled.
std::string AddWim(const std::string& name, int timeout) {
  std::string d = kDevice, e = kEntry;
  std::string text =
      "rem 注释：PEName、WIMFile、SDIFile、BootType(exe,efi)\r\n"
      "bcdedit /delete " + d + " /cleanup\r\n"
      "bcdedit /delete " + e + " /cleanup\r\n"
      "bcdedit /create " + d + " /d \"" + name + "\" /device\r\n"
      "bcdedit /create  " + e + " /d \"" + name + "\" /application osloader\r\n"
      "bcdedit /set " + d + " ramdisksdidevice partition=C:\r\n"
      "bcdedit /set " + d + " ramdisksdipath \\WinPE\\boot.sdi\r\n"
      "bcdedit /set  " + e + " device                  ramdisk=[C:]\\WinPE\\boot.wim," + d + "\r\n"
      "rem 注释：bcdedit /set  " + e + " path                    \\windows\\system32\\boot\\winload.exe\r\n"
      "bcdedit /set  " + e + " description             \"" + name + "\"\r\n"
      "bcdedit /set  " + e + " locale                  zh-cn\r\n"
      "bcdedit /set  " + e + " inherit                 {bootloadersettings}\r\n"
      "bcdedit /set  " + e + " osdevice                ramdisk=[C:]\\WinPE\\boot.wim," + d + "\r\n"
      "bcdedit /set  " + e + " systemroot              \\windows\r\n"
      "bcdedit /set  " + e + " detecthal               Yes\r\n"
      "bcdedit /set  " + e + " winpe                   Yes\r\n"
      "bcdedit /set  " + e + " ems                     no\r\n"
      "bcdedit /displayorder " + e + " /addlast\r\n"
      "\r\n"
      "bcdedit /timeout " + std::to_string(timeout) + "\r\n";
  return os::ToAnsi(text);
}

tvtool::BootStore Store(const test::SimMachine& m) {
  std::string error;
  auto store = tvtool::BootStore::Load(m.Folder() + "/bcd.txt", 'C', &error);
  EXPECT_TRUE(store) << error;
  return store.value_or(tvtool::BootStore{});
}

TEST(BcdeditStandin, TheInstallBatchLeavesOneEntryWithTheSettingsOfTheLastRun) {
  test::SimMachine m([](os::sim::Machine& mm) { mm.codePage = 936; });
  std::string batch = "C:\\Windows\\Temp\\addwim.bat";
  m.WriteFile(batch, AddWim("维护系统 PE", 5));
  ASSERT_TRUE(sys::ShellWait(batch));
  m.WriteFile(batch, AddWim("Tarnvale PE", 0));
  ASSERT_TRUE(sys::ShellWait(batch));

  tvtool::BootStore store = Store(m);
  ASSERT_EQ(4u, store.entries().size()) << store.Text();
  const tvtool::BootEntry* device = store.Find(kDevice);
  const tvtool::BootEntry* entry = store.Find(kEntry);
  ASSERT_TRUE(device && entry) << store.Text();
  EXPECT_EQ("device", device->type);
  EXPECT_EQ("partition=C:", device->Get("ramdisksdidevice"));
  EXPECT_EQ("\\WinPE\\boot.sdi", device->Get("ramdisksdipath"));
  EXPECT_EQ("osloader", entry->type);
  EXPECT_EQ("Tarnvale PE", entry->Get("description"));
  EXPECT_EQ(std::string("ramdisk=[C:]\\WinPE\\boot.wim,") + kDevice, entry->Get("osdevice"));
  EXPECT_EQ("Yes", entry->Get("winpe"));
  EXPECT_EQ("No", entry->Get("ems"));
  EXPECT_EQ("{bootloadersettings}", entry->Get("inherit"));
  EXPECT_FALSE(entry->Get("path")) << "the loader path stays a comment";
  const tvtool::BootEntry* manager = store.Find("{bootmgr}");
  EXPECT_EQ(std::string("{current} ") + kEntry, manager->Get("displayorder"));
  EXPECT_EQ("0", manager->Get("timeout"));

  // The first run's name, written in the code page, arrived intact.
  m.WriteFile(batch, AddWim("维护系统 PE", 5));
  ASSERT_TRUE(sys::ShellWait(batch));
  EXPECT_EQ("维护系统 PE", Store(m).Find(kEntry)->Get("description"));
}

TEST(BcdeditStandin, RefusesWhatBcdeditRefuses) {
  test::SimMachine m;
  auto bcdedit = [](const std::string& args) { return RunToEnd("C:\\Windows\\System32\\bcdedit.exe " + args); };
  ASSERT_EQ(0u, bcdedit(std::string("/create ") + kDevice + " /d \"x\" /device"));
  EXPECT_NE(0u, bcdedit(std::string("/create ") + kDevice + " /d \"x\" /device")) << "it exists";
  EXPECT_NE(0u, bcdedit(std::string("/set ") + kDevice + " winpe yes")) << "not an element of a device entry";
  EXPECT_NE(0u, bcdedit(std::string("/set ") + kEntry + " winpe yes")) << "no such entry";
  EXPECT_NE(0u, bcdedit(std::string("/set ") + kDevice + " ramdisksdidevice nowhere"));
  EXPECT_NE(0u, bcdedit(std::string("/displayorder ") + kEntry + " /addlast"));
  EXPECT_NE(0u, bcdedit("/delete {current}")) << "a well-known entry needs /f";
  EXPECT_NE(0u, bcdedit("/timeout soon"));
  tvtool::BootStore store = Store(m);
  EXPECT_EQ(3u, store.entries().size());
  EXPECT_FALSE(store.Find(kDevice)->Get("winpe"));
  EXPECT_EQ("30", store.Find("{bootmgr}")->Get("timeout"));
}

// A made DATA+UEFI disk 1 and the unpacked emulator in <tmp>\Qemu.
void MadeDisk(os::sim::Machine& mm) {
  auto& d = test::AddStick(mm, 1, 'E');
  d.mbrCode = "nt60";
  d.partitions[0].sectors -= 1032 * 2048;
  os::sim::Partition efi;
  efi.start = d.partitions[0].start + d.partitions[0].sectors;
  efi.sectors = 1032 * 2048;
  efi.active = true;
  efi.hidden = true;
  efi.type = 0x1C;
  efi.fileSystem = "FAT32";
  efi.label = "EFI";
  efi.bootCode = "nt60";
  efi.folder = "disks/1/part2";
  d.partitions.push_back(efi);
}

void InstallEmulator(const test::SimMachine& m) {
  std::string q = std::string(test::kTmp) + "\\Qemu\\";
  m.InstallProgram(q + "qemu.exe", "qemu");
  m.WriteFile(q + "bios.bin", "TARNVALE-FIRMWARE bios\r\n");
  m.WriteFile(q + "efi64.bin", "TARNVALE-FIRMWARE uefi\r\n");
  m.WriteFile(q + "hd.vmdk", "disk");
}

std::string Bios(int disk) {
  std::string t = test::kTmp;
  return "cmd.exe /c " + t + "\\Qemu\\qemu.exe -L " + t + "\\Qemu\\ -m 800 -localtime -vga std -snapshot -hda \\\\.\\PhysicalDrive" +
         std::to_string(disk) + " -boot c -hdb " + t + "\\Qemu\\hd.vmdk";
}
std::string Uefi(int disk) {
  std::string t = test::kTmp;
  return "cmd.exe /c " + t + "\\Qemu\\qemu.exe -L " + t + "\\Qemu\\ -m 800 -localtime -bios efi64.bin -snapshot -hda \\\\.\\PhysicalDrive" +
         std::to_string(disk) + " -boot c -hdb " + t + "\\\\Qemu\\hd.vmdk";
}

// These tests read the emulator's record; the real UEFI boot has tests of its own.
struct RecordOnly {
  RecordOnly() { setenv("TARNVALE_QEMU", "none", 1); }
  ~RecordOnly() { unsetenv("TARNVALE_QEMU"); }
};

std::vector<std::string> Log(const test::SimMachine& m) {
  std::vector<std::string> lines;
  std::ifstream in(m.Folder() + "/qemu.log");
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(QemuStandin, BootsTheMadeDiskInBothModesWithoutWritingIt) {
  RecordOnly recordOnly;
  test::SimMachine m(MadeDisk);
  InstallEmulator(m);
  test::WriteFiles(test::PartitionFolder(m, 1, 1), {{"bootmgr", "b"}, {"EFI/BOOT/BOOTX64.EFI", "u"}});
  std::string before = os::sim::FormatMachine(m.Get());
  ASSERT_EQ(0u, RunToEnd(Bios(1)));
  ASSERT_EQ(0u, RunToEnd(Uefi(1)));
  EXPECT_EQ(before, os::sim::FormatMachine(m.Get()));
  std::vector<std::string> log = Log(m);
  ASSERT_EQ(2u, log.size());
  EXPECT_EQ("mode=bios\tdisk=1\tresult=booted\tfrom=partition 2\tloader=bootmgr\tfiles=bootmgr;EFI\\BOOT\\BOOTX64.EFI",
            log[0]);
  EXPECT_EQ(
      "mode=uefi\tdisk=1\tresult=booted\tfrom=partition 2\tloader=EFI\\BOOT\\BOOTX64.EFI\t"
      "files=bootmgr;EFI\\BOOT\\BOOTX64.EFI",
      log[1]);
  // A disk that is not there stops the emulator before it records anything.
  EXPECT_NE(0u, RunToEnd(Bios(3)));
  EXPECT_EQ(2u, Log(m).size());
}

TEST(QemuStandin, ReportsWhyADiskDoesNotBoot) {
  RecordOnly recordOnly;
  test::SimMachine m([](os::sim::Machine& mm) {
    MadeDisk(mm);
    mm.disks[0].partitions[1].fileSystem = "NTFS";
  });
  InstallEmulator(m);
  test::WriteFiles(test::PartitionFolder(m, 1, 1), {{"grldr", "g"}, {"EFI/BOOT/BOOTX64.EFI", "u"}});
  RunToEnd(Bios(1));
  RunToEnd(Uefi(1));
  m.Update([](os::sim::Machine& mm) { mm.disks[0].mbrCode = "grldr"; });
  RunToEnd(Bios(1));
  std::vector<std::string> log = Log(m);
  ASSERT_EQ(3u, log.size());
  EXPECT_EQ("mode=bios\tdisk=1\tresult=failed\treason=the active partition holds no bootmgr", log[0]);
  EXPECT_EQ("mode=uefi\tdisk=1\tresult=failed\treason=no FAT partition holds EFI\\BOOT\\BOOTX64.EFI", log[1]);
  EXPECT_EQ(0u, log[2].find("mode=bios\tdisk=1\tresult=booted\tfrom=partition 2\tloader=grldr")) << log[2];
}

}  // namespace
