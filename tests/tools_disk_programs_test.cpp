// The UD tool, format.com, diskpart and the two boot-code tools on simulated
// disks, with the command lines the system gives them.
#include <gtest/gtest.h>

#include <filesystem>

#include "sys/run_diskpart.h"
#include "sys/short_path.h"
#include "tests/support/tool_machines.h"

namespace {

using test::Describe;
using test::RunToEnd;

std::string Aes(const std::string& tail) { return sys::GetShortPath("C:\\Tarnvale\\Data\\Bin\\aes.dll") + " " + tail; }
std::string Format(const std::string& tail) { return "cmd.exe /c C:\\Windows\\System32\\format.com " + tail; }

bool HasFiles(const std::string& hostFolder) {
  std::error_code ec;
  return std::filesystem::exists(hostFolder, ec) && !std::filesystem::is_empty(hostFolder, ec);
}

TEST(UdToolStandin, FormatsWithAndWithoutUdArea) {
  test::SimMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
  test::InstallTools(m);
  test::WriteFiles(test::PartitionFolder(m, 1, 0), {{"old.txt", "x"}});
  ASSERT_EQ(0u, RunToEnd(Aes("E: format --force --fat32 --align --primary 8M --extended 292M")));
  EXPECT_EQ("ud=300 | FAT32 E: '' 16084M 0c", Describe(*m.Get().FindDisk(1)));
  EXPECT_EQ(300u * 2048, m.Get().FindDisk(1)->partitions[0].start) << "the data partition follows the UD area";
  EXPECT_FALSE(HasFiles(test::PartitionFolder(m, 1, 0)));

  // The UD package goes into the UD area; clear empties it.
  std::string ud = m.Folder() + "/" + m.Get().FindDisk(1)->ud.folder;
  std::filesystem::create_directories(m.Host("C:\\pkg"));
  test::WriteFiles(m.Host("C:\\pkg"), {{"grldr", "loader"}, {"menu.lst", "title x"}});
  ASSERT_EQ(0, system(("cd '" + m.Host("C:\\pkg") + "' && 7zz a -bso0 -bd ../ud.fba grldr menu.lst").c_str()));
  ASSERT_EQ(0u, RunToEnd(Aes("E: load C:\\ud.fba")));
  EXPECT_TRUE(std::filesystem::exists(ud + "/grldr"));
  EXPECT_TRUE(std::filesystem::exists(ud + "/menu.lst"));
  ASSERT_EQ(0u, RunToEnd(Aes("E: clear")));
  EXPECT_FALSE(HasFiles(ud));
  // A package that is no archive, or is missing, leaves the UD area alone.
  RunToEnd(Aes("E: load C:\\ud.fba"));
  m.WriteFile("C:\\bad.fba", "not an archive");
  EXPECT_NE(0u, RunToEnd(Aes("E: load C:\\bad.fba")));
  EXPECT_NE(0u, RunToEnd(Aes("E: load C:\\missing.fba")));
  EXPECT_TRUE(std::filesystem::exists(ud + "/grldr"));

  // The raw format leaves one aligned FAT32 partition and no UD area.
  ASSERT_EQ(0u, RunToEnd(Aes("(hd1) format --force --raw --fat32 --align")));
  EXPECT_EQ("FAT32 E: '' 16383M 0c", Describe(*m.Get().FindDisk(1)));
  EXPECT_EQ(2048u, m.Get().FindDisk(1)->partitions[0].start);
  // Without a UD area there is nothing to load into.
  EXPECT_NE(0u, RunToEnd(Aes("E: load C:\\ud.fba")));
  EXPECT_NE(0u, RunToEnd(Aes("(hd5) format --force --raw --fat32 --align")));
}

TEST(FormatStandin, GivesTheVolumeAFreshFileSystem) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddStick(mm, 1, 'E');
    test::AddStick(mm, 2, 'F', 64ull << 30);
  });
  test::InstallTools(m);
  test::WriteFiles(test::PartitionFolder(m, 1, 0), {{"old.txt", "x"}});
  ASSERT_EQ(0u, RunToEnd(Format("E: /FS:NTFS /q /x /y")));
  EXPECT_EQ("NTFS E: '' 16383M 07", Describe(*m.Get().FindDisk(1)));
  EXPECT_FALSE(HasFiles(test::PartitionFolder(m, 1, 0)));
  ASSERT_EQ(0u, RunToEnd(Format("E: /FS:exFAT /q /x /y")));
  EXPECT_EQ("exFAT E: '' 16383M 07", Describe(*m.Get().FindDisk(1)));

  // As on Windows: no FAT32 above 32 GB; an unknown drive or switch fails.
  std::string big = Describe(*m.Get().FindDisk(2));
  EXPECT_NE(0u, RunToEnd(Format("F: /FS:FAT32 /q /x /y")));
  EXPECT_EQ(big, Describe(*m.Get().FindDisk(2)));
  EXPECT_NE(0u, RunToEnd(Format("Q: /FS:FAT32 /q /x /y")));
  EXPECT_NE(0u, RunToEnd(Format("E: /FS:FAT32 /bogus")));
  EXPECT_EQ("exFAT E: '' 16383M 07", Describe(*m.Get().FindDisk(1)));
}

// The diskpart pass with disk 1, data letter G:, free letter Z:, label Tarnvale.
const char* kUefiDataScript =
    "select disk 1\r\nclean\r\nconvert mbr noerr\r\n\r\nrem == 1. EFI partition ======================\r\n"
    "create partition primary size=1032 noerr\r\nformat quick fs=fat32 label=\"EFI\" noerr\r\n"
    "assign letter=\"G\" noerr\r\nactive\r\n\r\nrem == 2. Data partition ========================\r\n"
    "create partition primary  noerr\r\nformat quick fs=exfat label=\"Tarnvale\" noerr\r\nassign letter=\"Z\" noerr";

TEST(DiskpartStandin, RunsTheScriptsOfTheDiskpartMode) {
  test::SimMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'G'); });
  test::InstallTools(m);
  ASSERT_TRUE(sys::RunDiskPart(kUefiDataScript, "diskpart"));
  EXPECT_EQ("FAT32 G: 'EFI' 1032M active 0c | exFAT Z: 'Tarnvale' 15351M 07", Describe(*m.Get().FindDisk(1)));
  EXPECT_EQ("", m.Get().FindDisk(1)->mbrCode) << "clean zeroes the master boot record";

  // The closing script gives the EFI partition the hidden type 1C.
  ASSERT_TRUE(sys::RunDiskPart("select disk 1\r\nselect part 1\r\nset id=1c override", "diskpart"));
  EXPECT_EQ("FAT32 - 'EFI' 1032M active hidden 1c | exFAT Z: 'Tarnvale' 15351M 07", Describe(*m.Get().FindDisk(1)));
}

TEST(DiskpartStandin, AFailingCommandEndsTheScriptUnlessNoerr) {
  test::SimMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
  test::InstallTools(m);
  // No free letter: assign letter="" fails, and noerr goes on.
  ASSERT_TRUE(sys::RunDiskPart(
      "select disk 1\r\nclean\r\ncreate partition primary size=100\r\nassign letter=\"\" noerr\r\n"
      "format quick fs=fat32 label=\"A\"\r\nselect disk 9\r\ncreate partition primary size=100\r\n",
      "diskpart"));
  EXPECT_EQ("FAT32 - 'A' 100M 0c", Describe(*m.Get().FindDisk(1)))
      << "select disk 9 failed without noerr: the last command never ran";
  // Without a selected disk even clean fails, and the script stops there.
  ASSERT_TRUE(sys::RunDiskPart("clean\r\nselect disk 1\r\nclean", "diskpart"));
  EXPECT_EQ(1u, m.Get().FindDisk(1)->partitions.size());
  // A fifth primary partition is refused.
  ASSERT_TRUE(sys::RunDiskPart(
      "select disk 1\r\nclean\r\ncreate partition primary size=10\r\ncreate partition primary size=10\r\n"
      "create partition primary size=10\r\ncreate partition primary size=10\r\ncreate partition primary size=10 noerr",
      "diskpart"));
  EXPECT_EQ(4u, m.Get().FindDisk(1)->partitions.size());
}

TEST(BootCodeStandins, WriteTheBootCodeTheyAreAskedFor) {
  test::SimMachine m([](os::sim::Machine& mm) {
    auto& d = test::AddStick(mm, 1, 'E');
    d.mbrCode.clear();
  });
  test::InstallTools(m);
  std::string pacmd = std::string(test::kTmp) + "\\PACMD\\";
  ASSERT_EQ(0u, RunToEnd(pacmd + "bootsect.exe /nt60 E:"));
  EXPECT_EQ("nt60", m.Get().FindDisk(1)->partitions[0].bootCode);
  EXPECT_EQ("", m.Get().FindDisk(1)->mbrCode) << "without /mbr only the volume's boot sector";
  ASSERT_EQ(0u, RunToEnd(pacmd + "bootsect.exe /nt60 E: /mbr"));
  EXPECT_EQ("nt60", m.Get().FindDisk(1)->mbrCode);
  EXPECT_NE(0u, RunToEnd(pacmd + "bootsect.exe /nt60 Q: /mbr"));

  ASSERT_EQ(0u, RunToEnd("cmd.exe /c " + pacmd + "ginst.exe (hd1)"));
  EXPECT_EQ("grldr", m.Get().FindDisk(1)->mbrCode);
  EXPECT_NE(0u, RunToEnd("cmd.exe /c " + pacmd + "ginst.exe (hd4)"));
}

}  // namespace
