// Starting outside programs on the simulated machine: the wait with timers
// firing, WOW64 redirection around the start, failures, the pause that keeps
// events flowing, the diskpart runner and the quoted short path.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/globals.h"
#include "os/events.h"
#include "os/sim/event_loop.h"
#include "os/sim/state.h"
#include "sys/pause_with_events.h"
#include "sys/processes.h"
#include "sys/run_diskpart.h"
#include "sys/shell_wait.h"
#include "sys/short_path.h"
#include "sys/sys_ver.h"
#include "tests/support/sim_machine.h"

namespace {

// A timer of the event loop for one test; it records the simulated time of
// each tick and is killed when the test ends.
class TickRecorder {
 public:
  TickRecorder(int id, uint32_t intervalMs) : id_(id) {
    os::sim::EventLoop::Get().SetTimer(id_, intervalMs, [this] { ticks_.push_back(os::TickCount()); });
  }
  ~TickRecorder() { os::sim::EventLoop::Get().KillTimer(id_); }
  const std::vector<uint64_t>& Ticks() const { return ticks_; }

 private:
  int id_;
  std::vector<uint64_t> ticks_;
};

std::string OutputLog(const test::SimMachine& m) {
  std::string text;
  FILE* f = fopen((m.Folder() + "/output.log").c_str(), "rb");
  if (!f) return text;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  fclose(f);
  return text;
}

TEST(ShellWait, WaitsForTheWholeJobWhileTimersKeepFiring) {
  test::SimMachine m;
  m.InstallProgram("C:\\Tools\\sleep.exe", "test-sleep");
  m.InstallProgram("C:\\Tools\\write.exe", "test-write");
  // The batch file ends only after the sleep; its last line leaves a mark.
  m.WriteFile("C:\\Tools\\job.bat", "C:\\Tools\\sleep.exe 300\r\nC:\\Tools\\write.exe C:\\done.txt yes\r\n");
  TickRecorder timer(901, 20);
  uint64_t start = os::TickCount();
  EXPECT_TRUE(sys::ShellWait("C:\\Tools\\job.bat", 0));
  EXPECT_EQ("yes", m.ReadFile("C:\\done.txt"));
  EXPECT_GE(os::TickCount() - start, 300u);
  // The wait handed the window's events out: the timer ticked throughout.
  EXPECT_GE(timer.Ticks().size(), 3u);
  for (uint64_t t : timer.Ticks()) EXPECT_GE(t, start);
}

TEST(ShellWait, RedirectionIsOffForTheStartAloneFromVistaOn) {
  test::SimMachine m;
  m.InstallProgram("C:\\Windows\\System32\\native.exe", "test-exit");
  EXPECT_EQ(10, sys::GetSysVer());
  // Only a start with redirection off finds a program in the native System32.
  EXPECT_TRUE(sys::ShellWait("C:\\Windows\\System32\\native.exe 1", 0));
  EXPECT_FALSE(os::sim::State().redirectionOff);
  EXPECT_TRUE(sys::ShellNoWait("native.exe 2", 0));
  EXPECT_FALSE(os::sim::State().redirectionOff);
  std::vector<std::string> log = m.StartedLog();
  ASSERT_EQ(2u, log.size());
  EXPECT_EQ("wow64-off\tok\tC:\\Windows\\System32\\native.exe 1", log[0]);
  EXPECT_EQ("wow64-off\tok\tnative.exe 2", log[1]);
}

TEST(ShellWait, RedirectionIsOffOnVistaAndSevenToo) {
  for (uint32_t minor : {0u, 1u}) {
    test::SimMachine m([&](os::sim::Machine& mm) {
      mm.windowsMajor = 6;
      mm.windowsMinor = minor;
    });
    m.InstallProgram("C:\\Windows\\System32\\native.exe", "test-exit");
    EXPECT_EQ(6, sys::GetSysVer());
    EXPECT_TRUE(sys::ShellWait("C:\\Windows\\System32\\native.exe", 0));
    EXPECT_TRUE(sys::ShellNoWait("native.exe 2", 0));
    std::vector<std::string> log = m.StartedLog();
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ("wow64-off\tok\tC:\\Windows\\System32\\native.exe", log[0]) << "6." << minor;
    EXPECT_EQ("wow64-off\tok\tnative.exe 2", log[1]) << "6." << minor;
  }
}

TEST(ShellWait, RedirectionIsOffForARedirectedProcessWhateverTheVersionSays) {
  // XP compatibility mode: a 64-bit Windows reports version 5, and the
  // 32-bit command interpreter of SysWOW64 must still not be the one run.
  test::SimMachine m([](os::sim::Machine& mm) {
    mm.windowsMajor = 5;
    mm.windowsMinor = 1;
  });
  m.InstallProgram("C:\\Tools\\exit.exe", "test-exit");
  EXPECT_EQ(5, sys::GetSysVer());
  EXPECT_TRUE(sys::ShellWait("C:\\Tools\\exit.exe", 0));
  EXPECT_EQ(0u, m.StartedLog().at(0).rfind("wow64-off\t", 0));
}

TEST(ShellWait, AProgramThatCannotStartIsReportedAndNotWaitedFor) {
  test::SimMachine m;
  uint32_t error = 0;
  EXPECT_FALSE(sys::ShellWait("C:\\Tarnvale\\Data\\Bin\\x86.dll x a.7z", 0, &error));
  EXPECT_EQ(2u, error);
  error = 0;
  EXPECT_FALSE(sys::ShellNoWait("C:\\Windows\\Temp\\AbCdEfGh\\PACMD\\bootsect.exe /nt60 E: /mbr", 0, &error));
  EXPECT_NE(0u, error);
  m.WriteFile("C:\\Tools\\text.exe", "not a program");
  EXPECT_FALSE(sys::ShellWait("C:\\Tools\\text.exe", 0, &error));
  EXPECT_EQ(193u, error);  // ERROR_BAD_EXE_FORMAT
}

TEST(ShellWait, AMissingPluginFolderEndsTheCommandInterpreterAsOnWindows) {
  test::SimMachine m;
  // The command interpreter starts, finds no partition tool, says so and ends.
  EXPECT_TRUE(sys::ShellWait("cmd.exe /c C:\\Windows\\Temp\\AbCdEfGh\\PACMD\\PartAssist.exe /list:1 /out:x", 0));
  EXPECT_NE(std::string::npos, OutputLog(m).find("is not recognized"));
}

TEST(ShellWait, NoWaitReturnsWhileTheProgramRunsAndItLeavesTheListWhenDone) {
  test::SimMachine m;
  m.InstallProgram("C:\\Tools\\slowpoke.exe", "test-sleep");
  uint64_t start = os::TickCount();
  EXPECT_TRUE(sys::ShellNoWait("C:\\Tools\\slowpoke.exe 300", 0));
  EXPECT_LT(os::TickCount() - start, 250u);
  EXPECT_NE(0u, sys::FindProcess("slowpoke"));
  sys::PauseWithEvents(800);  // long enough for it to end
  EXPECT_EQ(0u, sys::FindProcess("slowpoke"));
}

TEST(PauseWithEvents, RunsTimersInOrderUntilTheTimeIsUp) {
  // Ten simulated milliseconds per real one: the five-second pause of the
  // make procedure takes half a second here, in the same order.
  test::SimMachine m([](os::sim::Machine& mm) { mm.timeScale = 10; });
  std::vector<std::string> events;
  os::sim::EventLoop::Get().SetTimer(902, 1000, [&] { events.push_back("tick"); });
  os::sim::EventLoop::Get().SetTimer(903, 2500, [&] {
    events.push_back("once");
    os::sim::EventLoop::Get().KillTimer(903);
  });
  os::sim::EventLoop::Get().SetTimer(904, 7000, [&] { events.push_back("late"); });
  uint64_t start = os::TickCount();
  sys::PauseWithEvents(5000);
  uint64_t elapsed = os::TickCount() - start;
  os::sim::EventLoop::Get().KillTimer(902);
  os::sim::EventLoop::Get().KillTimer(904);
  EXPECT_GE(elapsed, 5000u);
  EXPECT_LT(elapsed, 7000u);
  // Ticks at 1000, 2000, (2500), 3000, 4000 and perhaps 5000.
  ASSERT_GE(events.size(), 5u);
  std::vector<std::string> first(events.begin(), events.begin() + 5);
  EXPECT_EQ((std::vector<std::string>{"tick", "tick", "once", "tick", "tick"}), first);
  for (size_t i = 5; i < events.size(); ++i) EXPECT_EQ("tick", events[i]);
}

TEST(PauseWithEvents, ATimerFiresAgainInsideItsOwnWaitAsOnWindows) {
  // WM_TIMER keeps coming while a timer's handler waits and handles events:
  // the handler itself has to keep from nesting.
  test::SimMachine m([](os::sim::Machine& mm) { mm.timeScale = 10; });
  int depth = 0, deepest = 0, ticks = 0;
  os::sim::EventLoop::Get().SetTimer(905, 1000, [&] {
    ++ticks;
    deepest = std::max(deepest, ++depth);
    if (depth == 1) sys::PauseWithEvents(3500);
    --depth;
  });
  sys::PauseWithEvents(1500);
  os::sim::EventLoop::Get().KillTimer(905);
  EXPECT_EQ(2, deepest);
  EXPECT_GE(ticks, 2);  // the outer one, and at least one inside its wait
}

class RunDiskPartTest : public ::testing::Test {
 protected:
  void UseTemp(test::SimMachine& m) {
    app::sTmpPath = "C:\\Windows\\Temp\\AbCdEfGh";
    m.MakeFolder(app::sTmpPath);
    // The diskpart of this machine only ends; the script is what is looked at.
    m.InstallProgram("C:\\Windows\\System32\\diskpart.exe", "test-exit");
  }
  void TearDown() override { app::sTmpPath.clear(); }
};

TEST_F(RunDiskPartTest, WritesTheScriptWithOneLineBreakAndRunsTheNativeDiskpart) {
  test::SimMachine m;
  UseTemp(m);
  m.WriteFile(app::sTmpPath + "\\diskpart.txt", std::string(1000, 'x'));  // an older, longer script
  EXPECT_TRUE(sys::RunDiskPart("select disk 12\r\nselect part 1\r\nset id=1c override", "diskpart"));
  EXPECT_EQ("select disk 12\r\nselect part 1\r\nset id=1c override\r\n", m.ReadFile(app::sTmpPath + "\\diskpart.txt"));
  std::vector<std::string> log = m.StartedLog();
  ASSERT_EQ(1u, log.size());
  EXPECT_EQ("wow64-off\tok\tC:\\Windows\\System32\\diskpart.exe /S \"C:\\Windows\\Temp\\AbCdEfGh\\diskpart.txt\"", log[0]);
}

TEST_F(RunDiskPartTest, WritesInTheAnsiCodePage) {
  {
    test::SimMachine m;  // code page 1252
    UseTemp(m);
    EXPECT_TRUE(sys::RunDiskPart("format quick fs=exfat label=\"Café\"", "diskpart"));
    EXPECT_EQ("format quick fs=exfat label=\"Caf\xE9\"\r\n", m.ReadFile(app::sTmpPath + "\\diskpart.txt"));
  }
  {
    test::SimMachine m([](os::sim::Machine& mm) {
      mm.codePage = 936;
      mm.locale = 2052;
    });
    UseTemp(m);
    EXPECT_TRUE(sys::RunDiskPart("label=\"启动盘\"", "script"));
    EXPECT_EQ("label=\"\xC6\xF4\xB6\xAF\xC5\xCC\"\r\n", m.ReadFile(app::sTmpPath + "\\script.txt"));
  }
}

TEST_F(RunDiskPartTest, AScriptThatCannotBeWrittenStartsNothing) {
  test::SimMachine m;
  app::sTmpPath = "C:\\Windows\\Temp\\Missing";
  uint32_t error = 0;
  EXPECT_FALSE(sys::RunDiskPart("clean", "diskpart", &error));
  EXPECT_EQ(3u, error);  // ERROR_PATH_NOT_FOUND
  EXPECT_TRUE(m.Started().empty());
}

TEST(GetShortPath, QuotesTheShortFormOrTheLongOneWhereThereIsNone) {
  test::SimMachine m([](os::sim::Machine& mm) {
    os::sim::Drive f;
    f.letter = 'F';
    f.folder = "drives/F";
    f.fileSystem = "exFAT";
    mm.drives.push_back(f);
  });
  m.WriteFile("C:\\Program Files\\Tarn Vale\\Data\\Bin\\x86.dll", "");
  m.WriteFile("F:\\PE Files\\Big Image.iso", "");
  EXPECT_EQ("\"C:\\PROGRA~1\\TARNVA~1\\Data\\Bin\\x86.dll\"",
            sys::GetShortPath("C:\\Program Files\\Tarn Vale\\Data\\Bin\\x86.dll"));
  EXPECT_EQ("\"C:\\Windows\"", sys::GetShortPath("C:\\Windows"));
  // exFAT keeps no short names: the long form, in quotes all the same.
  EXPECT_EQ("\"F:\\PE Files\\Big Image.iso\"", sys::GetShortPath("F:\\PE Files\\Big Image.iso"));
  // A missing path comes back as given, so the start names what is missing.
  EXPECT_EQ("\"C:\\No Such\\x86.dll\"", sys::GetShortPath("C:\\No Such\\x86.dll"));
}

}  // namespace
