// The emulator boot test (F5, and the menu's BIOS and UEFI commands) on a
// simulated machine with the sample package: the plug-in is prepared once
// per run, the emulator gets its exact command lines, the disk is not
// changed, and a plug-in that cannot be unpacked is reported.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/globals.h"
#include "app/language.h"
#include "extra/startup_test.h"
#include "os/sim/event_loop.h"
#include "os/sim/machine.h"
#include "os/sim/sim.h"
#include "sys/text.h"
#include "tests/support/ops_machine.h"
#include "tests/support/real_boot.h"
#include "tests/support/tool_machines.h"

namespace {

namespace fs = std::filesystem;
using app::LangString;
using os::Control;

class BootTest : public test::OpsTest {
 protected:
  void SetUp() override {
    test::OpsTest::SetUp();
    m.Update([](os::sim::Machine& mm) { test::AddMadeDisk(mm, 1, 'E'); });
    test::WriteMadeDiskFiles(m, 1);
    Start();
  }

  std::string Unpack() const {
    return "\"C:\\Tarnvale\\Data\\Bin\\x86.dll\" x -p52416035 " + app::sTmpPath + "\\qemu.aes -y -o\"" +
           app::sTmpPath + "\"";
  }
  // The command lines given to the command interpreter.
  std::vector<std::string> Emulators(size_t mark) const {
    std::vector<std::string> out;
    for (const std::string& line : StartedSince(mark))
      if (line.rfind("C:\\Windows\\System32\\cmd.exe /c ", 0) == 0) out.push_back(line);
    return out;
  }
  std::vector<std::string> EmulatorLog() const {
    std::ifstream in(m.Folder() + "/qemu.log");
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
  }
  // The disk as the machine holds it, and every file on it.
  std::string DiskState() const {
    std::string state = test::Describe(*m.Get().FindDisk(1));
    for (const char* part : {"ud", "part1", "part2"}) {
      std::string folder = m.Folder() + "/disks/1/" + part;
      for (const auto& e : fs::recursive_directory_iterator(folder)) {
        std::ifstream in(e.path(), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        state += "\n" + e.path().string() + "=" + bytes.str();
      }
    }
    return state;
  }
  void Damage(const std::string& bytes) { m.WriteFile("C:\\Tarnvale\\Data\\Plugins\\qemu.aes", bytes); }
};

TEST_F(BootTest, BiosAndUefiGetTheirExactCommandLines) {
  test::ScopedEnv recordOnly("TARNVALE_QEMU", "none");  // the command lines are what counts here
  const std::string t = app::sTmpPath;
  size_t mark = m.Started().size();
  Key(os::kVkF5);
  form->StartupTest(2021);
  EXPECT_TRUE(Messages().empty()) << LastMessage();
  std::vector<std::string> started = StartedSince(mark);
  ASSERT_FALSE(started.empty());
  EXPECT_EQ(Unpack(), started[0]);
  EXPECT_EQ((std::vector<std::string>{
                "C:\\Windows\\System32\\cmd.exe /c " + t + "\\Qemu\\qemu.exe -L " + t + "\\Qemu\\ -m 800 -localtime -vga std -snapshot -hda "
                    "\\\\.\\PhysicalDrive1 -boot c -hdb " + t + "\\Qemu\\hd.vmdk",
                "C:\\Windows\\System32\\cmd.exe /c " + t + "\\Qemu\\qemu.exe -L " + t + "\\Qemu\\ -m 800 -localtime -bios efi64.bin -snapshot "
                    "-hda \\\\.\\PhysicalDrive1 -boot c -hdb " + t + "\\\\Qemu\\hd.vmdk"}),
            Emulators(mark));
  // The emulator found everything it was given, and booted the made disk in
  // both modes: from the UD area in BIOS mode, from the EFI partition in UEFI.
  std::vector<std::string> log = EmulatorLog();
  ASSERT_EQ(2u, log.size());
  EXPECT_TRUE(sys::Contains(log[0], "mode=bios\tdisk=1\tresult=booted\tfrom=UD area")) << log[0];
  EXPECT_TRUE(sys::Contains(log[1], "mode=uefi\tdisk=1\tresult=booted\tfrom=partition 2")) << log[1];
  ExpectIdle();
}

TEST_F(BootTest, ASecondTestNeitherCopiesNorUnpacks) {
  Key(os::kVkF5);
  ASSERT_EQ(1u, EmulatorLog().size());
  ASSERT_TRUE(fs::remove(m.Host(app::sTmpPath + "\\qemu.aes")));
  size_t mark = m.Started().size();
  Key(os::kVkF5);
  EXPECT_FALSE(m.Exists(app::sTmpPath + "\\qemu.aes")) << "copied again";
  std::vector<std::string> started = StartedSince(mark);
  ASSERT_FALSE(started.empty());
  EXPECT_EQ(0u, started[0].rfind("C:\\Windows\\System32\\cmd.exe /c ", 0)) << started[0];
  EXPECT_EQ(2u, EmulatorLog().size());
}

TEST_F(BootTest, TheDiskIsTheSameAfterwards) {
  test::ScopedEnv limit("TARNVALE_BOOT_SECONDS", "60");  // the real boot, where it runs, ends well within the test's time
  std::string files = DiskState();
  std::string description = os::sim::FormatMachine(m.Get());
  Key(os::kVkF5);
  form->StartupTest(2021);
  ASSERT_EQ(2u, EmulatorLog().size());
  EXPECT_EQ(files, DiskState());
  EXPECT_EQ(description, os::sim::FormatMachine(m.Get()));
}

// Input that arrives at the first wait for an outside program, as a click
// or a key press that the window handles while it waits.
class FirstWaitInput : public os::sim::EventSource {
 public:
  explicit FirstWaitInput(std::function<void()> input) : input_(std::move(input)) {
    os::sim::EventLoop::Get().AddSource(this);
  }
  ~FirstWaitInput() override { os::sim::EventLoop::Get().RemoveSource(this); }
  bool Pending() override { return !done_; }
  void Dispatch() override {
    done_ = true;
    input_();
  }
  bool done() const { return done_; }

 private:
  std::function<void()> input_;
  bool done_ = false;
};

TEST_F(BootTest, WhileItRunsTheWindowIsLockedAndStartsNothingElse) {
  size_t mark = m.Started().size();
  FirstWaitInput input([&] {
    EXPECT_FALSE(window->IsEnabled(Control::kCommand1));
    EXPECT_FALSE(window->IsEnabled(Control::kRDriver));
    EXPECT_TRUE(window->ProgressMarquee());
    size_t starts = m.Started().size();
    Key(os::kVkF2);
    Key(os::kVkF5);
    Key('I', true);
    form->OnClick(Control::kStatus);
    EXPECT_EQ(starts, m.Started().size());
    ASSERT_EQ(1u, Messages().size());
    EXPECT_EQ(LangString(30) + "0%", Messages()[0].text);
  });
  Key(os::kVkF5);
  EXPECT_TRUE(input.done());
  EXPECT_EQ(1u, EmulatorLog().size());
  EXPECT_EQ(1u, Emulators(mark).size());
  ExpectIdle();
}

TEST_F(BootTest, NoTargetStartsNothing) {
  m.Update([](os::sim::Machine& mm) { mm.disks.clear(); });
  form->OnClick(Control::kUReFresh);
  ASSERT_EQ(0, window->ListCount(Control::kRDriver));
  size_t mark = m.Started().size();
  Key(os::kVkF5);
  ASSERT_EQ(1u, Messages().size());
  EXPECT_EQ(LangString(36), Messages()[0].text);
  EXPECT_EQ(LangString(8), Messages()[0].title);
  EXPECT_TRUE(StartedSince(mark).empty());
  EXPECT_FALSE(m.Exists(app::sTmpPath + "\\Qemu"));
  ExpectIdle();
}

TEST_F(BootTest, ADamagedPlugInIsReportedAndTheWindowUnlocked) {
  std::string good = m.ReadFile("C:\\Tarnvale\\Data\\Plugins\\qemu.aes");
  for (const std::string& bad : {std::string("not an archive at all"), good.substr(0, good.size() / 2)}) {
    Damage(bad);
    size_t mark = m.Started().size();
    size_t shown = Messages().size();
    Key(os::kVkF5);
    ASSERT_EQ(shown + 1, Messages().size());
    EXPECT_EQ(LangString(71), Messages().back().text);
    EXPECT_EQ(LangString(10), Messages().back().title);
    EXPECT_EQ(os::kMbIconStop, Messages().back().style);
    // The archiver ran; no emulator was started.
    EXPECT_EQ(std::vector<std::string>{Unpack()}, StartedSince(mark));
    EXPECT_TRUE(EmulatorLog().empty());
    ExpectIdle();
  }
  // Once the plug-in is whole again, the next test prepares it afresh.
  Damage(good);
  Key(os::kVkF5);
  EXPECT_EQ(1u, EmulatorLog().size());
}

TEST_F(BootTest, AMissingPlugInOrAWrongPasswordIsReported) {
  std::string good = m.ReadFile("C:\\Tarnvale\\Data\\Plugins\\qemu.aes");
  ASSERT_TRUE(fs::remove(m.Host("C:\\Tarnvale\\Data\\Plugins\\qemu.aes")));
  Key(os::kVkF5);
  EXPECT_EQ(LangString(71), LastMessage());
  ExpectIdle();
  // Scrambled with another password, the archive comes out as noise.
  std::string wrong = good;
  for (size_t i = 0; i < wrong.size(); ++i) wrong[i] = static_cast<char>(wrong[i] ^ "12345678"[i % 8]);
  Damage(wrong);
  Key(os::kVkF5);
  EXPECT_EQ(LangString(71), LastMessage());
  EXPECT_TRUE(EmulatorLog().empty());
}

TEST_F(BootTest, AnUnpackingThatStopsHalfWayIsReported) {
  m.Update([](os::sim::Machine& mm) { mm.faults["7zz"] = "partial@x"; });
  form->StartupTest(2021);
  EXPECT_EQ(LangString(71), LastMessage());
  EXPECT_FALSE(m.Exists(app::sTmpPath + "\\Qemu")) << "what it left is removed";
  ExpectIdle();
}

TEST(EmulatorCommand, OtherModesStartNoEmulator) {
  app::sTmpPath = "C:\\Windows\\Temp\\ABCDEFGH";
  EXPECT_TRUE(extra::EmulatorCommand(0, 3));
  EXPECT_TRUE(sys::Contains(*extra::EmulatorCommand(0, 3), "-vga std -snapshot -hda \\\\.\\PhysicalDrive3 "));
  for (int mode : {1, 2019, 2022, -1}) EXPECT_FALSE(extra::EmulatorCommand(mode, 3)) << mode;
}

}  // namespace
