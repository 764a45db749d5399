// Starting programs on the simulated machine: the search rules, the command
// interpreter, batch files, WOW64 redirection and the wait.
#include <gtest/gtest.h>
#include <signal.h>

#include "os/events.h"
#include "os/process.h"
#include "os/sim/sim.h"
#include "tests/support/sim_machine.h"

namespace {

uint32_t RunAndWait(const std::string& line, uint32_t* error = nullptr) {
  os::Process p = os::StartProcess(line, 0, error);
  if (!p.IsValid()) return 0xFFFFFFFF;
  while (os::WaitProcessOrEvents(p, os::kInfinite) != os::WaitResult::kProcessEnded) {
  }
  return os::ExitCode(p).value_or(0xFFFFFFFE);
}

TEST(SimProcess, StartsAStandinAndReportsItsExitCode) {
  test::SimMachine m;
  m.InstallProgram("C:\\Tools\\exit.exe", "test-exit");
  EXPECT_EQ(7u, RunAndWait("C:\\tools\\EXIT.exe 7"));
  EXPECT_EQ(std::vector<std::string>{"C:\\tools\\EXIT.exe 7"}, m.Started());
}

TEST(SimProcess, AMissingProgramFailsAsOnWindows) {
  test::SimMachine m;
  uint32_t error = 0;
  os::Process p = os::StartProcess("C:\\Tarnvale\\Data\\Bin\\x86.dll x a.7z", 0, &error);
  EXPECT_FALSE(p.IsValid());
  EXPECT_EQ(2u, error);  // ERROR_FILE_NOT_FOUND
  EXPECT_EQ("wow64-on\terror=2\tC:\\Tarnvale\\Data\\Bin\\x86.dll x a.7z", m.StartedLog().at(0));
}

TEST(SimProcess, AFileThatIsNoProgramCannotBeStarted) {
  test::SimMachine m;
  m.WriteFile("C:\\Tools\\notes.exe", "just text");
  uint32_t error = 0;
  EXPECT_FALSE(os::StartProcess("C:\\Tools\\notes.exe", 0, &error).IsValid());
  EXPECT_EQ(193u, error);  // ERROR_BAD_EXE_FORMAT
}

TEST(SimProcess, UnquotedPathsWithBlanksAreTriedPrefixByPrefix) {
  test::SimMachine m;
  m.InstallProgram("C:\\Program Files\\exit.exe", "test-exit");
  EXPECT_EQ(3u, RunAndWait("C:\\Program Files\\exit.exe 3"));
  EXPECT_EQ(4u, RunAndWait("\"C:\\Program Files\\exit\" 4"));
}

TEST(SimProcess, ProgramsWithoutAFolderAreSearched) {
  test::SimMachine m;
  m.InstallProgram("C:\\Tarnvale\\beside.exe", "test-exit");  // the program's folder
  m.InstallProgram("C:\\Windows\\System32\\sys.exe", "test-exit");
  EXPECT_EQ(5u, RunAndWait("beside 5"));
  {
    // System32 is visible to a 32-bit caller only with redirection off.
    os::Wow64RedirectionOff off(true);
    EXPECT_EQ(6u, RunAndWait("sys.exe 6"));
  }
  uint32_t error = 0;
  EXPECT_EQ(0xFFFFFFFFu, RunAndWait("sys.exe 6", &error));
  EXPECT_EQ(2u, error);
}

TEST(SimProcess, CommandInterpreterRunsTheRestOfTheLine) {
  test::SimMachine m;
  m.InstallProgram("C:\\Tools\\write.exe", "test-write");
  EXPECT_EQ(0u, RunAndWait("cmd.exe /c C:\\Tools\\write.exe C:\\out.txt hello"));
  EXPECT_EQ("hello", m.ReadFile("C:\\out.txt"));
  EXPECT_EQ(0u, RunAndWait("cmd.exe /c \"C:\\Tools\\..\\Tools\\write.exe\" C:\\out.txt nine"));
  EXPECT_EQ("nine", m.ReadFile("C:\\out.txt"));
}

TEST(SimProcess, BatchFilesRunLineByLineThroughNativeCommandInterpreter) {
  test::SimMachine m;
  m.InstallProgram("C:\\Windows\\System32\\write.exe", "test-write");
  m.WriteFile("C:\\Windows\\Temp\\job.bat",
              "rem a note\r\n@echo off\r\n\r\nwrite.exe C:\\a.txt first\r\nwrite C:\\b.txt second\r\n");
  {
    os::Wow64RedirectionOff off(true);
    EXPECT_EQ(0u, RunAndWait("C:\\Windows\\Temp\\job.bat"));
  }
  EXPECT_EQ("first", m.ReadFile("C:\\a.txt"));
  EXPECT_EQ("second", m.ReadFile("C:\\b.txt"));
  std::vector<std::string> log = m.StartedLog();
  ASSERT_EQ(3u, log.size());
  EXPECT_EQ("wow64-off\tok\tC:\\Windows\\Temp\\job.bat", log[0]);
  // The native command interpreter sees the native System32.
  EXPECT_EQ("native\tok\twrite.exe C:\\a.txt first", log[1]);
}

TEST(SimProcess, RedirectionIsOffOnlyWhileTheGuardLives) {
  test::SimMachine m;
  m.InstallProgram("C:\\Tools\\exit.exe", "test-exit");
  {
    os::Wow64RedirectionOff off(true);
    EXPECT_TRUE(off.IsOff());
    RunAndWait("C:\\Tools\\exit.exe");
  }
  RunAndWait("C:\\Tools\\exit.exe");
  std::vector<std::string> log = m.StartedLog();
  EXPECT_EQ(0u, log[0].rfind("wow64-off", 0));
  EXPECT_EQ(0u, log[1].rfind("wow64-on", 0));
}

TEST(SimProcess, ThirtyTwoBitSystemsHaveNoRedirectionToSwitchOff) {
  test::SimMachine m([](os::sim::Machine& mm) { mm.wow64 = false; });
  os::Wow64RedirectionOff off(true);
  EXPECT_FALSE(off.IsOff());
}

TEST(SimProcess, WaitReturnsWhenTheProcessEndsAndTimesOutBefore) {
  test::SimMachine m;
  m.InstallProgram("C:\\Tools\\sleep.exe", "test-sleep");
  os::Process p = os::StartProcess("C:\\Tools\\sleep.exe 300 2", 0);
  ASSERT_TRUE(p.IsValid());
  EXPECT_EQ(os::WaitResult::kTimedOut, os::WaitProcessOrEvents(p, 20));
  EXPECT_EQ(os::kStillActive, os::ExitCode(p));
  EXPECT_EQ(os::WaitResult::kProcessEnded, os::WaitProcessOrEvents(p, os::kInfinite));
  EXPECT_EQ(2u, os::ExitCode(p));
}

// Whether a program of this name is in the machine's process list, and its id.
uint32_t Listed(const std::string& name) {
  for (const os::ProcessEntry& e : os::ListProcesses())
    if (e.exeName == name) return e.id;
  return 0;
}

TEST(SimProcess, TheProcessListShowsWhatTheCommandInterpreterStarted) {
  test::SimMachine m;
  m.InstallProgram("C:\\PACMD\\PartAssist.exe", "test-sleep");
  os::Process cmd = os::StartProcess("cmd.exe /c C:\\PACMD\\PartAssist.exe 600000", 0);
  ASSERT_TRUE(cmd.IsValid());
  // The command interpreter starts the program in turn; it shows up as soon
  // as it runs, as it would in a snapshot of Windows' processes.
  uint32_t id = 0;
  while (!(id = Listed("PartAssist.exe")) && os::WaitProcessOrEvents(cmd, 20) != os::WaitResult::kProcessEnded) {
  }
  ASSERT_NE(0u, id) << "the program that cmd started is not listed";
  EXPECT_NE(0u, Listed("cmd.exe"));
  // Once it has ended it is gone from the list, and so is the command interpreter.
  kill(static_cast<pid_t>(id), SIGKILL);
  EXPECT_EQ(os::WaitResult::kProcessEnded, os::WaitProcessOrEvents(cmd, os::kInfinite));
  EXPECT_EQ(0u, Listed("PartAssist.exe"));
  EXPECT_EQ(0u, Listed("cmd.exe"));
}

TEST(SimProcess, AnEndedProcessHasTheExitCodeItWasGiven) {
  test::SimMachine m;
  m.InstallProgram("C:\\Tools\\sleep.exe", "test-sleep");
  os::Process p = os::StartProcess("C:\\Tools\\sleep.exe 600000", 0);
  ASSERT_TRUE(p.IsValid());
  EXPECT_NE(0u, Listed("sleep.exe"));
  EXPECT_TRUE(os::TerminateProcess(p, 42));
  os::WaitResult r;
  while ((r = os::WaitProcessOrEvents(p, os::kInfinite)) == os::WaitResult::kEventsPending) os::PumpEvents();
  EXPECT_EQ(os::WaitResult::kProcessEnded, r);
  EXPECT_EQ(42u, os::ExitCode(p));
  EXPECT_EQ(0u, Listed("sleep.exe"));
  EXPECT_FALSE(os::TerminateProcess(p, 1)) << "it has ended already";
  EXPECT_FALSE(os::TerminateProcess(os::Process(), 1));
}

}  // namespace
