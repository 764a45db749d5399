// The pieces of the made disk's check that need no machine: the archiver's
// listing, the partition table answer, the judgement of a table against a
// layout, and the record of the commands run.
#include <gtest/gtest.h>

#include <cstring>

#include "disk/drive_layout.h"
#include "make/package_listing.h"
#include "make/verify_disk.h"
#include "sys/command_record.h"

namespace {

using make::DiskExpectation;
using make::Layout;
using Lines = std::vector<std::string>;
constexpr uint64_t kMB = disk::kMiB;

// --- The archiver's listing -------------------------------------------------------------

TEST(PackageListing, GivesTheFilesWithTheirSizesAndLeavesTheFoldersOut) {
  const char* text =
      "7-Zip 9.20\r\n\r\nListing archive: a.7z\r\n\r\n--\r\nPath = a.7z\r\nType = 7z\r\n\r\n----------\r\n"
      "Path = EFI\r\nFolder = +\r\nSize = \r\n\r\n"
      "Path = Tools\r\nSize = 0\r\nAttributes = D....\r\n\r\n"
      "Path = boot\r\nSize = 0\r\n\r\n"  // a folder known only by what lies in it
      "Path = boot/BCD\r\nSize = 16384\r\n\r\n"
      "Path = EFI\\BOOT\\BOOTX64.EFI\r\nSize = 1048576\r\nAttributes = A\r\n\r\n"
      "Path = empty.txt\r\nSize = 0\r\n";
  auto files = make::ParsePackageListing(text);
  ASSERT_TRUE(files);
  ASSERT_EQ(3u, files->size());
  EXPECT_EQ("boot\\BCD", (*files)[0].path);
  EXPECT_EQ(16384u, (*files)[0].size);
  EXPECT_EQ("EFI\\BOOT\\BOOTX64.EFI", (*files)[1].path);
  EXPECT_EQ(1048576u, (*files)[1].size);
  EXPECT_EQ("empty.txt", (*files)[2].path);
  EXPECT_EQ(0u, (*files)[2].size);
}

TEST(PackageListing, AnArchiveThatCouldNotBeOpenedGivesNoListAndBadSizesCountAsZero) {
  EXPECT_FALSE(make::ParsePackageListing("ERROR: a.7z\nCan not open the file as archive\n"));
  EXPECT_FALSE(make::ParsePackageListing(""));
  auto files = make::ParsePackageListing("----------\nPath = a\nSize = 12x\n\nPath = b\nSize = 99999999999999999999\n");
  ASSERT_TRUE(files);
  ASSERT_EQ(2u, files->size());
  EXPECT_EQ(0u, (*files)[0].size);
  EXPECT_EQ(0u, (*files)[1].size);
  // The archive's own block, before the line, is no file of it.
  auto none = make::ParsePackageListing("Path = a.7z\nSize = 5\n----------\n");
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->empty());
}

// --- The partition table answer -----------------------------------------------------------

void Put64(std::vector<uint8_t>& b, size_t at, uint64_t v) {
  for (int i = 0; i < 8; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::vector<uint8_t> Answer(const std::vector<disk::TablePartition>& parts, uint32_t slots = 4) {
  std::vector<uint8_t> b(48 + 144 * slots, 0);
  b[4] = static_cast<uint8_t>(slots);
  for (size_t i = 0; i < parts.size(); ++i) {
    size_t at = 48 + 144 * i;
    Put64(b, at + 8, parts[i].startBytes);
    Put64(b, at + 16, parts[i].lengthBytes);
    b[at + 32] = parts[i].type;
    b[at + 33] = parts[i].active;
  }
  return b;
}

TEST(DriveLayoutAnswer, GivesTheUsedSlotsInTableOrder) {
  auto parts = disk::ParseDriveLayout(Answer({{kMB, 100 * kMB, 0x07, false}, {101 * kMB, 50 * kMB, 0x1C, true}}));
  ASSERT_TRUE(parts);
  ASSERT_EQ(2u, parts->size()) << "the two empty slots are left out";
  EXPECT_EQ(kMB, (*parts)[0].startBytes);
  EXPECT_EQ(100 * kMB, (*parts)[0].lengthBytes);
  EXPECT_FALSE((*parts)[0].Hidden());
  EXPECT_EQ(0x1C, (*parts)[1].type);
  EXPECT_TRUE((*parts)[1].active);
  EXPECT_TRUE((*parts)[1].Hidden());
}

TEST(DriveLayoutAnswer, AShortAnswerOrAnotherStyleGivesNothing) {
  std::vector<uint8_t> full = Answer({{kMB, kMB, 0x0C, false}});
  EXPECT_FALSE(disk::ParseDriveLayout(std::span<const uint8_t>(full.data(), full.size() - 1)));
  EXPECT_FALSE(disk::ParseDriveLayout(std::span<const uint8_t>(full.data(), 47)));
  std::vector<uint8_t> gpt = full;
  gpt[0] = 1;  // PARTITION_STYLE_GPT
  EXPECT_FALSE(disk::ParseDriveLayout(gpt));
  std::vector<uint8_t> huge = full;
  huge[7] = 0x80;  // a count no buffer holds
  EXPECT_FALSE(disk::ParseDriveLayout(huge));
}

// --- The table judged against a layout -------------------------------------------------------

constexpr uint64_t kDisk = 16384 * kMB;

disk::DriveLayout Table(std::vector<disk::TablePartition> parts) { return disk::DriveLayout{kDisk, std::move(parts)}; }

DiskExpectation Expect(Layout layout, bool efiHidden, const std::string& dataFs) {
  DiskExpectation e;
  e.layout = layout;
  e.udSizeMB = 300;
  e.efiSizeMB = 1032;
  e.efiHidden = efiHidden;
  e.dataFileSystem = dataFs;
  return e;
}

// The layouts as the partition tools make them.
disk::DriveLayout DataUefi(uint8_t efiType = 0x1C) {
  return Table({{kMB, (16384 - 1 - 1032) * kMB, 0x07, false}, {(16384 - 1032) * kMB, 1032 * kMB, efiType, true}});
}

std::string Judge(const disk::DriveLayout& t, const Lines& fs, const DiskExpectation& e) {
  Lines findings;
  std::string line = make::JudgeTable(t, fs, e, findings);
  EXPECT_EQ(line.empty(), findings.empty());
  return findings.empty() ? "" : findings[0];
}

TEST(JudgeTable, TheLayoutsAsMadePass) {
  EXPECT_EQ("", Judge(DataUefi(), {"NTFS", "FAT32"}, Expect(Layout::kDataUefi, true, "NTFS")));
  EXPECT_EQ("", Judge(DataUefi(0x0C), {"exFAT", "FAT32"}, Expect(Layout::kDataUefi, false, "")));
  disk::DriveLayout ud = Table({{300 * kMB, (16384 - 300 - 1032) * kMB, 0x0C, false},
                                {(16384 - 1032) * kMB, 1032 * kMB, 0x1C, false}});
  EXPECT_EQ("", Judge(ud, {"FAT32", "FAT32"}, Expect(Layout::kUdDataUefi, true, "FAT32")));
  disk::DriveLayout uefiData = Table({{kMB, 1032 * kMB, 0x0C, true}, {1033 * kMB, (16384 - 1033) * kMB, 0x07, false}});
  EXPECT_EQ("", Judge(uefiData, {"FAT32", "exFAT"}, Expect(Layout::kUefiData, false, "exFAT")));
  // A cylinder's rounding at the end of the disk is no fault.
  disk::DriveLayout rounded = DataUefi();
  rounded.diskBytes += 7 * kMB;
  EXPECT_EQ("", Judge(rounded, {"NTFS", "FAT32"}, Expect(Layout::kDataUefi, true, "NTFS")));
}

TEST(JudgeTable, FindsWhatIsNotTheLayouts) {
  const Lines fs = {"NTFS", "FAT32"};
  const DiskExpectation e = Expect(Layout::kDataUefi, true, "NTFS");
  EXPECT_EQ("the disk holds 1 partition, the layout needs 2",
            Judge(Table({{kMB, kDisk - kMB, 0x0C, false}}), {"FAT32"}, e));
  EXPECT_EQ("partition 2 (EFI) is not hidden", Judge(DataUefi(0x0C), fs, e));
  EXPECT_EQ("partition 2 (EFI) has the file system NTFS", Judge(DataUefi(), {"NTFS", "NTFS"}, e));
  EXPECT_EQ("partition 1 (data) has the file system exFAT", Judge(DataUefi(), {"exFAT", "FAT32"}, e));
  disk::DriveLayout inactive = DataUefi();
  inactive.partitions[1].active = false;
  EXPECT_EQ("partition 2 (EFI) is not active", Judge(inactive, fs, e));
  disk::DriveLayout wrongType = DataUefi();
  wrongType.partitions[0].type = 0x0C;
  EXPECT_EQ("partition 1 (data) has type 0C for NTFS", Judge(wrongType, fs, e));
}

TEST(JudgeTable, FindsPartitionsOfTheWrongSizeOrPlace) {
  const Lines fs = {"FAT32", "FAT32"};
  const DiskExpectation e = Expect(Layout::kDataUefi, true, "FAT32");
  // A small partition kept: the EFI partition takes what the rest would be.
  disk::DriveLayout small = Table({{kMB, 1016 * kMB, 0x0C, false}, {1017 * kMB, (16384 - 1017) * kMB, 0x1C, true}});
  Lines findings;
  std::string line = make::JudgeTable(small, fs, e, findings);
  EXPECT_EQ("The EFI partition has 15,367 MB of 1,032 MB.", line);
  ASSERT_EQ(2u, findings.size());
  EXPECT_EQ("the data partition has 1016 MB of 15351 MB", findings[1]);
  // Free space left at the end of the disk.
  disk::DriveLayout gap = DataUefi();
  gap.diskBytes += 64 * kMB;
  EXPECT_EQ("partition 2 ends at 16384 MB of 16448 MB", Judge(gap, fs, e));
  // The EFI partition first in a layout that puts it last.
  disk::DriveLayout swapped = Table({{kMB, 1032 * kMB, 0x1C, true}, {1033 * kMB, (16384 - 1033) * kMB, 0x0C, false}});
  EXPECT_NE("", Judge(swapped, fs, e));
  // The data partition of UD+DATA+UEFI where the UD area should be.
  disk::DriveLayout noUd = Table({{kMB, (16384 - 1 - 1032) * kMB, 0x0C, false},
                                  {(16384 - 1032) * kMB, 1032 * kMB, 0x1C, false}});
  EXPECT_EQ("partition 1 starts at 1 MB, the layout puts it at 300 MB",
            Judge(noUd, fs, Expect(Layout::kUdDataUefi, true, "FAT32")));
}

TEST(GroupThousands, GroupsByThrees) {
  EXPECT_EQ("0", make::GroupThousands(0));
  EXPECT_EQ("999", make::GroupThousands(999));
  EXPECT_EQ("1,016", make::GroupThousands(1016));
  EXPECT_EQ("15,000,000", make::GroupThousands(15000000));
}

// --- The record of the commands run ------------------------------------------------------------

TEST(CommandRecord, NamesTheProgramAndFindsTheLatestFailedRunOfAStep) {
  EXPECT_EQ("PartAssist.exe", sys::ProgramName("cmd.exe /c C:\\T\\PACMD\\PartAssist.exe /hd:1 /whide:1"));
  EXPECT_EQ("x86.dll", sys::ProgramName("\"C:\\Tarnvale\\Data\\Bin\\x86.dll\" x a.7z"));
  EXPECT_EQ("x86.dll", sys::ProgramName("cmd.exe /c \"\"C:\\Data\\Bin\\x86.dll\" l -slt a > \"b\"\""));
  EXPECT_EQ("x86.dll", sys::ProgramName("C:\\Windows\\System32\\cmd.exe /s /c \"C:\\Data\\Bin\\x86.dll l -slt a > \"b\"\""));
  EXPECT_EQ("x86.dll",
            sys::ProgramName("\"C:\\My Windows\\System32\\cmd.exe\" /s /c \"\"C:\\Data\\Bin\\x86.dll\" l a > \"b\"\""));
  EXPECT_EQ("bootsect.exe", sys::ProgramName("C:\\T\\PACMD\\bootsect.exe /nt60 D: /mbr"));

  sys::ClearCommandRecord();
  auto run = [](const std::string& line, std::optional<uint32_t> code, bool started = true) {
    sys::CommandRun r;
    r.commandLine = line;
    r.started = started;
    r.exitCode = code;
    r.startError = started ? 0 : 2;
    sys::RecordCommand(r);
  };
  run("pa /whide:1 /src:T\\EFI", 1);
  run("pa /whide:1 /src:T\\EFI", 0);
  run("pa /hide:1", 5);
  run("x86 x a -o\"E:\"", std::nullopt, false);
  ASSERT_EQ(4u, sys::RecordedCommands().size());
  EXPECT_EQ("exit code 1", sys::RecordedCommands()[0].Text());
  EXPECT_EQ("ok", sys::RecordedCommands()[1].Text());
  EXPECT_EQ("not started (error 2)", sys::RecordedCommands()[3].Text());
  auto efi = sys::LastFailedRun([](const std::string& l) { return l.find("\\EFI") != std::string::npos; });
  ASSERT_TRUE(efi);
  EXPECT_EQ(1u, *efi->exitCode) << "the failed run, not the later good one";
  auto first = sys::FirstFailedRun([](const std::string& l) { return l.find("pa ") == 0; });
  ASSERT_TRUE(first);
  EXPECT_EQ(1u, *first->exitCode) << "the first failed run, not the later one with 5";
  auto latest = sys::LastFailedRun([](const std::string& l) { return l.find("pa ") == 0; });
  ASSERT_TRUE(latest);
  EXPECT_EQ(5u, *latest->exitCode);
  auto data = sys::LastFailedRun([](const std::string& l) { return l.find("-o\"E:\"") != std::string::npos; });
  ASSERT_TRUE(data);
  EXPECT_FALSE(data->started);
  EXPECT_FALSE(sys::LastFailedRun([](const std::string& l) { return l.find("format") != std::string::npos; }));
  EXPECT_EQ("0 ms\texit code 1\tpa /whide:1 /src:T\\EFI\n"
            "0 ms\tok\tpa /whide:1 /src:T\\EFI\n"
            "0 ms\texit code 5\tpa /hide:1\n"
            "0 ms\tnot started (error 2)\tx86 x a -o\"E:\"\n",
            sys::CommandRecordText());
  sys::ClearCommandRecord();
  EXPECT_TRUE(sys::RecordedCommands().empty());
}

}  // namespace
