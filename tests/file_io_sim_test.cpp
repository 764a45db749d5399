// The scrambled copy on the simulated machine, where a test can change the
// source behind the copy's back as another program or computer could.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "os/sim/paths.h"
#include "os/sim/sim.h"
#include "sys/archiver_commands.h"
#include "sys/file_io.h"
#include "tests/support/sim_machine.h"

namespace {

TEST(FixFileOnTheMachine, ASourceThatShrinksMeanwhileIsAnError) {
  test::SimMachine m;
  const std::string source = "C:\\source.aes", target = "C:\\target.aes";
  m.WriteFile(source, std::string(3u << 20, 'x'));  // three chunks of I/O
  std::string host = *os::sim::ToHost(*os::sim::Current(), source);
  sys::FileIO io;
  std::vector<std::string> captions;
  io.FilePercentBox([&](const std::string& caption) {
    captions.push_back(caption);
    // While the first chunk is written, the source loses its last third.
    if (captions.size() == 2) {
      ASSERT_EQ(0, truncate(host.c_str(), 2u << 20));
    }
  });
  io.SourceFile(source);
  io.TargetFile(target);
  io.pswBox(sys::kPluginPassword);
  EXPECT_EQ(38, io.FixFile());  // ERROR_HANDLE_EOF, not a copy cut short that looks whole
  ASSERT_GE(captions.size(), 3u);
  EXPECT_EQ("", captions.back());
  EXPECT_FALSE(io.IsProccess());
}

}  // namespace
