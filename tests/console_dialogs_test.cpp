// The host program's system menu and its two dialogs as a person works
// them through the console: the menu shown with its marks, the size dialog
// typed into and closed, the About window with its logo and its tune.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>

#include "app/config.h"
#include "os/sim/sim.h"
#include "tests/support/sim_machine.h"

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class ConsoleDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    m.WriteFile("C:\\Tarnvale\\Data\\Lang\\1033.lng", Slurp(std::string(TV_LANG_DIR) + "/1033.lng"));
    Config("[Option]\r\nTitle=Dialogs\r\n[InstPEToDisk]\r\nPEName=Test PE\r\n");
  }
  void Config(const std::string& text) { m.WriteFile("C:\\Tarnvale\\Tarnvale.cfg", text); }

  struct Run {
    int status = -1;
    std::string output;
  };
  Run Program(const std::string& script) {
    std::string scriptFile = m.Folder() + "/script.txt";
    std::ofstream(scriptFile) << script;
    std::string out = m.Folder() + "/console.txt";
    std::string command = os::sim::ToolsFolder() + "/tarnvale --machine " + m.Folder() + " --script " + scriptFile +
                          " > " + out + " 2>&1";
    Run r;
    r.status = WEXITSTATUS(system(command.c_str()));
    r.output = Slurp(out);
    return r;
  }
  std::string ConfigFile() { return m.ReadFile("C:\\Tarnvale\\Tarnvale.cfg"); }

  test::SimMachine m{[](os::sim::Machine& mm) { mm.timeScale = 20; }};
};

TEST_F(ConsoleDialogs, TheSystemMenuIsShownWithItsMarksAndItsOptionsToggle) {
  Run r = Program(
      "sysmenu\n"
      "expect menu 2002 2020 2021 2030 2031 2032 2003 2004 2006 61728\n"
      "expect menutext 2003 \"Log(&L)  Ctrl+L\"\n"
      "expect unchecked 2030\n"
      "menu 2030\n"
      "expect checked 2030\n"
      "expect menutext 2021 \"EFI X64\"\n"
      "menu 2031\n"
      "menu 2031\n"
      "expect unchecked 2031\n"
      "menu 61472\n"
      "expect state minimized\n");
  EXPECT_EQ(0, r.status) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("2002  [ ] Install PE to local disk(&I)  Ctrl+I  {install}")) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("2030  [ ] ")) << r.output;
}

TEST_F(ConsoleDialogs, TheSizeDialogIsTypedIntoAndStoresOnClosing) {
  Run r = Program(
      "menu 2032\n"
      "expect dialog form2\n"
      "expect form2 title \"Custom partition sizes\"\n"
      "expect form2 text UD 300\n"
      "form2 type UD 1a2-8\n"
      "expect form2 text UD 128\n"
      "form2 paste EFI 99999\n"
      "form2 key EFI Ctrl+V\n"
      "type EFI 0512\n"
      "click Command1\n"
      "form2\n"
      "close\n"
      "expect dialog none\n");
  EXPECT_EQ(1, r.status) << r.output;  // the click on the main window is refused
  EXPECT_NE(std::string::npos, r.output.find("! the main window takes no input while a dialog is open")) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("EFI partition size (MB): [0512|]")) << r.output;
  std::string file = ConfigFile();
  EXPECT_NE(std::string::npos, file.find("UDSize=128\t\t\t\t//")) << file;
  EXPECT_NE(std::string::npos, file.find("EFISize=0512\t\t\t\t//")) << file;
}

TEST_F(ConsoleDialogs, OutOfBoundsSizesAreAnsweredFromTheConsoleAndNothingIsStored) {
  Run r = Program(
      "menu 2032\n"
      "form2 type EFI 99\n"
      "form2 close\n"
      "answer ok\n"
      "expect message \"Invalid size: the UD area must be 10 to 4096 MB and the EFI partition at least 100 MB. "
      "The values were not saved.\"\n");
  EXPECT_EQ(0, r.status) << r.output;
  EXPECT_EQ(std::string::npos, ConfigFile().find("UDSize"));
}

TEST_F(ConsoleDialogs, AScriptThatEndsWithTheDialogOpenClosesItAsAPersonWould) {
  Run r = Program("menu 2032\nform2 type UD 64\n");
  EXPECT_EQ(0, r.status) << r.output;
  EXPECT_NE(std::string::npos, ConfigFile().find("UDSize=64\t"));
}

TEST_F(ConsoleDialogs, TheAboutWindowAnimatesAndPlaysItsTune) {
  m.WriteFile("C:\\Tarnvale\\Tarnvale-Guide.txt", "guide");
  Run r = Program(
      "menu 2004\n"
      "expect dialog about\n"
      "expect about title \"About Tarnvale\"\n"
      "expect about line 0 \"Tarnvale 12.0.0\"\n"
      "expect about label donate hidden\n"
      "expect about animation still\n"
      "expect about tune closed\n"
      "click logo\n"
      "expect about animation moving\n"
      "wait 30000\n"
      "expect about animation resting\n"
      "expect about tune playing\n"
      "expect about prog1 shown\n"
      "about click logo\n"
      "expect about animation resting\n"
      "about click guide\n"
      "about\n"
      "close\n"
      "expect dialog none\n");
  EXPECT_EQ(0, r.status) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("tune: playing at ")) << r.output;
  EXPECT_NE(std::string::npos, Slurp(m.Folder() + "/mci.log").find("close MIDI\t0\n"));
  EXPECT_EQ("C:\\Tarnvale\\Tarnvale-Guide.txt\t\t\t1\n", Slurp(m.Folder() + "/shell-open.log"));
}

TEST_F(ConsoleDialogs, AboutInChineseAndThePeRefusal) {
  m.WriteFile("C:\\Tarnvale\\Data\\Lang\\2052.lng", Slurp(std::string(TV_LANG_DIR) + "/2052.lng"));
  m.Update([](os::sim::Machine& mm) {
    mm.locale = 2052;
    mm.codePage = 936;
    mm.env["SYSTEMDRIVE"] = "X:";
  });
  Run r = Program(
      "menu 2004\n"
      "expect about title \"\xE5\x85\xB3\xE4\xBA\x8E Tarnvale\"\n"
      "about click guide\n"
      "answer ok\n"
      "expect message \"PE environment is not available.\"\n"
      "about close\n");
  EXPECT_EQ(0, r.status) << r.output;
  EXPECT_EQ("", Slurp(m.Folder() + "/shell-open.log"));
}

TEST_F(ConsoleDialogs, TheGuideLinkWithoutTheGuideSaysTheFileIsMissing) {
  Run r = Program(
      "menu 2004\n"
      "about click guide\n"
      "answer ok\n"
      "about close\n");
  EXPECT_EQ(0, r.status) << r.output;
  // The message box, as the console shows it: the text and the path.
  EXPECT_NE(std::string::npos, r.output.find("The user guide is missing. This file was not found:")) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("C:\\Tarnvale\\Tarnvale-Guide.txt")) << r.output;
  EXPECT_EQ("", Slurp(m.Folder() + "/shell-open.log"));
}

}  // namespace
