// What the elevated program trusts on a hostile machine: a Windows folder
// with a blank in its path, a windir variable of the user's session pointing
// elsewhere, and programs named like the system's planted beside the
// program. A whole make must then come out as on a plain machine, with every
// system program started by its full path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "app/language.h"
#include "sys/system_programs.h"
#include "tests/support/make_machines.h"
#include "tests/support/tool_machines.h"

namespace {

using test::MakeMachine;

constexpr int kNewMake = 64, kDiskpart = 67;

struct Made {
  std::vector<std::string> messages;
  std::string disk;
  std::vector<std::string> started;  // the whole started.log
  std::string tmp;
  std::string success;  // the message of a made disk, while the language is loaded
};

Made MakeOn(bool hostile, const std::string& layout, int mode) {
  MakeMachine m([&](os::sim::Machine& mm) {
    test::UsbStickWithTwoVolumes(mm, 1);
    if (!hostile) return;
    mm.windir = "C:\\My Windows";
    mm.env["windir"] = "C:\\Planted";
  });
  if (hostile) {
    // Not programs at all: started in place of the system's, they fail.
    for (const char* name : {"cmd.exe", "diskpart.exe", "format.com", "bcdedit.exe"})
      m.sim().WriteFile(std::string("C:\\Tarnvale\\") + name, "planted");
  }
  m.Start();
  m.Choose(layout, mode);
  m.PressStart();
  Made made;
  made.messages = m.Messages();
  made.disk = m.Disk(1);
  made.started = m.sim().StartedLog();
  made.tmp = app::sTmpPath;
  made.success = app::LangString(8) + "|" + app::LangString(29);
  return made;
}

class HostileMachine : public ::testing::TestWithParam<std::pair<const char*, int>> {};

TEST_P(HostileMachine, MakesTheSameDiskAsAPlainOne) {
  auto [layout, mode] = GetParam();
  Made plain = MakeOn(false, layout, mode);
  Made hostile = MakeOn(true, layout, mode);
  ASSERT_EQ(2u, plain.messages.size());
  EXPECT_EQ(plain.success, plain.messages[1]);
  EXPECT_EQ(plain.messages[1], hostile.messages.at(1));
  EXPECT_EQ(plain.disk, hostile.disk);
  EXPECT_EQ(0u, hostile.tmp.rfind("C:\\My Windows\\Temp\\", 0)) << hostile.tmp;

  // Every system program by its full path, never by a word to search for.
  for (const std::string& line : hostile.started) {
    std::string command = line.substr(line.find('\t', line.find('\t') + 1) + 1);
    EXPECT_NE(std::string::npos, line.find("\tok\t")) << line;
    for (const char* bare : {"cmd.exe ", "diskpart.exe ", "format.com ", "bcdedit "})
      EXPECT_NE(0u, command.rfind(bare, 0)) << command;
    EXPECT_EQ(std::string::npos, command.find("Planted")) << command;
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, HostileMachine,
                         ::testing::Values(std::pair{"UD+DATA+UEFI", kNewMake}, std::pair{"UEFI+DATA", kDiskpart}));

TEST(CommandWords, QuoteOnlyWhatHasABlankAndKeepATrailingBackslash) {
  EXPECT_EQ("C:\\Windows\\Temp\\x", sys::CommandArg("C:\\Windows\\Temp\\x"));
  EXPECT_EQ("\"C:\\My Windows\\x.txt\"", sys::CommandArg("C:\\My Windows\\x.txt"));
  // The backslash before the closing quote is doubled: one backslash, no
  // escaped quote, reaches the program.
  EXPECT_EQ("\"C:\\My Windows\\Qemu\\\\\"", sys::CommandArg("C:\\My Windows\\Qemu\\"));
  EXPECT_EQ("\"\"", sys::CommandArg(""));
}

}  // namespace
