// Fault switches: outside programs that are missing, end at once, leave
// nothing behind, or do only part of their work.
#include <gtest/gtest.h>

#include <filesystem>

#include "os/process.h"
#include "os/sim/faults.h"
#include "sys/partassist_commands.h"
#include "sys/short_path.h"
#include "tests/support/tool_machines.h"

namespace {

using test::Describe;
using test::RunToEnd;

TEST(FaultSwitch, ReadsKindCommandAndCount) {
  auto f = os::sim::ParseFaultSwitch("no-output@list*2");
  ASSERT_TRUE(f);
  EXPECT_EQ("no-output", f->kind);
  EXPECT_EQ("list", f->command);
  EXPECT_EQ(2, f->times);
  EXPECT_EQ(-1, os::sim::ParseFaultSwitch("partial")->times);
  EXPECT_FALSE(os::sim::ParseFaultSwitch("broken"));
  EXPECT_FALSE(os::sim::ParseFaultSwitch("missing*0"));
  EXPECT_FALSE(os::sim::ParseFaultSwitch("missing@"));
}

TEST(FaultSwitch, AMissingProgramCannotBeStartedUntilTheSwitchWearsOff) {
  test::SimMachine m([](os::sim::Machine& mm) {
    test::AddStick(mm, 1, 'E');
    mm.faults["partassist"] = "missing*1";
  });
  test::InstallTools(m);
  uint32_t error = 0;
  os::Process p = os::StartProcess(std::string(test::kTmp) + "\\PACMD\\PartAssist.exe /init:1", 0, &error);
  EXPECT_FALSE(p.IsValid());
  EXPECT_EQ(2u, error);
  EXPECT_TRUE(m.Get().faults.empty()) << "a switch used up leaves the description";
  ASSERT_EQ(0u, RunToEnd(sys::PaResize("E:", 100)));
  EXPECT_EQ("FAT32 E: 'STICK' 16283M 0c", Describe(*m.Get().FindDisk(1)));
}

TEST(FaultSwitch, ToolsThatEndAtOnceOrWriteNothingLeaveTheDiskAlone) {
  test::SimMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
  test::InstallTools(m);
  std::string aes = sys::GetShortPath("C:\\Tarnvale\\Data\\Bin\\aes.dll") + " (hd1) format --force --raw --fat32 --align";
  std::string before = Describe(*m.Get().FindDisk(1));
  m.Update([](os::sim::Machine& mm) { mm.faults["aes"] = "exit-early"; });
  EXPECT_EQ(1u, RunToEnd(aes));
  m.Update([](os::sim::Machine& mm) { mm.faults["aes"] = "no-output"; });
  EXPECT_EQ(0u, RunToEnd(aes));
  m.Update([](os::sim::Machine& mm) { mm.faults["format"] = "no-output"; });
  EXPECT_EQ(0u, RunToEnd("cmd.exe /c C:\\Windows\\System32\\format.com E: /FS:NTFS /q /x /y"));
  EXPECT_EQ(before, Describe(*m.Get().FindDisk(1)));

  // A switch for one command leaves the program's other commands alone.
  m.Update([](os::sim::Machine& mm) { mm.faults["partassist"] = "no-output@list"; });
  ASSERT_EQ(0u, RunToEnd(sys::PaResize("E:", 100)));
  EXPECT_EQ("FAT32 E: 'STICK' 16283M 0c", Describe(*m.Get().FindDisk(1)));
  std::string list = std::string(test::kTmp) + "\\PACMD\\usee.txt";
  EXPECT_EQ(0u, RunToEnd(sys::PaList(1, list)));
  EXPECT_FALSE(m.Exists(list));
}

TEST(FaultSwitch, PartialWorkStopsHalfWay) {
  test::SimMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
  test::InstallTools(m);
  // The partition tool writes half of a folder onto a partition.
  std::string staging = std::string(test::kTmp) + "\\EFI";
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) m.WriteFile(staging + "\\" + name, name);
  m.Update([](os::sim::Machine& mm) { mm.faults["partassist"] = "partial@whide"; });
  ASSERT_EQ(0u, RunToEnd(sys::PaWriteHidden(1, 0, staging)));
  EXPECT_TRUE(m.Exists("E:\\a.txt"));
  EXPECT_TRUE(m.Exists("E:\\b.txt"));
  EXPECT_FALSE(m.Exists("E:\\c.txt"));

  // diskpart runs the first half of its script's commands.
  m.WriteFile("C:\\script.txt", "select disk 1\r\nclean\r\ncreate partition primary size=100\r\nactive\r\n");
  m.Update([](os::sim::Machine& mm) { mm.faults["diskpart"] = "partial"; });
  RunToEnd("C:\\Windows\\System32\\diskpart.exe /S C:\\script.txt");
  EXPECT_EQ("", Describe(*m.Get().FindDisk(1))) << "cleaned, and nothing made";

  // The archiver unpacks only part of an archive.
  std::string pkg = m.Host("C:\\pkg");
  test::WriteFiles(pkg, {{"1.txt", "1"}, {"2.txt", "2"}, {"3.txt", "3"}, {"4.txt", "4"}});
  ASSERT_EQ(0, system(("cd '" + pkg + "' && 7zz a -bso0 -bd ../pkg.7z 1.txt 2.txt 3.txt 4.txt").c_str()));
  m.Update([](os::sim::Machine& mm) { mm.faults["7zz"] = "partial@x"; });
  RunToEnd(sys::GetShortPath("C:\\Tarnvale\\Data\\Bin\\x86.dll") + " x C:\\pkg.7z -y -o\"C:\\out\"");
  EXPECT_TRUE(m.Exists("C:\\out\\1.txt"));
  EXPECT_TRUE(m.Exists("C:\\out\\2.txt"));
  EXPECT_FALSE(m.Exists("C:\\out\\3.txt"));
  EXPECT_FALSE(m.Exists("C:\\out\\4.txt"));
  m.Update([](os::sim::Machine& mm) { mm.faults["7zz"] = "exit-early"; });
  EXPECT_EQ(2u, RunToEnd(sys::GetShortPath("C:\\Tarnvale\\Data\\Bin\\x86.dll") + " x C:\\pkg.7z -y -o\"C:\\out2\""));
  EXPECT_FALSE(m.Exists("C:\\out2\\1.txt"));
}

}  // namespace
