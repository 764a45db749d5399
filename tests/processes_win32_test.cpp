// Finding a running program on real Windows: the test program itself is one.
#include <windows.h>

#include <gtest/gtest.h>

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

}  // namespace
