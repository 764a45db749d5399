// Finding a conflicting program among the running processes.
#include <gtest/gtest.h>

#include "sys/processes.h"
#include "tests/support/sim_machine.h"

namespace {

test::SimMachine WithProcesses() {
  return test::SimMachine([](os::sim::Machine& m) {
    m.processes = {{4, "System", false},          {100, "explorer.exe", true}, {200, "KuGou.exe", true},
                   {300, "partassist.exe", true}, {310, "PartAssistHelper.exe", true},
                   {400, "DiskGenius.exe", false}};
  });
}

TEST(FindProcess, SubstringWithoutRegardToCaseAndTheLastMatchWins) {
  auto m = WithProcesses();
  EXPECT_EQ(200u, sys::FindProcess("kugou"));
  EXPECT_EQ(310u, sys::FindProcess("PartAssist"));
  EXPECT_EQ(0u, sys::FindProcess("qemu"));
}

TEST(FindProcess, EmptyNameMatchesTheLastProcess) {
  auto m = WithProcesses();
  EXPECT_EQ(400u, sys::FindProcess(""));
}

TEST(ProcessAlive, AlsoProcessesThatOpenOnlyForTheLimitedQueryRight) {
  auto m = WithProcesses();
  EXPECT_EQ(1, sys::ProcessAlive(sys::FindProcess("kugou")));
  // A program running as a service or at a higher level still runs: asking
  // for more than the limited query right would miss it.
  EXPECT_EQ(1, sys::ProcessAlive(sys::FindProcess("diskgenius")));
  EXPECT_EQ(0, sys::ProcessAlive(0));
  EXPECT_EQ(0, sys::ProcessAlive(999));
}

}  // namespace
