// The layout check: reading partition lists, judging them against the chosen
// layout, and agreeing with disks made by the very commands a make sends.
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "app/globals.h"
#include "app/language.h"
#include "disk/check_disk_layout.h"
#include "disk/target_guard.h"
#include "os/files.h"
#include "sys/partassist_commands.h"
#include "sys/run_diskpart.h"
#include "sys/short_path.h"
#include "tests/support/tool_machines.h"

namespace {

using disk::JudgeLayout;
using disk::PartitionRows;
using disk::RowFileSystem;
using disk::RowSizeMB;
using test::RunToEnd;

// Make-mode texts as a language file gives them.
class LayoutCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = app::LangStrings;
    app::LangStrings[5] = "Update";
    app::LangStrings[64] = "New make";
    app::LangStrings[67] = "Diskpart";
    app::lUDAreaMB = app::lDataPartMB = app::lEfiPartMB = -1;
    app::iVerifyPhase = 0;
    app::iDiskNum = 1;
  }
  void TearDown() override {
    app::LangStrings = saved_;
    app::iVerifyPhase = 0;
  }

 private:
  std::array<std::string, app::kLangStringCount> saved_;
};

// A line of a list file, and the row the check makes of it (bars removed).
std::string Line(const std::string& size, const std::string& fs) {
  return "| 0\t| E:\t| " + size + "\t| Primary\t" + fs + "\tLABEL\tNormal";
}
std::string Row(const std::string& size, const std::string& fs) {
  std::string row = Line(size, fs);
  std::erase(row, '|');
  return row;
}

TEST_F(LayoutCheck, RowsAreTheLinesWithExactlyFourBars) {
  // CR LF and a lone CR end lines; the last line needs no end.
  std::string text = "heading\r\n" + Line("1 GB", "FAT32") + "\r" + Line("2 GB", "NTFS") + "\r\n" + Line("3 GB", "exFAT");
  std::vector<std::string> rows = PartitionRows(text);
  ASSERT_EQ(3u, rows.size());
  EXPECT_EQ(Row("1 GB", "FAT32"), rows[0]) << "the fields joined without the bars";
  EXPECT_EQ(" 0\t E:\t 1 GB\t Primary\tFAT32\tLABEL\tNormal", rows[0]);
  EXPECT_EQ("NTFS", RowFileSystem(rows[1]));

  // A lone LF does not end a line: two rows joined by it have eight bars.
  EXPECT_TRUE(PartitionRows(Line("1 GB", "FAT32") + "\n" + Line("2 GB", "FAT32") + "\r\n").empty());
  // A heading with four bars counts; three or five do not.
  EXPECT_EQ(1u, PartitionRows("a|b|c|d|e\r\n").size());
  EXPECT_TRUE(PartitionRows("a|b|c|d\r\na|b|c|d|e|f\r\n\r\n").empty());
}

TEST_F(LayoutCheck, SizeColumnInMegabytes) {
  EXPECT_EQ(29338, RowSizeMB(Row("28.65 GB", "FAT32")));
  EXPECT_EQ(300, RowSizeMB(Row("300.00 MB", "FAT32")));
  EXPECT_EQ(1024, RowSizeMB(Row(" 1 024.00 MB", "FAT32"))) << "blanks inside the number are ignored";
  EXPECT_EQ(2, RowSizeMB(Row("2.5 MB", "FAT32"))) << "halves go to the even neighbour";
  EXPECT_EQ(4, RowSizeMB(Row("3.5 MB", "FAT32")));
  EXPECT_EQ(512, RowSizeMB(Row("512 KB", "FAT32"))) << "any unit but GB is taken as MB";
  EXPECT_EQ(0, RowSizeMB(Row("unknown", "FAT32")));
  // Rows too short for a size or a file system read as 0 and "".
  EXPECT_EQ(0, RowSizeMB(" 0\t E:"));
  EXPECT_EQ("", RowFileSystem(" 0\t E:\t 1 GB"));
  // A size past the 32-bit range stays at its end.
  EXPECT_EQ(2147483647, RowSizeMB(Row("9999999 GB", "FAT32")));
  // Far past the 64-bit range too: it stays at the end, never wraps to a negative size.
  EXPECT_EQ(2147483647, RowSizeMB(Row("99999999999999999999 GB", "FAT32")));
}

TEST_F(LayoutCheck, SinglePartitionBranch) {
  std::vector<std::string> one = {Row("14 GB", "FAT32")};
  std::vector<std::string> two = {Row("14 GB", "NTFS"), Row("1 GB", "FAT32")};
  EXPECT_TRUE(JudgeLayout(one, "DATA+UEFI # New make", 0));
  EXPECT_FALSE(JudgeLayout(two, "DATA+UEFI # New make", 0));
  // After a restore only the count matters, whatever the list shows.
  EXPECT_TRUE(JudgeLayout(one, "UD+DATA+UEFI # Update", 2));
  EXPECT_FALSE(JudgeLayout(two, "DATA+UEFI # Update", 2));
  EXPECT_FALSE(JudgeLayout({}, "DATA+UEFI # New make", 0));
  EXPECT_EQ(-1, app::lDataPartMB) << "the single-partition branch records no size";
}

TEST_F(LayoutCheck, LayoutBranchRecordsSizesAndTestsTheEfiFileSystem) {
  std::vector<std::string> dataUefi = {Row("14.00 GB", "NTFS"), Row("1032.00 MB", "FAT32")};
  EXPECT_TRUE(JudgeLayout(dataUefi, "DATA+UEFI # New make", 1));
  EXPECT_EQ(14336, app::lDataPartMB);
  EXPECT_EQ(1032, app::lEfiPartMB);
  // FAT is neither FAT16 nor FAT32: the sizes are recorded, the answer is no.
  app::lEfiPartMB = -1;
  EXPECT_FALSE(JudgeLayout({Row("14 GB", "NTFS"), Row("100 MB", "FAT")}, "DATA+UEFI # Update", 0));
  EXPECT_EQ(100, app::lEfiPartMB);
  EXPECT_TRUE(JudgeLayout({Row("14 GB", "NTFS"), Row("100 MB", "FAT16")}, "DATA+UEFI # Update", 0));

  // UD+DATA+UEFI holds DATA+UEFI and is asked first: three rows.
  EXPECT_FALSE(JudgeLayout(dataUefi, "UD+DATA+UEFI # Update", 0));
  EXPECT_TRUE(JudgeLayout({Row("300.00 MB", "UD"), Row("14 GB", "exFAT"), Row("1 GB", "FAT32")},
                          "UD+DATA+UEFI # Update", 0));
  EXPECT_EQ(300, app::lUDAreaMB);
  EXPECT_EQ(14336, app::lDataPartMB);

  // UEFI+DATA: the EFI partition is row 1.
  EXPECT_FALSE(JudgeLayout(dataUefi, "UEFI+DATA # Diskpart", 0));
  EXPECT_TRUE(JudgeLayout({Row("1032.00 MB", "FAT32"), Row("14 GB", "exFAT")}, "UEFI+DATA # Diskpart", 0));
  EXPECT_EQ(1032, app::lEfiPartMB);

  // A wrong count records nothing; an entry without a layout name is false.
  app::lDataPartMB = -1;
  EXPECT_FALSE(JudgeLayout({Row("14 GB", "NTFS")}, "DATA+UEFI # Update", 0));
  EXPECT_EQ(-1, app::lDataPartMB);
  EXPECT_FALSE(JudgeLayout(dataUefi, "Other # Update", 1));
}

// --- against simulated disks, made with the commands of a make ---

std::string Aes(const std::string& tail) { return sys::GetShortPath("C:\\Tarnvale\\Data\\Bin\\aes.dll") + " " + tail; }

// The partition pass and the EFI partition of a new make.
void MakeDataUefi(bool withUd) {
  RunToEnd(sys::PaUnhide(1, 1));
  RunToEnd(sys::PaUnhide(1, 0));
  RunToEnd(Aes("(hd1) format --force --raw --fat32 --align"));
  RunToEnd(sys::PaInit(1));
  if (withUd) RunToEnd(Aes("E: format --force --fat32 --align --primary 8M --extended 292M"));
  RunToEnd(sys::PaResize("E:", 1032));
  RunToEnd(sys::PaCreateEfi(1, !withUd));
}

class LayoutCheckOnDisks : public LayoutCheck {
 protected:
  void SetUp() override {
    LayoutCheck::SetUp();
    machine_ = std::make_unique<test::SimMachine>([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
    test::InstallTools(*machine_);
    disk::RecordTarget(disk::ReadDiskIdentity(1), "");  // the stick was chosen
  }
  test::SimMachine& m() { return *machine_; }
  std::unique_ptr<test::SimMachine> machine_;
};

TEST_F(LayoutCheckOnDisks, AgreesWithEachLayoutAndWithASinglePartition) {
  EXPECT_TRUE(disk::CheckDiskLayout("DATA+UEFI # New make")) << "a stick as sold holds one partition";

  MakeDataUefi(false);
  ASSERT_EQ("FAT32 E: '' 15351M 0c | FAT32 - 'EFI' 1032M active 0c", test::Describe(*m().Get().FindDisk(1)));
  EXPECT_FALSE(disk::CheckDiskLayout("DATA+UEFI # New make"));
  app::iVerifyPhase = 1;
  EXPECT_TRUE(disk::CheckDiskLayout("DATA+UEFI # New make"));
  EXPECT_NEAR(15351, app::lDataPartMB, 6);
  EXPECT_NEAR(1032, app::lEfiPartMB, 6);
  EXPECT_FALSE(disk::CheckDiskLayout("UD+DATA+UEFI # New make"));

  MakeDataUefi(true);
  EXPECT_TRUE(disk::CheckDiskLayout("UD+DATA+UEFI # New make"));
  EXPECT_EQ(300, app::lUDAreaMB);
  EXPECT_NEAR(1032, app::lEfiPartMB, 6);
  app::iVerifyPhase = 0;
  EXPECT_TRUE(disk::CheckDiskLayout("UD+DATA+UEFI # Update"));

  // The diskpart pass makes UEFI+DATA.
  std::string script =
      "select disk 1\r\nclean\r\nconvert mbr noerr\r\n\r\nrem == 1. EFI partition ======================\r\n"
      "create partition primary size=1032 noerr\r\nformat quick fs=fat32 label=\"EFI\" noerr\r\n"
      "assign letter=\"E\" noerr\r\nactive\r\n\r\nrem == 2. Data partition ========================\r\n"
      "create partition primary  noerr\r\nformat quick fs=exfat label=\"Tarnvale\" noerr\r\nassign letter=\"Z\" noerr";
  ASSERT_TRUE(sys::RunDiskPart(script, "diskpart"));
  EXPECT_TRUE(disk::CheckDiskLayout("UEFI+DATA # Diskpart"));
  EXPECT_NEAR(1032, app::lEfiPartMB, 6);
  EXPECT_NEAR(16384 - 1 - 1032, app::lDataPartMB, 6);

  // A restore gives one partition back.
  RunToEnd(Aes("(hd1) format --force --raw --fat32 --align"));
  app::iVerifyPhase = 2;
  EXPECT_TRUE(disk::CheckDiskLayout("UEFI+DATA # Diskpart"));
}

TEST_F(LayoutCheckOnDisks, BrokenToolsAndWrongFileSystemsAreNoLayout) {
  MakeDataUefi(false);
  app::iVerifyPhase = 1;
  ASSERT_TRUE(disk::CheckDiskLayout("DATA+UEFI # New make"));
  std::string list = std::string(test::kTmp) + "\\PACMD\\usee.txt";
  ASSERT_TRUE(m().Exists(list));

  // A tool that writes nothing: the list of the call before is not the answer.
  m().Update([](os::sim::Machine& mm) { mm.faults["partassist"] = "no-output"; });
  EXPECT_FALSE(disk::CheckDiskLayout("DATA+UEFI # New make"));
  EXPECT_FALSE(m().Exists(list));
  // A tool that is missing, or whose list breaks off.
  m().Update([](os::sim::Machine& mm) { mm.faults["partassist"] = "missing"; });
  EXPECT_FALSE(disk::CheckDiskLayout("DATA+UEFI # New make"));
  m().Update([](os::sim::Machine& mm) { mm.faults["partassist"] = "partial"; });
  EXPECT_FALSE(disk::CheckDiskLayout("DATA+UEFI # New make"));
  m().Update([](os::sim::Machine& mm) { mm.faults.clear(); });
  ASSERT_TRUE(disk::CheckDiskLayout("DATA+UEFI # New make"));

  // The EFI partition with the wrong file system: sizes recorded, answer no.
  RunToEnd(sys::PaSetLetterAuto(1, 1));
  std::string efi = std::string(1, m().Get().FindDisk(1)->partitions[1].letter) + ":";
  ASSERT_EQ(0u, RunToEnd("cmd.exe /c C:\\Windows\\System32\\format.com " + efi + " /FS:NTFS /q /x /y"));
  app::lEfiPartMB = -1;
  EXPECT_FALSE(disk::CheckDiskLayout("DATA+UEFI # New make"));
  EXPECT_NEAR(1032, app::lEfiPartMB, 6);

  // No tool folder at all.
  os::ShellDelete(std::string(test::kTmp) + "\\PACMD");
  EXPECT_FALSE(disk::CheckDiskLayout("DATA+UEFI # New make"));
}

TEST_F(LayoutCheckOnDisks, VolumeTextIsTheLabelOrTheFileSystem) {
  EXPECT_EQ("STICK", disk::GetVolumeText("E:", false));
  EXPECT_EQ("FAT32", disk::GetVolumeText("E:", true));
  EXPECT_EQ("", disk::GetVolumeText("Q:", true));
}

}  // namespace
