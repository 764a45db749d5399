// The three operations end to end in the host program, driven by a console
// script as a person would: a made disk is booted in the emulator, then
// restored; the PE is installed twice; and the console shows what happened
// on the machine (the disk, the boot menu, the emulator's runs, a folder).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "os/sim/sim.h"
#include "sys/text.h"
#include "tests/support/ops_machine.h"
#include "tests/support/real_boot.h"
#include "tests/support/tool_machines.h"

namespace {

// String(n) of a language source (English by default), as the program reads it.
std::string English(int n, int language = 1033) {
  std::ifstream in(std::string(TV_LANG_SOURCES) + "/" + std::to_string(language) + ".lng");
  std::string line, key = "String(" + std::to_string(n) + ")=";
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return sys::TrimSpaces(line.substr(key.size()));
  return "<missing>";
}

class OpsConsole : public test::OpsTest {
 protected:
  struct Run {
    int status = -1;
    std::string output;
  };
  Run Program(const std::string& script, const std::string& windowsArguments = "") {
    std::string scriptFile = m.Folder() + "/script.txt";
    std::ofstream(scriptFile) << script;
    std::string out = m.Folder() + "/console.txt";
    std::string command = os::sim::ToolsFolder() + "/tarnvale --machine " + m.Folder() + " --script " + scriptFile +
                          (windowsArguments.empty() ? "" : " -- " + windowsArguments) + " > " + out + " 2>&1";
    Run r;
    r.status = WEXITSTATUS(system(command.c_str()));
    std::ifstream in(out);
    std::stringstream s;
    s << in.rdbuf();
    r.output = s.str();
    return r;
  }
};

TEST_F(OpsConsole, AMadeDiskIsBootedThenRestoredAndThePEInstalledTwiceByKeyAndMenu) {
  // The emulator's record is what counts here; the real boot has tests of its own.
  test::ScopedEnv recordOnly("TARNVALE_QEMU", "none");
  m.Update([](os::sim::Machine& mm) { test::AddMadeDisk(mm, 1, 'E'); });
  test::WriteMadeDiskFiles(m, 1);
  Run r = Program(
      "disk 1\n"
      "key F5\n"
      "wait idle\n"
      "expect emulator mode=bios\tdisk=1\tresult=booted\n"
      "expect enabled Command1\n"
      "menu 2021\n"
      "wait idle\n"
      "expect emulator mode=uefi\tdisk=1\tresult=booted\n"
      "key F2\n"
      "answer ok\n"
      "answer ok\n"
      "expect message \"" + English(31) + "\"\n"
      "expect partitions 1 1\n"
      "disk 1\n"
      "key Ctrl+I\n"
      "answer ok\n"
      "answer ok\n"
      "expect message \"" + English(46) + "\"\n"
      "menu 2002\n"
      "answer ok\n"
      "answer ok\n"
      "wait idle\n"
      "expect exists C:\\WinPE\\boot.wim\n"
      "expect missing C:\\WinPE\\sources\n"
      "expect caption Status \"" + English(3) + "\"\n"
      "bootmenu\n"
      "emulator\n"
      "dir C:\\WinPE\n");
  EXPECT_EQ(0, r.status) << r.output;
  // Before: the UD area and the hidden EFI partition; after: one partition.
  EXPECT_NE(std::string::npos, r.output.find("    UD area  300 MB\n")) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("  FAT32  'EFI'  1032 MB  type 1C  active  hidden")) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("    0  E:  FAT32  '")) << r.output;
  // The boot menu holds the PE entry once, and the emulator's runs are listed.
  EXPECT_NE(std::string::npos, r.output.find("  entry {ffffffff-3600-11de-8e71-fffffffffffe} osloader\n")) << r.output;
  EXPECT_EQ(r.output.find("entry {ffffffff-3600-11de-8e71-fffffffffffe}"),
            r.output.rfind("entry {ffffffff-3600-11de-8e71-fffffffffffe}"));
  EXPECT_NE(std::string::npos, r.output.find("  mode=bios disk=1 result=booted")) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("  mode=uefi disk=1 result=booted")) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("    boot.wim  (")) << r.output;
  EXPECT_EQ(std::string::npos, r.output.find("! ")) << r.output;
}

TEST_F(OpsConsole, AMissingWorkingFolderOrPartitionToolIsToldInTheLanguageOfTheRun) {
  m.Update([](os::sim::Machine& mm) { test::AddMadeDisk(mm, 1, 'E'); });
  {
    SCOPED_TRACE("no partition tool: the restore stops before it formats");
    ASSERT_TRUE(std::filesystem::remove(m.Host("C:\\Tarnvale\\Data\\Plugins\\pacmd.aes")));
    Run r = Program("key F2\nanswer ok\nanswer ok\nexpect message \"" + English(92, 1031) +
                        "\"\nexpect partitions 1 2\nexpect enabled Command1\n",
                    "/lng:1031");
    EXPECT_EQ(0, r.status) << r.output;
  }
  {
    SCOPED_TRACE("no working folder: nothing starts");
    m.Update([](os::sim::Machine& mm) { mm.windir = "Q:\\Windows"; });
    Run r = Program("click Command1\nanswer ok\nexpect message \"" + English(91, 1031) + "\"\n", "/lng:1031");
    EXPECT_EQ(0, r.status) << r.output;
  }
}

// "swap" while the restore's question is open: the backup disk that took
// the stick's place keeps its partition, and the box says the disk changed.
TEST_F(OpsConsole, ADiskSwappedWhileTheQuestionIsOpenIsNotRestored) {
  m.Update([](os::sim::Machine& mm) {
    test::AddMadeDisk(mm, 1, 'E').serial = "STICK";
    os::sim::Disk& backup = test::AddMadeDisk(mm, 9, 'Q');
    backup.serial = "BACKUP";
    backup.partitions[0].letter = 0;
  });
  Run r = Program(
      "key F2\n"
      "swap 1 9\n"
      "answer ok\n"
      "answer ok\n"
      "expect partitions 1 2\n"
      "expect enabled Command1\n"
      "swap 1 7\n");
  EXPECT_EQ(1, r.status) << "only the swap of a disk that is not there fails: " << r.output;
  EXPECT_NE(std::string::npos, r.output.find("(disk 1 pulled out; disk 9 arrived as disk 1)")) << r.output;
  EXPECT_NE(std::string::npos, r.output.find(English(72).substr(0, 40))) << r.output;
  EXPECT_EQ(std::string::npos, r.output.find(English(31))) << r.output;
  EXPECT_EQ(1u, sys::Split(r.output, "\n! ").size() - 1) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("! swap: disks 1 and 7 must both be described")) << r.output;
}

TEST_F(OpsConsole, AMakeThatFailsItsCheckSaysWhyAndADiskpartMakeWithoutAFreeLetterIsRefused) {
  m.Update([](os::sim::Machine& mm) {
    test::AddStick(mm, 1, 'E');
    mm.faults["partassist"] = "partial@whide";
  });
  Run r = Program(
      "select Fsys DATA+UEFI\n"
      "click Command1\n"
      "answer ok\n"
      "answer ok\n");
  EXPECT_EQ(0, r.status) << r.output;
  std::string line = sys::ReplaceAll(sys::ReplaceAll(English(75), "%1", "3"), "%2", "5");
  EXPECT_NE(std::string::npos, r.output.find(English(65))) << r.output;
  EXPECT_NE(std::string::npos, r.output.find(line)) << r.output;
  EXPECT_EQ(std::string::npos, r.output.find(English(29))) << r.output;

  m.Update([](os::sim::Machine& mm) {
    mm.faults.clear();
    for (char c = 'F'; c <= 'Z'; ++c) {
      os::sim::Drive d;
      d.letter = c;
      d.kind = os::sim::Drive::Kind::kNetwork;
      mm.drives.push_back(d);
    }
  });
  r = Program(
      "select Fsys UEFI+DATA\n"
      "click Command1\n"
      "answer ok\n"
      "expect message \"" + English(82) + "\"\n"
      "expect partitions 1 2\n");
  EXPECT_EQ(0, r.status) << r.output;
}

TEST_F(OpsConsole, TheSessionsEndIsHeldUpDuringARestoreAndEndsTheProgramWhenIdle) {
  m.Update([](os::sim::Machine& mm) { test::AddMadeDisk(mm, 1, 'E'); });
  test::WriteMadeDiskFiles(m, 1);
  Run r = Program("key F2\nanswer ok\nendsession\nanswer ok\nwait idle\nexpect partitions 1 1\nendsession\n"
                  "show\n");
  EXPECT_EQ(0, r.status) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("(the session's end is held up: " + English(89) + ")")) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("(the session ends)")) << r.output;
  EXPECT_EQ(std::string::npos, r.output.find("\nshow")) << "the program ended with the session";
}

TEST_F(OpsConsole, AForcedEndOfTheSessionDuringARestoreLeavesThePerRunFolder) {
  m.Update([](os::sim::Machine& mm) { test::AddMadeDisk(mm, 1, 'E'); });
  test::WriteMadeDiskFiles(m, 1);
  Run r = Program("key F2\nanswer ok\nendsession force\n");
  EXPECT_NE(std::string::npos, r.output.find("(the session ends)")) << r.output;
  size_t folders = 0;
  for (const auto& e : std::filesystem::directory_iterator(m.Host("C:\\Windows\\Temp")))
    folders += e.is_directory() && e.path().filename().string().size() == 8;
  EXPECT_EQ(1u, folders) << "the per-run folder stays for the tools that may still use it";
}

TEST_F(OpsConsole, WithoutAdministratorRightsTheWindowOffersNothing) {
  m.Update([](os::sim::Machine& mm) {
    test::AddMadeDisk(mm, 1, 'E');
    mm.elevated = false;
  });
  Run r = Program("answer ok\nexpect disabled Command1\nexpect disabled RDriver\nkey F2\nanswer ok\n"
                  "expect partitions 1 2\n");
  EXPECT_EQ(0, r.status) << r.output;
  // Said at the start, and again for F2 instead of the restore's question.
  EXPECT_EQ(2u, sys::Split(r.output, "| " + English(88)).size() - 1) << r.output;
}

TEST_F(OpsConsole, MachineChecksFailWhenTheMachineDisagrees) {
  m.Update([](os::sim::Machine& mm) { test::AddMadeDisk(mm, 1, 'E'); });
  // Two answers with no box to answer are both refused, and the script goes on.
  Run r = Program(
      "answer ok\nanswer ok\nexpect partitions 1 1\nexpect exists C:\\WinPE\nexpect emulator booted\ndisk 9\n");
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(2u, sys::Split(r.output, "! no message box is open").size() - 1) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("expected partitions 1 1, but it is: 2")) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("expected exists C:\\WinPE, but it is: not there")) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("(the emulator has not run)")) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("  disk 9: no such disk")) << r.output;
}

}  // namespace
