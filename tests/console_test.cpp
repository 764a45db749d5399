// The host program as a person uses it: the console front-end that shows the
// headless main window and takes input from a script, and one instance of
// the program per machine.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/form1.h"
#include "os/ansi.h"
#include "os/files.h"
#include "os/main_window.h"
#include "os/sim/console.h"
#include "os/sim/sim.h"
#include "tests/support/sim_machine.h"
#include "ui/console/console_window.h"

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class Console : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string lang = "[Language_Tarnvale]\r\nString(0)=Select disk:\r\nString(3)=Restore (F2)\r\nString(4)=Start\r\n"
                       "String(8)=Notice\r\nString(30)=Progress:\r\nString(64)=New make\r\nString(5)=Update\r\n";
    m.WriteFile("C:\\Tarnvale\\Data\\Lang\\1033.lng", lang);
    m.WriteFile("C:\\Tarnvale\\Tarnvale.cfg", "[Option]\r\nTitle=Console Test\r\n");
  }

  // Runs the host program on the machine; returns its exit status and output.
  struct Run {
    int status = -1;
    std::string output;
  };
  Run Program(const std::string& script, const std::string& arguments = "") {
    std::string scriptFile = m.Folder() + "/script.txt";
    std::ofstream(scriptFile) << script;
    std::string out = m.Folder() + "/console.txt";
    std::string command = os::sim::ToolsFolder() + "/tarnvale --machine " + m.Folder() + " --script " + scriptFile +
                          (arguments.empty() ? "" : " -- " + arguments) + " > " + out + " 2>&1";
    Run r;
    r.status = WEXITSTATUS(system(command.c_str()));
    r.output = Slurp(out);
    return r;
  }

  test::SimMachine m;
};

TEST_F(Console, AScriptDrivesTheWindowAndItsChecksPass) {
  Run r = Program(
      "expect title Console Test\n"
      "expect caption Command1 Start\n"
      "select Fsys 1\n"
      "expect text Fsys \"UD+DATA+UEFI # Update\"\n"
      "select FSFor NTFS\n"
      "expect text FSFor NTFS\n"
      "maximize\n"
      "expect state normal\n"
      "show\n");
  EXPECT_EQ(0, r.status) << r.output;
  // The window is drawn: the caption, the rows and the lists.
  EXPECT_NE(std::string::npos, r.output.find("Console Test"));
  EXPECT_NE(std::string::npos, r.output.find("[Start]"));
  EXPECT_NE(std::string::npos, r.output.find("   > 1) UD+DATA+UEFI # Update"));
  EXPECT_EQ(std::string::npos, r.output.find("!")) << r.output;
}

TEST_F(Console, AFailedCheckOrAWrongCommandEndsWithStatusOne) {
  Run r = Program("expect caption Command1 Go\n");
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.output.find("! expected caption Command1 Go, but it is: Start")) << r.output;
  r = Program("press the button\n");
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.output.find("! unknown command: press the button")) << r.output;
  r = Program("select Fsys 9\n");
  EXPECT_EQ(1, r.status);
}

TEST_F(Console, TheTemporaryFolderIsGoneWhenTheWindowCloses) {
  Run r = Program("close\n");
  EXPECT_EQ(0, r.status) << r.output;
  EXPECT_TRUE(os::ListFolder("C:\\Windows\\Temp").empty());
}

TEST_F(Console, MessageBoxesWaitForTheirAnswer) {
  std::istringstream script("click Status\nanswer ok\nexpect message Progress:40%\n");
  std::ostringstream output;
  os::sim::ConsoleOptions options{&script, -1, &output, false};
  app::Form1 form([&](os::MainWindowEvents& events) { return ui::console::CreateConsoleWindow(events, options); });
  ASSERT_TRUE(form.Load());
  // A step runs: the status line shows its text and the bar stands at 40.
  form.window().SetCaption(os::Control::kStatus, "Partitioning...");
  form.window().SetProgressValue(40);
  form.window().Show();
  EXPECT_EQ(0, ui::console::RunConsoleWindow()) << output.str();
  form.OnUnload();
  EXPECT_NE(std::string::npos, output.str().find("  +-- (i) Notice\n  | Progress:40%\n  +-- [OK]")) << output.str();
}

TEST_F(Console, AnAnswerWithoutAMessageBoxIsAMistake) {
  Run r = Program("answer ok\n");
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.output.find("! no message box is open")) << r.output;
}

// --- One instance per machine -----------------------------------------------------

class SingleInstance : public Console {
 protected:
  // Starts the first instance in the background with a script; returns its pid.
  pid_t StartFirst(const std::string& script) {
    std::string scriptFile = m.Folder() + "/first.txt";
    std::ofstream(scriptFile) << script;
    firstOutput = m.Folder() + "/first-out.txt";
    pid_t pid = fork();
    if (pid == 0) {
      std::string program = os::sim::ToolsFolder() + "/tarnvale";
      freopen(firstOutput.c_str(), "w", stdout);
      execl(program.c_str(), program.c_str(), "--machine", m.Folder().c_str(), "--script", scriptFile.c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    // It is up once it has drawn its window.
    for (int i = 0; i < 200 && Slurp(firstOutput).find("Console Test") == std::string::npos; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    return pid;
  }
  int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WEXITSTATUS(status);
  }
  std::string firstOutput;
};

TEST_F(SingleInstance, ASecondStartBringsTheFirstWindowBackAndEndsWithoutATrace) {
  pid_t first = StartFirst("minimize\nexpect state minimized\nwait 2500\nexpect state normal\n");
  auto start = std::chrono::steady_clock::now();
  Run second = Program("show\n");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(0, second.status);
  EXPECT_EQ("", second.output);  // no window
  // Only the first instance's temporary folder exists.
  EXPECT_EQ(1u, os::ListFolder("C:\\Windows\\Temp").size());
  EXPECT_EQ(0, Wait(first)) << Slurp(firstOutput);
  EXPECT_TRUE(os::ListFolder("C:\\Windows\\Temp").empty());
}

TEST_F(SingleInstance, WithSourceASecondWindowOpens) {
  pid_t first = StartFirst("wait 1500\n");
  Run second = Program("expect title Console Test\n", "/source:x");
  EXPECT_EQ(0, second.status) << second.output;
  EXPECT_NE(std::string::npos, second.output.find("Console Test"));
  EXPECT_EQ(0, Wait(first));
}

}  // namespace
