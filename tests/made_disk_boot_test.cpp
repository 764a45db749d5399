// The made disk starts for real. The host program makes the sample stick in
// each layout that starts in UEFI mode (driven by a console script, as a
// person works the window), and a second start of the program runs the
// boot test from the system menu's EFI X64 entry: the real emulator with
// UEFI firmware must show the sample PE's first words on its console within
// the emulator's time limit of 60 s, and the simulated disk must be the same
// byte for byte afterwards. A make whose EFI write stopped half-way, or that
// got no EFI partition, leaves a disk that does not start, and the firmware
// says so. Without the emulator, its firmware or a file system's tools the
// tests are skipped with the reason.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>

#include "app/language.h"
#include "os/sim/sim.h"
#include "os/window_procedure.h"
#include "sys/text.h"
#include "tests/support/make_machines.h"
#include "tests/support/real_boot.h"
#include "tests/support/tool_machines.h"
#include "tools/tvtool/sample_machine.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kBootSeconds = "60";

// String(n) of the English language source, as the program shows it.
std::string English(int n) {
  std::ifstream in(std::string(TV_LANG_SOURCES) + "/1033.lng");
  std::string line, key = "String(" + std::to_string(n) + ")=";
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return sys::TrimSpaces(line.substr(key.size()));
  return "<missing>";
}

// How the stand-in emulator's last run ended, from its last line on the
// machine's output log.
std::string EmulatorEnd(const std::string& machineFolder) {
  std::string end = "(the emulator said nothing)";
  for (const std::string& line : sys::Split(test::ReadHostText(machineFolder + "/output.log"), "\n"))
    if (line.rfind("qemu: ", 0) == 0) end = sys::TrimSpaces(line);
  return end;
}

// --- The sample stick, made and booted by the host program ----------------------------

struct Row {
  const char* layout;      // the start of the layout list's entry of the new make
  const char* fileSystem;  // the data partition's
  uint32_t udMB;           // the UD area the make leaves
};

void PrintTo(const Row& r, std::ostream* out) { *out << r.layout << " with " << r.fileSystem; }

class MadeSampleStick : public ::testing::TestWithParam<Row> {
 protected:
  void SetUp() override {
    std::string missing = test::RealBootMissing({"FAT32", "FAT", GetParam().fileSystem});
    if (!missing.empty()) GTEST_SKIP() << missing;
    // The machine scripts/run-sim.sh makes: the sample program folder as
    // C:\Tarnvale and one empty 16 GB stick; its clock runs fast, so the
    // make's pauses take no real time.
    std::error_code ec;
    fs::copy(std::string(TV_SAMPLE_DIR) + "/program", m.Host("C:\\Tarnvale"),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
    ASSERT_FALSE(ec) << "cannot copy the sample program folder (build sample_package): " << ec.message();
    fs::create_directories(m.Folder() + "/disks/1/part1", ec);
  }

  struct Run {
    int status = -1;
    std::string output;
  };
  // The host program on the machine with a console script, as a person
  // (or the acceptance tests) start it.
  Run Program(const std::string& name, const std::string& script) {
    std::string scriptFile = m.Folder() + "/" + name + ".txt", out = m.Folder() + "/" + name + ".out";
    std::ofstream(scriptFile) << script;
    std::string command = os::sim::ToolsFolder() + "/tarnvale --machine " + m.Folder() + " --script " + scriptFile +
                          " > " + out + " 2>&1";
    Run r;
    int rc = system(command.c_str());
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    r.output = test::ReadHostText(out);
    return r;
  }

  test::SimMachine m{[](os::sim::Machine& mm) {
    mm = tvtool::SampleMachine();
    mm.timeScale = 1000;
  }};
  test::ScopedEnv limit_{"TARNVALE_BOOT_SECONDS", kBootSeconds};
};

TEST_P(MadeSampleStick, StartsThePeFromTheSystemMenusUefiTestAndIsNotWritten) {
  const Row row = GetParam();
  Run make = Program("make",
                     "# The stick, the layout's new make and the file system; start, and\n"
                     "# go on past the warning that the disk will be erased.\n"
                     "wait 1500\n"
                     "select RDriver 0\n"
                     "select Fsys \"" + std::string(row.layout) + "\"\n"
                     "select FSFor " + row.fileSystem + "\n"
                     "expect text FSFor " + row.fileSystem + "\n"
                     "click Command1\n"
                     "answer ok\n"
                     "answer ok\n"
                     "expect message \"" + English(29) + "\"\n"
                     "expect partitions 1 2\n"
                     "disk 1\n");
  ASSERT_EQ(0, make.status) << make.output;
  const os::sim::Disk stick = *m.Get().FindDisk(1);
  EXPECT_EQ(row.udMB, stick.ud.sizeMB);
  ASSERT_EQ(2u, stick.partitions.size());
  EXPECT_EQ(row.fileSystem, stick.partitions[0].fileSystem);
  EXPECT_EQ("EFI", stick.partitions[1].label);
  EXPECT_TRUE(stick.partitions[1].hidden);
  EXPECT_FALSE(fs::exists(m.Folder() + "/qemu-serial.log")) << "the make started no emulator";

  // Started again, the boot test from the system menu, as a person checks the stick.
  auto before = test::DiskDigest(m.Folder());
  Run boot = Program("boot",
                     "sysmenu\n"
                     "expect menutext 2021 \"EFI X64\"\n"
                     "menu 2021\n"
                     "wait idle\n"
                     "expect emulator mode=uefi\tdisk=1\tresult=booted\tfrom=partition 2\n"
                     "expect emulator real=switched-off\n"
                     "expect enabled Command1\n"
                     "expect caption Command1 \"" + English(4) + "\"\n");
  EXPECT_EQ(0, boot.status) << boot.output;
  std::string console = test::ReadHostText(m.Folder() + "/qemu-serial.log");
  EXPECT_TRUE(sys::Contains(console, test::kSamplePeMarker)) << EmulatorEnd(m.Folder()) << "\n" << console;
  EXPECT_EQ("qemu: the emulated machine was switched off", EmulatorEnd(m.Folder()))
      << "the PE switches the machine off within " << kBootSeconds << " s";
  EXPECT_TRUE(before == test::DiskDigest(m.Folder())) << "the boot test changed the simulated disk";
}

INSTANTIATE_TEST_SUITE_P(Layouts, MadeSampleStick,
                         ::testing::Values(Row{"DATA+UEFI", "FAT32", 0}, Row{"DATA+UEFI", "NTFS", 0},
                                           Row{"UD+DATA+UEFI", "exFAT", 300}));

// --- Makes that went wrong, booted from the system menu of the same window ------------

constexpr int kNewMake = 64;
constexpr int kNtfs = 0, kFat32 = 1;

class FaultyMake : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string missing = test::RealBootMissing({"FAT32", "NTFS"});
    if (!missing.empty()) GTEST_SKIP() << missing;
  }

  // Makes a DATA+UEFI stick with `fault` set for the partition tool.
  void Make(const std::string& fault, int fileSystem) {
    machine_ = std::make_unique<test::MakeMachine>([&](os::sim::Machine& mm) {
      test::AddStick(mm, 1, 'E');
      mm.faults["partassist"] = fault;
    });
    machine_->Start();
    machine_->Choose("DATA+UEFI", kNewMake, fileSystem);
    machine_->PressStart();
  }

  // The boot test through the window's system menu; the disk must not start:
  // the marker is absent, the firmware's complaint is on the console, and the
  // stand-in says that nothing could be started.
  void ExpectNoStart() {
    const std::string folder = machine_->sim().Folder();
    auto before = test::DiskDigest(folder);
    EXPECT_EQ(-1, os::SendWindowMessage(machine_->window(), {os::kWmSysCommand, 2021, 0}));
    std::string console = test::ReadHostText(folder + "/qemu-serial.log");
    EXPECT_FALSE(sys::Contains(console, test::kSamplePeMarker)) << console;
    EXPECT_TRUE(sys::Contains(console, "failed to load Boot")) << console;
    EXPECT_EQ("qemu: the firmware found nothing on the disk that it could start; the emulator was stopped",
              EmulatorEnd(folder));
    EXPECT_TRUE(sys::Contains(test::ReadHostText(folder + "/qemu.log"),
                              "mode=uefi\tdisk=1\tresult=failed\treason=no FAT partition holds EFI\\BOOT\\BOOTX64.EFI"
                              "\treal=nothing-to-start\n"));
    EXPECT_TRUE(before == test::DiskDigest(folder)) << "the boot test changed the simulated disk";
    EXPECT_TRUE(machine_->window().IsEnabled(os::Control::kCommand1));
  }

  std::unique_ptr<test::MakeMachine> machine_;
  test::ScopedEnv limit_{"TARNVALE_BOOT_SECONDS", kBootSeconds};
};

TEST_F(FaultyMake, AnEfiWriteThatStopsHalfWayLeavesTheUefiProgramOutAndTheDiskDoesNotStart) {
  Make("partial@whide", kFat32);
  // The EFI partition holds the first half of the PE's files: the loader's
  // folder boot and bootmgr, not the UEFI program.
  std::string efi = machine_->PartitionFolder(1, 1);
  EXPECT_TRUE(fs::exists(efi + "/bootmgr"));
  EXPECT_TRUE(fs::exists(efi + "/boot/BCD"));
  EXPECT_FALSE(fs::exists(efi + "/EFI/BOOT/BOOTX64.EFI"));
  ExpectNoStart();
}

TEST_F(FaultyMake, AMakeThatGotNoEfiPartitionFailsAndTheDiskDoesNotStart) {
  Make("no-output@cre", kNtfs);
  ASSERT_FALSE(machine_->Messages().empty());
  // The partition tool said 0 for the partition it never made: no exit code
  // to name, only what the check found.
  EXPECT_EQ(app::LangString(10) + "|" + app::LangString(65) + "\r" +
                sys::ReplaceAll(app::LangString(79), "%1", "the disk holds 1 partition, the layout needs 2"),
            machine_->Messages().back());
  const os::sim::Disk stick = *machine_->sim().Get().FindDisk(1);
  ASSERT_EQ(1u, stick.partitions.size());
  EXPECT_EQ("NTFS", stick.partitions[0].fileSystem);
  ExpectNoStart();
}

}  // namespace
