// Makes that must not end in a false success, on simulated machines with the
// sample package: the EFI and data partitions found by their place, the
// one-partition shortcut only for a partition the layout can be cut from,
// the refusals before anything is written, the staging folder emptied, the
// bounded wait for the partition tool, and the check of the made disk with
// the line that says what is wrong.
#include <gtest/gtest.h>

#include "sys/command_record.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/globals.h"
#include "app/language.h"
#include "make/verify_disk.h"
#include "os/sim/host_files.h"
#include "sys/text.h"
#include "tests/support/make_machines.h"
#include "tests/support/tool_machines.h"

namespace fs = std::filesystem;

namespace {

using app::LangString;
using test::MakeMachine;
using Lines = std::vector<std::string>;

constexpr int kNewMake = 64, kUpdate = 5, kDiskpart = 67;
constexpr int kNotice = 8, kError = 10;
constexpr int kNtfs = 0;

std::string Message(int title, int text) { return LangString(title) + "|" + LangString(text); }
// The failure report with the line after it.
std::string Failure(const std::string& line) { return LangString(kError) + "|" + LangString(65) + "\r" + line; }

std::string HostRead(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The line of a made disk whose boot code is wrong.
std::string BootCodeLine(const std::string& what) { return sys::ReplaceAll(LangString(93), "%1", what); }

bool Has(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// A disk made earlier, DATA+UEFI: data partition E: (FAT32, given label and
// files) over the disk but the EFI partition's 1032 MB at its end.
os::sim::Disk& MadeDataUefi(os::sim::Machine& m, const std::string& dataLabel, const std::string& efiFs = "FAT32") {
  os::sim::Disk& d = test::AddStick(m, 1, 'E');
  d.mbrCode = "nt60";
  os::sim::Partition& data = d.partitions[0];
  data.sectors = (16384 - 1 - 1032) * 2048ull;
  data.label = dataLabel;
  os::sim::Partition efi;
  efi.start = data.start + data.sectors;
  efi.sectors = 1032 * 2048ull;
  efi.type = efiFs == "FAT" ? 0x1E : 0x1C;
  efi.hidden = true;
  efi.active = true;
  efi.fileSystem = efiFs;
  efi.label = "EFI";
  efi.folder = "disks/1/part2";
  d.partitions.push_back(efi);
  return d;
}

// --- The partitions are found by their place ------------------------------------------

TEST(PlaceNotLabel, AnUpdateKeepsTheFilesOfADataPartitionLabelledEfi) {
  MakeMachine m([](os::sim::Machine& mm) { MadeDataUefi(mm, "EFI"); });
  m.Start();
  test::WriteFiles(m.PartitionFolder(1, 0), {{"mine.txt", "the user's file"}});
  m.Choose("DATA+UEFI", kUpdate);
  m.PressStart();
  EXPECT_EQ(Message(kNotice, 29), m.Messages().back());
  EXPECT_EQ("the user's file", HostRead(m.PartitionFolder(1, 0) + "/mine.txt"));
  Lines commands = m.Commands();
  EXPECT_FALSE(Has(commands, m.Expand("<format> E: /FS:FAT32 /q /x /y"))) << "the data partition is never formatted";
  EXPECT_TRUE(Has(commands, m.Expand("<format> D: /FS:FAT32 /q /x /y"))) << "the EFI partition is";
}

TEST(PlaceNotLabel, ANewMakeWritesTheBootSectorOfTheEfiPartitionNotOfADataPartitionLabelledEfi) {
  MakeMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E').partitions[0].label = "EFI"; });
  m.Start();
  m.Choose("DATA+UEFI", kNewMake, kNtfs);
  m.PressStart();
  EXPECT_EQ(Message(kNotice, 29), m.Messages().back());
  os::sim::Machine now = m.sim().Get();
  const os::sim::Disk& d = *now.FindDisk(1);
  ASSERT_EQ(2u, d.partitions.size());
  EXPECT_EQ("", d.partitions[0].bootCode);
  EXPECT_EQ("nt60", d.partitions[1].bootCode) << "the active EFI partition starts bootmgr";
}

TEST(PlaceNotLabel, AnEfiVolumeOfAnotherDiskAtTheSamePlaceIsLeftAlone) {
  MakeMachine m([](os::sim::Machine& mm) {
    test::AddStick(mm, 1, 'E');
    // Another stick made earlier: its EFI partition has the letter G:.
    os::sim::Disk& other = test::AddStick(mm, 2, 'F');
    other.partitions[0].sectors = 8192 * 2048ull;
    os::sim::Partition efi;
    efi.start = other.partitions[0].start + other.partitions[0].sectors;
    efi.sectors = 1032 * 2048ull;
    efi.fileSystem = "FAT32";
    efi.label = "EFI";
    efi.letter = 'G';
    efi.folder = "disks/2/part2";
    other.partitions.push_back(efi);
    mm.faults["partassist"] = "no-output@setletter";  // the target's EFI partition gets no letter
  });
  m.Start();
  test::WriteFiles(m.PartitionFolder(2, 1), {{"precious.doc", "the other stick's file"}});
  m.Choose("DATA+UEFI", kNewMake);
  m.PressStart();
  EXPECT_EQ("the other stick's file", HostRead(m.PartitionFolder(2, 1) + "/precious.doc"));
  for (const std::string& c : m.Commands()) EXPECT_EQ(std::string::npos, c.find(" G:")) << c;
  // The EFI write needs no letter, but bootsect does: without one the EFI
  // partition has no boot sector, and the check says so.
  EXPECT_EQ(Failure(BootCodeLine("the active partition's boot sector holds no boot code")), m.Messages().back());
}

TEST(PlaceNotLabel, AnEfiPartitionFormattedFatIsFoundAndFormattedFat32) {
  MakeMachine m([](os::sim::Machine& mm) { MadeDataUefi(mm, "DATA", "FAT"); });
  m.Start();
  m.Choose("DATA+UEFI", kUpdate);
  m.PressStart();
  EXPECT_TRUE(Has(m.Commands(), m.Expand("<format> D: /FS:FAT32 /q /x /y")));
  EXPECT_EQ(Message(kNotice, 29), m.Messages().back());
  EXPECT_EQ("FAT32", m.sim().Get().FindDisk(1)->partitions[1].fileSystem);
}

// --- The one-partition shortcut ------------------------------------------------------

TEST(OnePartition, ASmallPartitionGetsThePartitionPass) {
  MakeMachine m([](os::sim::Machine& mm) {
    os::sim::Disk& d = test::AddStick(mm, 1, 'E', 15ull << 30);
    d.partitions[0].sectors = 2048 * 2048ull;  // 2 GB of 15 GB
  });
  m.Start();
  m.Choose("DATA+UEFI", kNewMake);
  m.PressStart();
  EXPECT_EQ(Message(kNotice, 29), m.Messages().back());
  EXPECT_TRUE(Has(m.Commands(), m.Expand("<aes> (hd1) format --force --raw --fat32 --align")));
  os::sim::Machine now = m.sim().Get();
  const os::sim::Disk& d = *now.FindDisk(1);
  ASSERT_EQ(2u, d.partitions.size());
  EXPECT_EQ((15360 - 1 - 1032) * 2048ull, d.partitions[0].sectors) << "the data partition takes the rest";
  EXPECT_EQ(1032 * 2048ull, d.partitions[1].sectors);
}

TEST(OnePartition, APartitionThatStartsLateGetsThePartitionPass) {
  MakeMachine m([](os::sim::Machine& mm) {
    os::sim::Disk& d = test::AddStick(mm, 1, 'E');
    d.partitions[0].start = 64 * 2048ull;
    d.partitions[0].sectors = d.Sectors() - d.partitions[0].start;
  });
  m.Start();
  m.Choose("DATA+UEFI", kNewMake);
  m.PressStart();
  EXPECT_TRUE(Has(m.Commands(), m.Expand("<aes> (hd1) format --force --raw --fat32 --align")));
  EXPECT_EQ(2048u, m.sim().Get().FindDisk(1)->partitions[0].start);
}

// --- Refusals before anything runs ----------------------------------------------------

TEST(RefusedBeforeAnyCommand, ADiskpartMakeWithoutAFreeLetter) {
  MakeMachine m([](os::sim::Machine& mm) {
    test::AddStick(mm, 1, 'E');
    for (char c = 'F'; c <= 'Z'; ++c) {
      os::sim::Drive d;
      d.letter = c;
      d.kind = os::sim::Drive::Kind::kNetwork;
      mm.drives.push_back(d);
    }
  });
  m.Start();
  const std::string before = m.Disk(1);
  m.Choose("UEFI+DATA", kDiskpart);
  m.PressStart();
  EXPECT_EQ((Lines{Message(kNotice, 82)}), m.Messages());
  EXPECT_TRUE(m.Commands().empty());
  EXPECT_EQ(before, m.Disk(1));
}

TEST(RefusedBeforeAnyCommand, ALabelTheDiskpartScriptCannotCarry) {
  for (const std::string& label : {std::string("Tarn\"vale"), std::string("Tarn\x01vale")}) {
    for (int mode : {kDiskpart, kNewMake}) {
      SCOPED_TRACE(label + " mode " + std::to_string(mode));
      MakeMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
      m.SetOption("Label", label);
      m.Start();
      const std::string before = m.Disk(1);
      m.Choose(mode == kDiskpart ? "UEFI+DATA" : "DATA+UEFI", mode);
      m.PressStart();
      EXPECT_EQ((Lines{Message(kNotice, 83)}), m.Messages());
      EXPECT_TRUE(m.Commands().empty());
      EXPECT_EQ(before, m.Disk(1));
    }
  }
}

TEST(RefusedBeforeAnyDiskWork, ADataPackageTheArchiverCannotRead) {
  MakeMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
  std::string package = m.sim().Host("C:\\Tarnvale\\PE\\TarnvalePE.7z");
  m.Start();
  fs::resize_file(package, fs::file_size(package) / 2);  // cut off
  const std::string before = m.Disk(1);
  m.Choose("DATA+UEFI", kNewMake);
  m.PressStart();
  ASSERT_EQ(2u, m.Messages().size());
  EXPECT_EQ(LangString(kNotice) + "|" + sys::ReplaceAll(LangString(80), "%1", app::s7zFile), m.Messages()[1]);
  for (const std::string& c : m.Commands()) EXPECT_NE(std::string::npos, c.find(" l -slt ")) << c;
  EXPECT_EQ(before, m.Disk(1));
}

// --- The staging folder and the wait for the partition tool ----------------------------

TEST(Staging, OnlyTheNewImagesFilesGoOntoTheEfiPartition) {
  MakeMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
  m.Start();
  // What a make that stopped part-way leaves: the staging folder with the
  // files of another image, one of them under a name the new image has.
  std::string staging = m.sim().Host(app::sTmpPath + "\\EFI");
  test::WriteFiles(staging, {{"old.txt", "stale"}, {"bootmgr", "an older bootmgr"}});
  m.Choose("DATA+UEFI", kNewMake);
  m.PressStart();
  EXPECT_EQ(Message(kNotice, 29), m.Messages().back());
  std::string efi = m.PartitionFolder(1, 1);
  EXPECT_FALSE(fs::exists(efi + "/old.txt"));
  EXPECT_NE("an older bootmgr", HostRead(efi + "/bootmgr"));
  // A second make over the first: again only the image's files.
  m.PressStart();
  EXPECT_EQ(Message(kNotice, 29), m.Messages().back());
  EXPECT_FALSE(fs::exists(m.PartitionFolder(1, 1) + "/old.txt"));
}

TEST(PartitionToolWait, AHungUnpackEndsTheMakeWithAMessageWithinItsLimit) {
  MakeMachine m([](os::sim::Machine& mm) {
    test::AddStick(mm, 1, 'E');
    mm.faults["7zz"] = "hang@x*1";
  });
  m.Start(false);
  const std::string before = m.Disk(1);
  m.Choose("DATA+UEFI", kNewMake);
  auto begin = std::chrono::steady_clock::now();
  m.PressStart();
  auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  EXPECT_LT(seconds, 60) << "three simulated minutes are a fraction of a real second";
  ASSERT_FALSE(m.Messages().empty());
  EXPECT_EQ(Failure(LangString(84)), m.Messages().back());
  EXPECT_EQ(before, m.Disk(1));
  EXPECT_FALSE(m.form().guard().Busy());
}

// --- The check of the made disk ----------------------------------------------------------

TEST(MadeDiskCheck, AHalfWrittenEfiPartitionFailsWithTheLineThatSaysSo) {
  MakeMachine m([](os::sim::Machine& mm) {
    test::AddStick(mm, 1, 'E');
    mm.faults["partassist"] = "partial@whide";  // copies half the files, reports success
  });
  m.Start();
  m.Choose("DATA+UEFI", kNewMake);
  m.PressStart();
  std::string line = sys::ReplaceAll(sys::ReplaceAll(LangString(75), "%1", "3"), "%2", "5");
  EXPECT_EQ(Failure(line), m.Messages().back()) << "no exit code to name: the tool said 0";
  // The check unhid the EFI partition to read it, and hid it again.
  EXPECT_TRUE(m.sim().Get().FindDisk(1)->partitions[1].hidden);
}

TEST(MadeDiskCheck, TheFailureLineNamesTheExitCodeOfTheStepThatBrokeTheDisk) {
  MakeMachine m([](os::sim::Machine& mm) {
    test::AddStick(mm, 1, 'E');
    mm.faults["partassist"] = "exit-early@whide";
  });
  m.Start();
  m.Choose("DATA+UEFI", kNewMake);
  m.PressStart();
  std::string line = sys::ReplaceAll(sys::ReplaceAll(LangString(75), "%1", "5"), "%2", "5");
  std::string code = sys::ReplaceAll(sys::ReplaceAll(LangString(81), "%1", "PartAssist.exe"), "%2", "1");
  EXPECT_EQ(Failure(line + " " + code), m.Messages().back());
}

TEST(MadeDiskCheck, ADamagedDataPackageFailsWithTheArchiversExitCode) {
  MakeMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
  m.Start();
  // Damaged inside its packed data: the archiver lists it, but its unpack
  // fails part-way (exit code 2), leaving files short or missing.
  std::string package = m.sim().Host("C:\\Tarnvale\\PE\\TarnvalePE.7z");
  std::string bytes = HostRead(package);
  ASSERT_GT(bytes.size(), 46u);
  bytes[40] = static_cast<char>(bytes[40] ^ 0xFF);
  bytes[45] = static_cast<char>(bytes[45] ^ 0xFF);
  std::ofstream(package, std::ios::binary) << bytes;
  m.Choose("DATA+UEFI", kNewMake);
  m.PressStart();
  std::string line = sys::ReplaceAll(sys::ReplaceAll(LangString(76), "%1", "2"), "%2", "2");
  std::string code = sys::ReplaceAll(sys::ReplaceAll(LangString(81), "%1", "x86.dll"), "%2", "2");
  EXPECT_EQ(Failure(line + " " + code), m.Messages().back());
}

TEST(MadeDiskCheck, AStandInThatWritesNothingFails) {
  // The sample package's image has five files; the EFI write of a stand-in
  // that copies nothing leaves all five missing.
  MakeMachine m([](os::sim::Machine& mm) {
    test::AddStick(mm, 1, 'E');
    mm.faults["partassist"] = "no-output@whide";
  });
  m.Start();
  m.Choose("DATA+UEFI", kNewMake);
  m.PressStart();
  std::string line = sys::ReplaceAll(sys::ReplaceAll(LangString(75), "%1", "5"), "%2", "5");
  EXPECT_EQ(Failure(line), m.Messages().back());
  // The findings are kept for a log.
  EXPECT_FALSE(make::LastVerdict().passed);
  EXPECT_EQ(0u, make::LastVerdict().Text().find("failed ("));
  EXPECT_NE(std::string::npos,
            make::LastVerdict().Text().find("\nthe EFI partition lacks 5 of 5 files of the PE image\n"));
}

// The boot code is read back from the disk: a bootsect that reports success
// and writes nothing leaves a disk that does not start from a BIOS.
TEST(MadeDiskCheck, BootCodeThatBootsectLeftUnwrittenFailsTheMake) {
  for (const char* mbr : {"standard", ""}) {
    SCOPED_TRACE(std::string("master boot record before the make: ") + mbr);
    MakeMachine m([&](os::sim::Machine& mm) {
      test::AddStick(mm, 1, 'E').mbrCode = mbr;
      mm.faults["bootsect"] = "no-output";
    });
    m.Start();
    m.Choose("DATA+UEFI", kNewMake);
    m.PressStart();
    // A stick as sold keeps its master boot record; the EFI partition's boot
    // sector, formatted by this make, holds none.
    const std::string mbrFinding = "the master boot record holds no boot code";
    const std::string bootFinding = "the active partition's boot sector holds no boot code";
    EXPECT_EQ(Failure(BootCodeLine(*mbr ? bootFinding : mbrFinding)), m.Messages().back());
    std::string found = make::LastVerdict().Text();
    EXPECT_NE(std::string::npos, found.find("\n" + bootFinding + "\n")) << found;
    EXPECT_EQ(*mbr == 0, found.find("\n" + mbrFinding + "\n") != std::string::npos) << found;
  }
}

TEST(MadeDiskCheck, TheBootCodeLineNamesBootsectsExitCode) {
  MakeMachine m([](os::sim::Machine& mm) {
    test::AddStick(mm, 1, 'E');
    mm.faults["bootsect"] = "exit-early";
  });
  m.Start();
  // The diskpart mode's clean leaves no boot code in the master boot record.
  m.Choose("UEFI+DATA", kDiskpart);
  m.PressStart();
  std::string code = sys::ReplaceAll(sys::ReplaceAll(LangString(81), "%1", "bootsect.exe"), "%2", "1");
  EXPECT_EQ(Failure(BootCodeLine("the master boot record holds no boot code") + " " + code), m.Messages().back());
}

// The UD layout boots through the UD boot code in the master boot record:
// an update of a stick that lost it fails, where one that has it passes.
TEST(MadeDiskCheck, AnUpdateOfAUdStickNeedsTheUdBootCode) {
  MakeMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
  m.Start();
  m.Choose("UD+DATA+UEFI", kNewMake);
  m.PressStart();
  ASSERT_EQ(Message(kNotice, 29), m.Messages().back());
  EXPECT_EQ("ud", m.sim().Get().FindDisk(1)->mbrCode);
  m.sim().Update([](os::sim::Machine& mm) { mm.disks[0].mbrCode.clear(); });
  m.Choose("UD+DATA+UEFI", kUpdate);
  m.PressStart();
  EXPECT_EQ(Failure(BootCodeLine("the master boot record holds no boot code")), m.Messages().back());
}

// A disk pulled out part-way is named as gone, not as badly made; the
// failing step's exit code stays on record for the log.
TEST(MadeDiskCheck, ADiskPulledOutDuringTheMakeIsNamedAsGoneWithTheStepsExitCodeRecorded) {
  MakeMachine m([](os::sim::Machine& mm) {
    test::AddStick(mm, 1, 'E');
    mm.faults["partassist"] = "unplug@resize";
  });
  m.Start();
  m.Choose("DATA+UEFI", kNewMake);
  m.PressStart();
  std::string last = m.Messages().back();
  EXPECT_NE(std::string::npos, last.find(LangString(72))) << last;
  EXPECT_EQ(std::string::npos, last.find(LangString(29))) << last;
  auto run = sys::FirstFailedRun([](const std::string& line) { return line.find("/resize") != std::string::npos; });
  ASSERT_TRUE(run.has_value());
  EXPECT_EQ(1u, run->exitCode.value_or(0));
}

// --- Windows 6: the early /whide calls and the data letter given back ----------------------

TEST(OldWindows, AWholeMakeSendsBothEarlyWhidesAndGivesTheDataLetterBack) {
  MakeMachine m([](os::sim::Machine& mm) {
    mm.windowsMajor = 6;
    mm.windowsMinor = 1;
    mm.windowsBuild = 7601;
    test::AddStick(mm, 1, 'E');
  });
  m.Start();
  m.Choose("DATA+UEFI", kNewMake);
  m.PressStart();
  EXPECT_EQ(Message(kNotice, 29), m.Messages().back());
  Lines commands = m.Commands();
  std::string whide = m.Expand("<pa> /hd:1 /whide:1");
  auto at = std::find(commands.begin(), commands.end(), whide);
  ASSERT_NE(commands.end(), at);
  ASSERT_NE(commands.end(), at + 1);
  EXPECT_EQ(whide, *(at + 1)) << "sent twice in a row";
  EXPECT_TRUE(Has(commands, m.Expand("<pa> /hd:1 /setletter:0 /letter:E:")));
  EXPECT_EQ('E', m.sim().Get().FindDisk(1)->partitions[0].letter);
  EXPECT_TRUE(fs::exists(m.PartitionFolder(1, 0) + "/Tarnvale.txt"));
}

// --- Sizes at the boundary, a stick at Z:, a partition list that cannot be deleted ---------

TEST(Boundaries, APeImageOfExactlyNineTenthsOfTheEfiPartitionPasses) {
  MakeMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
  m.SetOption("EFISize", "1000");
  std::string image = m.sim().Host("C:\\Tarnvale\\PE\\TarnvalePE.iso");
  fs::resize_file(image, 900ull << 20);
  m.Start();
  m.Choose("DATA+UEFI", kNewMake);
  m.PressStart({os::kIdCancel});
  ASSERT_EQ(1u, m.Messages().size());
  EXPECT_NE(std::string::npos, m.Messages()[0].find(LangString(18))) << "the question, not a refusal";
}

TEST(Boundaries, AStickAtZIsATarget) {
  MakeMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'Z'); });
  m.Start();
  EXPECT_NE(std::string::npos, m.EntryText().find("Z:")) << m.EntryText();
}

TEST(Boundaries, AStalePartitionListThatCannotBeDeletedIsNotUsed) {
  MakeMachine m([](os::sim::Machine& mm) { MadeDataUefi(mm, "DATA"); });
  m.Start();
  // A list of the right layout from an earlier look, read-only, and a
  // partition tool that writes no new one.
  m.Choose("DATA+UEFI", kUpdate);
  m.PressStart();
  ASSERT_EQ(Message(kNotice, 29), m.Messages().back());
  std::string list = m.sim().Host(app::sTmpPath + "\\PACMD\\usee.txt");
  ASSERT_TRUE(fs::exists(list));
  ASSERT_TRUE(os::sim::SetHostAttributes(list, 0x01));
  m.sim().Update([](os::sim::Machine& mm) { mm.faults["partassist"] = "no-output@list"; });
  m.PressStart();
  EXPECT_EQ((Lines{Message(kError, 9)}), m.Messages());
}

}  // namespace
