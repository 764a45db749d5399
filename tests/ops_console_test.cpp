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

namespace {

// String(n) of the English language source, as the program reads it.
std::string English(int n) {
  std::ifstream in(std::string(TV_LANG_SOURCES) + "/1033.lng");
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
  Run Program(const std::string& script) {
    std::string scriptFile = m.Folder() + "/script.txt";
    std::ofstream(scriptFile) << script;
    std::string out = m.Folder() + "/console.txt";
    std::string command =
        os::sim::ToolsFolder() + "/tarnvale --machine " + m.Folder() + " --script " + scriptFile + " > " + out + " 2>&1";
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
