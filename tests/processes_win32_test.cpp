// Finding a running program on real Windows: the test program itself is one.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "os/events.h"
#include "os/process.h"
#include "os/system.h"
#include "sys/processes.h"

namespace {

TEST(FindProcessOnWindows, FindsThisProgramByAPartOfItsNameInAnyCase) {
  uint32_t id = sys::FindProcess("TV_TESTS");
  EXPECT_EQ(GetCurrentProcessId(), id);
  EXPECT_EQ(1, sys::ProcessAlive(id));
}

TEST(FindProcessOnWindows, NoMatchGivesZeroAndZeroIsNotAlive) {
  EXPECT_EQ(0u, sys::FindProcess("no-such-program-here"));
  EXPECT_EQ(0, sys::ProcessAlive(0));
}

TEST(TerminateProcessOnWindows, TheProcessEndsWithTheExitCodeItWasGiven) {
  std::string self = os::ModulePath();
  std::string child = "\"" + self.substr(0, self.rfind('\\')) + "\\tv_child.exe\" 0 600000";
  os::Process p = os::StartProcess(child, 0);
  ASSERT_TRUE(p.IsValid()) << "tv_child.exe belongs beside the tests";
  EXPECT_TRUE(os::TerminateProcess(p, 42));
  os::WaitResult r;
  while ((r = os::WaitProcessOrEvents(p, os::kInfinite)) == os::WaitResult::kEventsPending) os::PumpEvents();
  EXPECT_EQ(os::WaitResult::kProcessEnded, r);
  EXPECT_EQ(42u, os::ExitCode(p));
  // (Ending it again fails on Windows; Wine says it succeeded.)
  EXPECT_FALSE(os::TerminateProcess(os::Process(), 1));
}

}  // namespace
