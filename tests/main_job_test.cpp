// The host program on the sample machine that the README's main job uses,
// driven through its console as a person would: the main job's own script
// makes the stick, and the sizes chosen in the partition size dialog are the
// sizes the next make gives the disk.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <unistd.h>

#include "os/sim/machine.h"
#include "tools/tvtool/commands.h"
#include "tools/tvtool/sample_machine.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class MainJob : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("tv-main-job-" + std::to_string(getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    machine_ = (folder_ / "machine").string();
    std::string error;
    ASSERT_TRUE(tvtool::MakeSampleMachine(machine_, std::string(TV_SAMPLE_DIR) + "/program", &error)) << error;
  }
  void TearDown() override { fs::remove_all(folder_); }

  struct Run {
    int status = -1;
    std::string output;
  };
  Run Program(const std::string& scriptFile) {
    std::string out = (folder_ / "console.txt").string();
    std::string command = std::string(TV_TOOLS_DIR) + "/tarnvale --machine " + machine_ + " --script " + scriptFile +
                          " > " + out + " 2>&1";
    Run r;
    r.status = WEXITSTATUS(system(command.c_str()));
    r.output = Slurp(out);
    return r;
  }
  Run Script(const std::string& text) {
    std::string file = (folder_ / "script.txt").string();
    std::ofstream(file) << text;
    return Program(file);
  }
  std::string Disk(int number) {
    auto m = Machine();
    return m ? tvtool::DescribeDisk(machine_, *m, number) : "";
  }
  std::optional<os::sim::Machine> Machine() {
    std::string error;
    auto m = os::sim::LoadMachine(machine_, &error);
    EXPECT_TRUE(m) << error;
    return m;
  }

  fs::path folder_;
  std::string machine_;
};

TEST_F(MainJob, TheReadmeScriptMakesTheStick) {
  Run r = Program(std::string(TV_SOURCE_DIR) + "/scripts/main-job.txt");
  ASSERT_EQ(0, r.status) << r.output;
  auto m = Machine();
  ASSERT_TRUE(m);
  const os::sim::Disk* stick = m->FindDisk(1);
  ASSERT_TRUE(stick);
  EXPECT_EQ("ud", stick->mbrCode) << "the UD area's boot code starts the stick";
  EXPECT_EQ(300, stick->ud.sizeMB);
  ASSERT_EQ(2u, stick->partitions.size()) << Disk(1);
  EXPECT_EQ("NTFS", stick->partitions[0].fileSystem);
  EXPECT_EQ("FAT32", stick->partitions[1].fileSystem);
  EXPECT_EQ("EFI", stick->partitions[1].label);
  EXPECT_TRUE(stick->partitions[1].hidden);
}

// The console's log command prints this run's lines only; the file beside
// the program keeps the earlier run before them.
TEST_F(MainJob, TheLogCommandPrintsThisRunAndTheFileKeepsEveryRun) {
  Run first = Program(std::string(TV_SOURCE_DIR) + "/scripts/main-job.txt");
  ASSERT_EQ(0, first.status) << first.output;
  Run r = Script(
      "expect log ---- a new run ----\n"
      "expect log target list rebuilt (removable disks):\n"
      "log\n");
  ASSERT_EQ(0, r.status) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("  Tarnvale 12.0.0 started")) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("  entry HD1: ")) << r.output;
  EXPECT_EQ(std::string::npos, r.output.find("outcome of the make")) << "the earlier run's make is not this run's";
  std::string file = Slurp(machine_ + "/drives/C/Tarnvale/Tarnvale.log");
  size_t made = file.find("outcome of the make: The startup disk was made successfully.");
  ASSERT_NE(std::string::npos, made) << "the first run's outcome";
  EXPECT_LT(made, file.rfind("---- a new run ----")) << "newest run last";
  EXPECT_NE(std::string::npos, file.find("closed; the per-run folder was removed: C:\\Windows\\Temp\\"));
}

TEST_F(MainJob, TheSizesOfTheSizeDialogAreTheSizesOfTheNextMake) {
  Run r = Script(
      "wait 1500\n"
      "menu 2032\n"
      "form2 click UD\n"
      "form2 type UD 500\n"
      "form2 click EFI\n"
      "form2 type EFI 800\n"
      "form2 close\n"
      "expect dialog none\n"
      "select RDriver 0\n"
      "select Fsys UD+DATA+UEFI\n"
      "click Command1\n"
      "answer ok\n"
      "answer ok\n"
      "expect message \"The startup disk was made successfully.\"\n");
  ASSERT_EQ(0, r.status) << r.output;
  auto m = Machine();
  ASSERT_TRUE(m);
  const os::sim::Disk* stick = m->FindDisk(1);
  ASSERT_TRUE(stick);
  EXPECT_EQ(500, stick->ud.sizeMB) << Disk(1);
  ASSERT_EQ(2u, stick->partitions.size()) << Disk(1);
  EXPECT_EQ(800u * 2048, stick->partitions[1].sectors) << "the EFI partition, 800 MB\n" << Disk(1);
}

}  // namespace
