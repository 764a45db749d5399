// Starting and waiting against real Win32 (under Wine): the wait ends on the
// process handle's signal, window messages are handled meanwhile, a pause
// keeps the timers running, and a program that cannot start is reported.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "os/events.h"
#include "os/system.h"
#include "sys/pause_with_events.h"
#include "sys/shell_wait.h"
#include "sys/sys_ver.h"

namespace {

int g_ticks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; }

// A thread timer whose ticks arrive as WM_TIMER messages, handled only by
// whoever pumps this thread's messages.
class ThreadTimer {
 public:
  explicit ThreadTimer(UINT ms) {
    g_ticks = 0;
    id_ = SetTimer(nullptr, 0, ms, CountTick);
  }
  ~ThreadTimer() { KillTimer(nullptr, id_); }

 private:
  UINT_PTR id_ = 0;
};

std::string Child() {
  std::string self = os::ModulePath();
  return "\"" + self.substr(0, self.rfind('\\')) + "\\tv_child.exe\"";
}

TEST(ShellWaitWin32, AChildExitingWith259DoesNotHangTheWait) {
  uint64_t start = os::TickCount();
  EXPECT_TRUE(sys::ShellWait(Child() + " 259", 0)) << "tv_child.exe belongs beside the tests";
  EXPECT_TRUE(sys::ShellWait(Child() + " 259 200", 0));
  EXPECT_GE(os::TickCount() - start, 190u);
}

TEST(ShellWaitWin32, TimersFireWhileTheChildRuns) {
  ThreadTimer timer(20);
  EXPECT_TRUE(sys::ShellWait(Child() + " 0 400", 0));
  EXPECT_GE(g_ticks, 3);
}

TEST(ShellWaitWin32, NoWaitReturnsWhileTheChildRuns) {
  uint64_t start = os::TickCount();
  EXPECT_TRUE(sys::ShellNoWait(Child() + " 0 3000", 0));
  EXPECT_LT(os::TickCount() - start, 2000u);
}

TEST(ErrorBoxes, AreOffForThisProcessAndThoseItStarts) {
  UINT before = SetErrorMode(0);  // from no flags at all (Wine starts with some)
  os::SuppressErrorBoxes();
  UINT mode = SetErrorMode(before);
  EXPECT_EQ(static_cast<UINT>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX),
            mode & (SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));
}

TEST(ShellWaitWin32, AMissingProgramIsReported) {
  uint32_t error = 0;
  EXPECT_FALSE(sys::ShellWait("C:\\no\\such\\folder\\tool.exe /x", 0, &error));
  EXPECT_TRUE(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) << error;
}

TEST(ShellWaitWin32, TheSystemVersionIsTheTrueOne) {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(GetVersionExW(&info));
  EXPECT_EQ(static_cast<int16_t>(info.dwMajorVersion), sys::GetSysVer());
  EXPECT_GE(sys::GetSysVer(), 5);
}

TEST(PauseWithEventsWin32, LastsAsLongAsAskedAndRunsTheTimers) {
  ThreadTimer timer(20);
  uint64_t start = os::TickCount();
  sys::PauseWithEvents(300);
  EXPECT_GE(os::TickCount() - start, 300u);
  EXPECT_GE(g_ticks, 3);
}

}  // namespace
