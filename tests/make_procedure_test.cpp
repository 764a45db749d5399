// The start button end to end on simulated machines with the sample package:
// each layout and make mode, what the program started and in which order,
// the step marker's values in the order they were written, and the disk
// afterwards; the refusals, the failed passes, the cancels, and the faults
// of a disk that changes under the make.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <functional>
#include <iterator>
#include <map>

#include "app/globals.h"
#include "app/language.h"
#include "os/main_window.h"
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
constexpr int kNtfs = 0, kFat32 = 1, kExfat = 2;

const std::string kList = "<pa> /list:1 /out:<tmp>\\PACMD\\usee.txt";
// The archiver's lists of the PE image and the data package, taken once per
// make after the question; and the check's look at a hidden EFI partition.
const Lines kListings = {"<cmd> /s /c \"<x86> l -slt <iso> > \"<tmp>\\iso.lst\"\"",
                         "<cmd> /s /c \"<x86> l -slt <7z> > \"<tmp>\\data.lst\"\""};
const Lines kCheckHiddenEfi = {"<pa> /hd:1 /unhide:1", "<pa> /hd:1 /hide:1"};
const Lines kPartitionPass = {"<pa> /hd:1 /unhide:1", "<pa> /hd:1 /unhide:0",
                              "<aes> (hd1) format --force --raw --fat32 --align", "<pa> /init:1"};

std::string Message(int title, int text) { return LangString(title) + "|" + LangString(text); }
std::string Confirmation(const MakeMachine& m, int warning) {
  return LangString(kNotice) + "|" + m.EntryAtPress() + "\r" + LangString(warning) + "\r\r" + LangString(15);
}

Lines Join(std::initializer_list<Lines> parts) {
  Lines out;
  for (const Lines& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

std::string HostRead(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The disk lines a make leaves, as show-disk prints them.
const std::string kStick = "Disk 1: Generic Flash Disk, 16.00 GB, usb, removable\n";
const std::string kPeFiles = "      boot\\  bootmgr  EFI\\  sources\\\n";
const std::string kDataFiles = "      Tarnvale.txt  Tools\\\n";

std::string DataPartition(int index, const std::string& letter, int sizeMB, int atMB, int fileSystem) {
  const char* type = fileSystem == kFat32 ? "0C" : "07";
  const char* names[] = {"NTFS", "FAT32", "exFAT"};
  std::string label = fileSystem == kFat32 ? "TARNVALE" : "Tarnvale";  // FAT keeps labels in upper case
  return "  partition " + std::to_string(index) + ": " + letter + ", " + std::to_string(sizeMB) + " MB at " +
         std::to_string(atMB) + " MB, type " + type + ", " + names[fileSystem] + ", label \"" + label +
         "\", boot sector: none\n" + kDataFiles;
}

// A disk made earlier by the program: an optional UD area, a FAT32 data
// partition E: and a hidden FAT32 EFI partition at the end.
void MadeDisk(os::sim::Machine& m, uint32_t udMB, uint64_t dataMB, uint64_t efiMB) {
  os::sim::Disk& d = test::AddStick(m, 1, 'E');
  d.mbrCode = udMB ? "ud" : "nt60";
  d.ud.sizeMB = udMB;
  if (udMB) d.ud.folder = "disks/1/ud";
  os::sim::Partition& data = d.partitions[0];
  data.start = (udMB ? udMB : 1) * 2048ull;
  data.sectors = dataMB * 2048;
  data.label = "DATA";
  os::sim::Partition efi;
  efi.start = data.start + data.sectors;
  efi.sectors = efiMB * 2048;
  efi.type = 0x1C;
  efi.hidden = true;
  efi.active = !udMB;
  efi.fileSystem = "FAT32";
  efi.label = "EFI";
  efi.folder = "disks/1/part2";
  d.partitions.push_back(efi);
}

// --- New-make mode, both layouts of the partition pass, every file system -------------

struct NewMakeRow {
  const char* layout;
  int fileSystem;
};

void PrintTo(const NewMakeRow& r, std::ostream* out) { *out << r.layout << " file system " << r.fileSystem; }

class NewMake : public ::testing::TestWithParam<NewMakeRow> {};

TEST_P(NewMake, RepartitionsAndFillsAStickThatHeldTwoVolumes) {
  const NewMakeRow row = GetParam();
  const bool ud = std::string(row.layout) == "UD+DATA+UEFI";
  const char* fs[] = {"NTFS", "FAT32", "exFAT"};
  MakeMachine m([](os::sim::Machine& mm) { test::UsbStickWithTwoVolumes(mm, 1); });
  m.Start();
  m.Choose(row.layout, kNewMake, row.fileSystem);
  m.PressStart();

  EXPECT_EQ((Lines{Confirmation(m, 18), Message(kNotice, 29)}), m.Messages());
  Lines udSteps = {"<aes> E: format --force --fat32 --align --primary 8M --extended 292M", "<aes> E: load <fba>"};
  Lines bootCode = {"<tmp>\\PACMD\\bootsect.exe /nt60 D: /mbr"};
  EXPECT_EQ(m.Expand(Join({kListings, {kList}, kPartitionPass, {kList}, ud ? udSteps : Lines{},
                           {"<pa> /resize:E: /reduce-right:1032MB",
                            ud ? "<pa> /hd:1 /cre /pri /size:auto /end /fs:fat32 /align /label:EFI"
                               : "<pa> /hd:1 /cre /pri /size:auto /act /end /fs:fat32 /align /label:EFI",
                            "<pa> /hd:1 /setletter:1 /letter:auto", "<format> D: /FS:FAT32 /q /x /y",
                            "<x86> x <iso> -y -aos -o\"<tmp>\\EFI\""},
                           ud ? Lines{} : bootCode,
                           {"<pa> /hd:1 /whide:1 /src:<tmp>\\EFI", "<pa> /hd:1 /hide:1",
                            "<format> E: /FS:" + std::string(fs[row.fileSystem]) + " /q /x /y",
                            "<x86> x <7z> -y -o\"E:\"", kList},
                           kCheckHiddenEfi})),
            m.Commands());
  Lines bootMarks = ud ? Lines{} : Lines{"251", "253", "254", "254"};
  EXPECT_EQ(Join({{"0", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "21", "22", "23", "22", "23", "24"},
                  bootMarks,
                  {"25", "26", "29", "30", "31", "32", "33", "0"}}),
            m.BreakPoints());

  std::string efi = ud ? "  partition 1: no letter, 1032 MB at 15352 MB, type 1C, hidden, FAT32, label \"EFI\", "
                         "boot sector: none\n"
                       : "  partition 1: no letter, 1032 MB at 15352 MB, type 1C, active, hidden, FAT32, label "
                         "\"EFI\", boot sector: nt60 (starts bootmgr)\n";
  if (ud) {
    EXPECT_EQ(kStick + "  master boot record: UD boot code (starts the UD area)\n  UD area: 300 MB\n      grldr  menu.lst\n" +
                  DataPartition(0, "E:", 15052, 300, row.fileSystem) + efi + kPeFiles,
              m.Disk(1));
  } else {
    EXPECT_EQ(kStick + "  master boot record: nt60 (starts the active partition)\n  UD area: none\n" +
                  DataPartition(0, "E:", 15351, 1, row.fileSystem) + efi + kPeFiles,
              m.Disk(1));
  }
  std::string loader = HostRead(m.PartitionFolder(1, 1) + "/EFI/BOOT/BOOTX64.EFI");
  EXPECT_EQ("MZ", loader.substr(0, 2)) << "the sample PE's UEFI loader is a PE program";
  EXPECT_NE(std::string::npos, loader.find("PE\0\0", 0, 4));
  EXPECT_EQ("Portable tools of the sample PE.\r\n", HostRead(m.PartitionFolder(1, 0) + "/Tools/readme.txt"));
  EXPECT_FALSE(m.sim().Exists(app::sTmpPath + "\\EFI")) << "the staging folder is gone";
  m.ExpectIdle();
  EXPECT_EQ("HD1: Generic Flash Disk (15.99 GB, E:)", m.EntryText()) << "the disk is chosen again";
}

INSTANTIATE_TEST_SUITE_P(Rows, NewMake,
                         ::testing::Values(NewMakeRow{"UD+DATA+UEFI", kNtfs}, NewMakeRow{"UD+DATA+UEFI", kFat32},
                                           NewMakeRow{"UD+DATA+UEFI", kExfat}, NewMakeRow{"DATA+UEFI", kNtfs},
                                           NewMakeRow{"DATA+UEFI", kFat32}, NewMakeRow{"DATA+UEFI", kExfat}));

TEST(NewMakeOnOnePartition, SkipsThePartitionPass) {
  MakeMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
  m.Start();
  m.Choose("DATA+UEFI", kNewMake, kExfat);
  m.PressStart();
  EXPECT_EQ((Lines{Confirmation(m, 18), Message(kNotice, 29)}), m.Messages());
  EXPECT_EQ(m.Expand(Join({kListings,
                           {kList, "<pa> /resize:E: /reduce-right:1032MB",
                            "<pa> /hd:1 /cre /pri /size:auto /act /end /fs:fat32 /align /label:EFI",
                            "<pa> /hd:1 /setletter:1 /letter:auto", "<format> D: /FS:FAT32 /q /x /y",
                            "<x86> x <iso> -y -aos -o\"<tmp>\\EFI\"", "<tmp>\\PACMD\\bootsect.exe /nt60 D: /mbr",
                            "<pa> /hd:1 /whide:1 /src:<tmp>\\EFI", "<pa> /hd:1 /hide:1",
                            "<format> E: /FS:exFAT /q /x /y", "<x86> x <7z> -y -o\"E:\"", kList},
                           kCheckHiddenEfi})),
            m.Commands());
  EXPECT_EQ((Lines{"0", "3", "9", "10", "11", "12", "21", "22", "23", "22", "23", "24", "251", "253", "254", "254",
                   "25", "26", "29", "30", "31", "32", "33", "0"}),
            m.BreakPoints());
  EXPECT_EQ(kStick + "  master boot record: nt60 (starts the active partition)\n  UD area: none\n" +
                DataPartition(0, "E:", 15351, 1, kExfat) +
                "  partition 1: no letter, 1032 MB at 15352 MB, type 1C, active, hidden, FAT32, label \"EFI\", "
                "boot sector: nt60 (starts bootmgr)\n" +
                kPeFiles,
            m.Disk(1));
}

// --- Update mode -------------------------------------------------------------------------

class UpdateMode : public ::testing::TestWithParam<const char*> {};

TEST_P(UpdateMode, RewritesTheBootAreasAndKeepsTheDataPartitionsOtherFiles) {
  const bool ud = std::string(GetParam()) == "UD+DATA+UEFI";
  MakeMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
  m.Start();
  m.Choose(GetParam(), kNewMake, kNtfs);
  m.PressStart();
  ASSERT_EQ(Message(kNotice, 29), m.Messages().back());
  const std::string made = m.Disk(1);
  // The user's files, one of them named as a file of the data package, and
  // a stray file in the UD area.
  std::string data = m.PartitionFolder(1, 0);
  test::WriteFiles(data, {{"mine.txt", "kept"}, {"Tarnvale.txt", "the user's version"}});
  if (ud) test::WriteFiles(m.sim().Folder() + "/" + m.sim().Get().FindDisk(1)->ud.folder, {{"stray.bin", "x"}});

  m.Choose(GetParam(), kUpdate);
  m.PressStart();
  EXPECT_EQ((Lines{Confirmation(m, 14), Message(kNotice, 29)}), m.Messages());
  Lines udSteps = {"<aes> E: clear", "<aes> E: load <fba>"};
  EXPECT_EQ(m.Expand(Join({{kList}, kListings, ud ? udSteps : Lines{},
                           {"<pa> /hd:1 /unhide:1", "<format> D: /FS:FAT32 /q /x /y",
                            "<x86> x <iso> -y -aos -o\"<tmp>\\EFI\""},
                           ud ? Lines{} : Lines{"<tmp>\\PACMD\\bootsect.exe /nt60 D: /mbr"},
                           {"<pa> /hd:1 /whide:1 /src:<tmp>\\EFI", "<pa> /hd:1 /hide:1", "<x86> x <7z> -y -o\"E:\"",
                            kList},
                           kCheckHiddenEfi})),
            m.Commands());
  EXPECT_EQ(Join({{"0", "1", "2", "12", "13", "14", "15", "22", "23", "24"},
                  ud ? Lines{} : Lines{"251", "253", "254", "254"},
                  {"25", "26", "31", "32", "33", "0"}}),
            m.BreakPoints());
  std::string expected = made;
  expected.replace(expected.find(kDataFiles), kDataFiles.size(), "      mine.txt  Tarnvale.txt  Tools\\\n");
  EXPECT_EQ(expected, m.Disk(1)) << "the same partitions; stray.bin left the UD area";
  EXPECT_EQ("kept", HostRead(data + "/mine.txt"));
  EXPECT_EQ("Files of the sample data package.\r\n", HostRead(data + "/Tarnvale.txt"));
  m.ExpectIdle();
}

INSTANTIATE_TEST_SUITE_P(Layouts, UpdateMode, ::testing::Values("UD+DATA+UEFI", "DATA+UEFI"));

// --- Diskpart mode ---------------------------------------------------------------------

TEST(DiskpartMode, MakesUefiPlusDataOnWindows10) {
  MakeMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
  m.Start();
  m.Choose("UEFI+DATA", kDiskpart);
  m.PressStart();
  // The update branch that follows asks no second question.
  EXPECT_EQ((Lines{Confirmation(m, 18), Message(kNotice, 29)}), m.Messages());
  const std::string diskpart = "<diskpart> /S \"<tmp>\\diskpart.txt\"";
  EXPECT_EQ(m.Expand(Join({kListings,
                           {diskpart, kList, kList, "<pa> /hd:1 /unhide:0", "<format> E: /FS:FAT32 /q /x /y",
                            "<x86> x <iso> -y -aos -o\"<tmp>\\EFI\"", "<tmp>\\PACMD\\bootsect.exe /nt60 E: /mbr",
                            "<pa> /hd:1 /whide:0 /src:<tmp>\\EFI", "<x86> x <7z> -y -o\"V:\"", "<pa> /hd:1 /whide:1",
                            kList, diskpart}})),
            m.Commands());
  EXPECT_EQ((Lines{"0", "1", "2", "12", "13", "14", "15", "22", "23", "24", "251", "253", "254", "254", "25", "26",
                   "31", "32", "33", "0"}),
            m.BreakPoints());
  EXPECT_EQ(kStick +
                "  master boot record: nt60 (starts the active partition)\n  UD area: none\n"
                "  partition 0: no letter, 1032 MB at 1 MB, type 1C, active, hidden, FAT32, label \"EFI\", "
                "boot sector: nt60 (starts bootmgr)\n" +
                kPeFiles + DataPartition(1, "V:", 15351, 1033, kExfat),
            m.Disk(1));
  // The script left last is the partition-type script.
  EXPECT_EQ("select disk 1\r\nselect part 1\r\nset id=1c override\r\n", m.sim().ReadFile(app::sTmpPath + "\\diskpart.txt"));
  m.ExpectIdle();
  EXPECT_EQ("HD1: Generic Flash Disk (15.99 GB, V:)", m.EntryText());
}

TEST(DiskpartMode, IsRefusedBeforeWindows10) {
  MakeMachine m([](os::sim::Machine& mm) {
    mm.windowsMajor = 6;
    mm.windowsMinor = 1;
    test::AddStick(mm, 1, 'E');
  });
  m.Start();
  const std::string before = m.Disk(1);
  m.Choose("UEFI+DATA", kDiskpart);
  m.PressStart();
  EXPECT_EQ((Lines{Message(kNotice, 68)}), m.Messages());
  EXPECT_TRUE(m.Commands().empty());
  EXPECT_EQ((Lines{"0", "0"}), m.BreakPoints());
  EXPECT_EQ(before, m.Disk(1));
  m.ExpectIdle();
}

// --- Progress hand-offs -------------------------------------------------------------------

TEST(Progress, HandsOffCeilingsAndTimersPhaseByPhase) {
  // The sample configuration has taskbar progress on: the taskbar calls
  // come in their place among the bar's changes.
  {
    SCOPED_TRACE("new-make mode with a partition pass");
    MakeMachine m([](os::sim::Machine& mm) { test::UsbStickWithTwoVolumes(mm, 1); });
    m.Start();
    m.Choose("UD+DATA+UEFI", kNewMake);
    m.PressStart();
    EXPECT_EQ((Lines{"taskbar state 1", "marquee on", "taskbar state 0", "marquee off", "ceiling 5", "TimerProg on",
                     "value 5", "ceiling 10", "value 10", "ceiling 25", "TimerProg 2000 ms", "ceiling 90",
                     "TimerProg 1000 ms", "value 90", "ceiling 100", "TimerProg 3000 ms", "value 100",
                     "taskbar value 100 100", "TimerProg off", "value 0", "taskbar state 0"}),
              m.Progress());
  }
  {
    SCOPED_TRACE("update mode: Timer1 creeps in the last phase");  // a disk the layout fills
    MakeMachine m([](os::sim::Machine& mm) { MadeDisk(mm, 0, 15351, 1032); });
    m.Start();
    m.Choose("DATA+UEFI", kUpdate);
    m.PressStart();
    ASSERT_EQ(Message(kNotice, 29), m.Messages().back());
    EXPECT_EQ((Lines{"ceiling 5", "TimerProg on", "value 5", "ceiling 10", "value 10", "ceiling 25",
                     "TimerProg 2000 ms", "ceiling 90", "TimerProg 1000 ms", "value 90", "ceiling 100",
                     "TimerProg 3000 ms", "TimerProg off", "Timer1 on", "Timer1 off", "value 100",
                     "taskbar value 100 100", "value 0", "taskbar state 0"}),
              m.Progress());
  }
  {
    SCOPED_TRACE("no data package");
    MakeMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
    m.Start();
    m.RemoveProgramFile("PE\\TarnvalePE.7z");
    m.Choose("DATA+UEFI", kNewMake);
    m.PressStart();
    EXPECT_EQ((Lines{"ceiling 5", "TimerProg on", "value 5", "ceiling 10", "value 10", "ceiling 25",
                     "TimerProg 2000 ms", "ceiling 90", "TimerProg 1000 ms", "value 100", "TimerProg 100 ms",
                     "taskbar value 100 100", "TimerProg off", "value 0", "taskbar state 0"}),
              m.Progress());
    Lines commands = m.Commands();
    ASSERT_GE(commands.size(), 4u);
    EXPECT_EQ(m.Expand(Join({{kList}, kCheckHiddenEfi})), Lines(commands.end() - 3, commands.end()))
        << "no data unpack";
    EXPECT_EQ(m.Expand("<format> E: /FS:NTFS /q /x /y"), commands[commands.size() - 4]);
  }
  {
    SCOPED_TRACE("diskpart mode: the diskpart pass is busy, then the update branch");
    MakeMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
    m.Start();
    m.Choose("UEFI+DATA", kDiskpart);
    m.PressStart();
    ASSERT_EQ(Message(kNotice, 29), m.Messages().back());
    EXPECT_EQ((Lines{"taskbar state 1", "marquee on", "taskbar state 0", "marquee off", "ceiling 5", "TimerProg on",
                     "value 5", "ceiling 10", "value 10", "ceiling 25", "TimerProg 2000 ms", "ceiling 90",
                     "TimerProg 1000 ms", "value 90", "ceiling 100", "TimerProg 3000 ms", "TimerProg off",
                     "Timer1 on", "Timer1 off", "value 100", "taskbar value 100 100", "value 0",
                     "taskbar state 0"}),
              m.Progress());
  }
}

TEST(Progress, ASecondMakeInOneRunStartsTheBarAtOneStepASecond) {
  // The first make ends with TimerProg at 3000 ms (the data package phase);
  // the next one must start again at 1000 ms, in either branch.
  const std::pair<const char*, int> modes[] = {{"DATA+UEFI", kNewMake}, {"DATA+UEFI", kUpdate}};
  for (const auto& [layout, mode] : modes) {
    SCOPED_TRACE(LangString(mode));
    MakeMachine m([](os::sim::Machine& mm) { MadeDisk(mm, 0, 15351, 1032); });
    m.Start();
    m.Choose(layout, mode);
    m.PressStart();
    ASSERT_EQ(Message(kNotice, 29), m.Messages().back());
    ASSERT_EQ(3000u, m.window().TimerInterval(os::TimerId::kTimerProg));
    m.Choose(layout, mode);
    m.PressStart();
    ASSERT_EQ(Message(kNotice, 29), m.Messages().back());
    Lines progress = m.Progress();
    auto on = std::find(progress.begin(), progress.end(), "TimerProg on");
    ASSERT_NE(progress.end(), on);
    EXPECT_NE(on, std::find(progress.begin(), on, "TimerProg 1000 ms")) << "interval set before the bar starts";
  }
}

TEST(Progress, FailedPassesAreBusyOnTheTaskbarOnlyWhileTheyRun) {
  {
    SCOPED_TRACE("two failed partition passes");
    MakeMachine m([](os::sim::Machine& mm) {
      test::UsbStickWithTwoVolumes(mm, 1);
      mm.faults["aes"] = "exit-early@format";
      mm.faults["partassist"] = "exit-early@init";
    });
    m.Start();
    m.Choose("UD+DATA+UEFI", kNewMake);
    m.PressStart();
    EXPECT_EQ((Lines{"taskbar state 1", "marquee on", "taskbar state 0", "marquee off", "taskbar state 1",
                     "marquee on", "taskbar state 0", "marquee off"}),
              m.Progress());
  }
  {
    SCOPED_TRACE("two failed diskpart passes");
    MakeMachine m([](os::sim::Machine& mm) {
      test::AddStick(mm, 1, 'E');
      mm.faults["diskpart"] = "exit-early";
    });
    m.Start();
    m.Choose("UEFI+DATA", kDiskpart);
    m.PressStart();
    EXPECT_EQ((Lines{"taskbar state 1", "marquee on", "taskbar state 0", "marquee off", "taskbar state 1",
                     "marquee on", "taskbar state 0", "marquee off"}),
              m.Progress());
  }
}

TEST(Progress, WithTaskbarProgressOffOnlyTheBarMoves) {
  for (const char* value : {"0", ""}) {
    SCOPED_TRACE(std::string("TaskbarProgress=") + value);
    MakeMachine m([](os::sim::Machine& mm) { test::UsbStickWithTwoVolumes(mm, 1); });
    m.SetOption("TaskbarProgress", value);
    m.Start();
    m.Choose("DATA+UEFI", kNewMake);
    m.PressStart();
    ASSERT_EQ(Message(kNotice, 29), m.Messages().back());
    Lines progress = m.Progress();
    EXPECT_EQ(0, std::count_if(progress.begin(), progress.end(),
                               [](const std::string& e) { return e.rfind("taskbar", 0) == 0; }));
    EXPECT_EQ("marquee on", progress.at(0));
    EXPECT_EQ("value 0", progress.back());
  }
}

// --- Refusals: nothing is written ---------------------------------------------------------

TEST(Refusals, AConflictingProgramStopsTheMakeBeforeAnythingIsWritten) {
  const std::pair<const char*, const char*> programs[] = {
      {"KuGou8.exe", "\xE3\x80\x90\xE9\x85\xB7\xE7\x8B\x97\xE9\x9F\xB3\xE4\xB9\x90\xE3\x80\x91"},  // 【酷狗音乐】
      {"DiskGenius.exe", "\xE3\x80\x90" "DiskGenius\xE3\x80\x91"},
      {"partassisthelper.exe", "\xE3\x80\x90\xE5\x88\x86\xE5\x8C\xBA\xE5\x8A\xA9\xE6\x89\x8B\xE3\x80\x91"},  // 【分区助手】
  };
  for (const auto& [program, named] : programs) {
    SCOPED_TRACE(program);
    MakeMachine m([program = program](os::sim::Machine& mm) {
      test::AddStick(mm, 1, 'E');
      mm.processes.push_back({4242, program, true});
    });
    m.Start();
    m.PressStart();
    ASSERT_EQ(1u, m.window().Messages().size());
    const ui::ShownMessage& shown = m.window().Messages()[0];
    EXPECT_EQ("Tarnvale", shown.title) << "no title of its own: the program's name";
    EXPECT_EQ(0u, shown.text.find("\xE7\xA8\x8B\xE5\xBA\x8F\xE6\xA3\x80\xE6\xB5\x8B\xE5\x88\xB0"))
        << "程序检测到";
    EXPECT_NE(std::string::npos, shown.text.find(named));
    EXPECT_EQ(os::kMbOk | os::kMbIconInformation, shown.style);
    EXPECT_TRUE(m.BreakPoints().empty()) << "BreakPoint keeps its previous value";
    EXPECT_TRUE(m.Commands().empty());
    m.ExpectIdle();
  }
  // A program running as a service or at another level opens only for the
  // limited query right: it is still found.
  MakeMachine m([](os::sim::Machine& mm) {
    test::AddStick(mm, 1, 'E');
    mm.processes.push_back({4242, "kugou.exe", false});
  });
  m.Start();
  m.PressStart();
  ASSERT_EQ(1u, m.window().Messages().size());
  EXPECT_NE(std::string::npos, m.window().Messages()[0].text.find(programs[0].second));
  EXPECT_TRUE(m.Commands().empty());
  m.ExpectIdle();
}

struct Refusal {
  const char* name;
  const char* layout;
  int mode;
  std::function<void(os::sim::Machine&)> disk;
  std::function<void(MakeMachine&)> after;  // after start-up, before the press
  int title, text;                           // the message; title 0: the new-make question
  Lines commands;
};

void PrintTo(const Refusal& r, std::ostream* out) { *out << r.name; }

std::string Host(MakeMachine& m, const std::string& relative) { return m.sim().Host("C:\\Tarnvale\\" + relative); }
void Grow(MakeMachine& m, const std::string& relative, uint64_t mb) { fs::resize_file(Host(m, relative), mb << 20); }

class Refusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refusals, ShowTheirMessageAndLeaveTheDiskAlone) {
  const Refusal& r = GetParam();
  MakeMachine m(r.disk);
  m.Start();
  if (r.after) r.after(m);
  const std::string before = m.Disk(1);
  m.Choose(r.layout, r.mode);
  m.PressStart();
  EXPECT_EQ((Lines{r.title ? Message(r.title, r.text) : Confirmation(m, r.text)}), m.Messages());
  EXPECT_EQ(m.Expand(r.commands), m.Commands());
  EXPECT_EQ((Lines{"0", "0"}), m.BreakPoints());
  EXPECT_EQ(before, m.Disk(1));
  m.ExpectIdle();
}

void Stick(os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); }
// A made disk with a UD area of 20 MB, a data partition of 100 MB and an
// EFI partition of 200 MB.
void SmallMadeDisk(os::sim::Machine& mm) { MadeDisk(mm, 20, 100, 200); }

INSTANTIATE_TEST_SUITE_P(
    Checks, Refusals,
    ::testing::Values(
        Refusal{"NoUdPackage", "UD+DATA+UEFI", kNewMake, Stick,
                [](MakeMachine& m) { m.RemoveProgramFile("PE\\TarnvalePE.fba"); }, kNotice, 7, {}},
        Refusal{"NoPeImage", "DATA+UEFI", kNewMake, Stick,
                [](MakeMachine& m) { m.RemoveProgramFile("PE\\TarnvalePE.iso"); }, kNotice, 41, {}},
        Refusal{"PeImageAboveNineTenthsOfTheEfiSize", "DATA+UEFI", kNewMake, Stick,
                [](MakeMachine& m) { Grow(m, "PE\\TarnvalePE.iso", 929); }, kNotice, 48, {}},
        Refusal{"PeImageAboveNineTenthsOfTheEfiSizeInDiskpartMode", "UEFI+DATA", kDiskpart, Stick,
                [](MakeMachine& m) {
                  m.SetOption("EFISize", "100");
                  Grow(m, "PE\\TarnvalePE.iso", 91);
                },
                kNotice, 48, {}},
        Refusal{"UdPackageAboveNineTenthsOfTheUdSize", "UD+DATA+UEFI", kNewMake, Stick,
                [](MakeMachine& m) {
                  m.SetOption("UDSize", "10");
                  Grow(m, "PE\\TarnvalePE.fba", 10);
                },
                kNotice, 47, {}},
        // 0.9 × 1032 = 928.8: an image of 928 MB passes the check; the
        // question that follows is answered with Cancel.
        Refusal{"PeImageOfNineTenthsPassesToTheQuestion", "DATA+UEFI", kNewMake, Stick,
                [](MakeMachine& m) {
                  Grow(m, "PE\\TarnvalePE.iso", 928);
                  m.SetAnswers({os::kIdCancel});
                },
                0, 18, {}},
        Refusal{"UpdateOfADiskWithoutTheLayout", "DATA+UEFI", kUpdate, Stick, nullptr, kError, 9,
                {kList}},
        Refusal{"UpdateWithTheUdPackageTooLargeForTheUdArea", "UD+DATA+UEFI", kUpdate, SmallMadeDisk,
                [](MakeMachine& m) { Grow(m, "PE\\TarnvalePE.fba", 19); }, kError, 11, {kList}},
        Refusal{"UpdateWithThePeImageTooLargeForTheEfiPartition", "UD+DATA+UEFI", kUpdate, SmallMadeDisk,
                [](MakeMachine& m) { Grow(m, "PE\\TarnvalePE.iso", 181); }, kError, 12, {kList}},
        Refusal{"UpdateWithTheDataPackageTooLargeForTheDataPartition", "UD+DATA+UEFI", kUpdate, SmallMadeDisk,
                [](MakeMachine& m) { Grow(m, "PE\\TarnvalePE.7z", 91); }, kError, 13, {kList}}),
    [](const ::testing::TestParamInfo<Refusal>& row) { return std::string(row.param.name); });

TEST(Refusals, APackageThatAnotherProgramStillWritesIsNamedAndNothingRuns) {
  for (const char* package : {"TarnvalePE.iso", "TarnvalePE.fba", "TarnvalePE.7z"}) {
    SCOPED_TRACE(package);
    MakeMachine m([&](os::sim::Machine& mm) {
      test::UsbStickWithTwoVolumes(mm, 1);
      mm.filesBeingWritten.push_back(std::string("C:\\Tarnvale\\PE\\") + package);
    });
    m.Start();
    const std::string before = m.Disk(1);
    m.Choose("UD+DATA+UEFI", kNewMake);
    m.PressStart();
    EXPECT_EQ((Lines{LangString(kNotice) + "|" + LangString(90) + "[C:\\Tarnvale\\PE\\" + package + "]"}),
              m.Messages());
    EXPECT_TRUE(m.Commands().empty());
    EXPECT_EQ(before, m.Disk(1));
    m.ExpectIdle();
  }
}

TEST(Refusals, AnEmptyTargetListIsTheTargetChecksRefusal) {
  MakeMachine m(nullptr);
  m.Start();
  m.PressStart();
  EXPECT_EQ((Lines{Message(kNotice, 36)}), m.Messages());
  EXPECT_TRUE(m.Commands().empty());
  EXPECT_EQ((Lines{"0"}), m.BreakPoints()) << "written before the check; no epilogue follows";
  m.ExpectIdle();
}

// --- Cancel at each question: no command runs --------------------------------------------

struct CancelRow {
  const char* layout;
  int mode;
  int warning;
  Lines commands;
};

void PrintTo(const CancelRow& r, std::ostream* out) { *out << r.layout << " mode " << r.mode; }

class Cancel : public ::testing::TestWithParam<CancelRow> {};

TEST_P(Cancel, RunsNothingAndWritesNothing) {
  const CancelRow& row = GetParam();
  MakeMachine m([](os::sim::Machine& mm) { MadeDisk(mm, 300, 14000, 1032); });
  m.Start();
  const std::string before = m.Disk(1);
  m.Choose(row.layout, row.mode);
  m.PressStart({os::kIdCancel});
  EXPECT_EQ((Lines{Confirmation(m, row.warning)}), m.Messages());
  EXPECT_EQ(m.Expand(row.commands), m.Commands()) << "the update's question follows its layout check";
  EXPECT_EQ((Lines{"0", "0"}), m.BreakPoints());
  EXPECT_EQ(before, m.Disk(1));
  m.ExpectIdle();
}

INSTANTIATE_TEST_SUITE_P(Questions, Cancel,
                         ::testing::Values(CancelRow{"UD+DATA+UEFI", kNewMake, 18, {}},
                                           CancelRow{"UD+DATA+UEFI", kUpdate, 14, {kList}},
                                           CancelRow{"UEFI+DATA", kDiskpart, 18, {}}));

// --- Failed passes -----------------------------------------------------------------------

TEST(PartitionPass, FailingOnceIsRepeatedWithoutAMessage) {
  MakeMachine m([](os::sim::Machine& mm) {
    test::UsbStickWithTwoVolumes(mm, 1);
    mm.faults["aes"] = "exit-early@format*1";
    mm.faults["partassist"] = "exit-early@init*1";
  });
  m.Start();
  m.Choose("DATA+UEFI", kNewMake);
  m.PressStart();
  EXPECT_EQ((Lines{Confirmation(m, 18), Message(kNotice, 29)}), m.Messages());
  Lines commands = m.Commands();
  ASSERT_GT(commands.size(), 14u);
  // The check after the failed pass, then again at the top before the second.
  EXPECT_EQ(m.Expand(Join({kListings, {kList}, kPartitionPass, {kList, kList}, kPartitionPass, {kList}})),
            Lines(commands.begin(), commands.begin() + 14));
  Lines marks = m.BreakPoints();
  EXPECT_EQ((Lines{"0", "3", "4", "5", "6", "7", "8", "4", "5", "6", "7", "8", "9"}),
            Lines(marks.begin(), marks.begin() + 13));
  EXPECT_NE(std::string::npos, m.Disk(1).find("partition 1: no letter, 1032 MB at 15352 MB, type 1C, active, hidden"));
}

TEST(PartitionPass, FailingTwiceReports66Then65) {
  MakeMachine m([](os::sim::Machine& mm) {
    test::UsbStickWithTwoVolumes(mm, 1);
    mm.faults["aes"] = "exit-early@format";
    mm.faults["partassist"] = "exit-early@init";
  });
  m.Start();
  const std::string before = m.Disk(1);
  m.Choose("UD+DATA+UEFI", kNewMake);
  m.PressStart();
  EXPECT_EQ((Lines{Confirmation(m, 18), Message(kError, 66), Message(kError, 65)}), m.Messages());
  EXPECT_EQ(m.Expand(Join({kListings, {kList}, kPartitionPass, {kList, kList}, kPartitionPass, {kList}})),
            m.Commands());
  EXPECT_EQ((Lines{"0", "3", "4", "5", "6", "7", "8", "4", "5", "6", "7", "8", "0"}), m.BreakPoints());
  EXPECT_EQ(before, m.Disk(1));
  m.ExpectIdle();
}

TEST(DiskpartPass, FailingTwiceReports65) {
  MakeMachine m([](os::sim::Machine& mm) {
    test::AddStick(mm, 1, 'E');
    mm.faults["diskpart"] = "exit-early";
  });
  m.Start();
  m.Choose("UEFI+DATA", kDiskpart);
  m.PressStart();
  EXPECT_EQ((Lines{Confirmation(m, 18), Message(kError, 65)}), m.Messages());
  const std::string diskpart = "<diskpart> /S \"<tmp>\\diskpart.txt\"";
  EXPECT_EQ(m.Expand(Join({kListings, {diskpart, kList, diskpart, kList}})), m.Commands());
  EXPECT_EQ((Lines{"0", "0"}), m.BreakPoints());
  m.ExpectIdle();
}

// --- Boot code and the EFI letter --------------------------------------------------------

// Replaces the PE image by an archive of these files (the archiver reads
// any archive by its content).
void ImageWith(MakeMachine& m, const std::map<std::string, std::string>& files) {
  std::string folder = m.sim().Folder() + "/image";
  test::WriteFiles(folder, files);
  std::string image = Host(m, "PE\\TarnvalePE.iso");
  fs::remove(image);
  ASSERT_EQ(0, system(("cd '" + folder + "' && 7zz a -t7z -bso0 -bd '" + image + "' . >/dev/null").c_str()));
}

TEST(BootCode, GrldrGetsTheLoaderInstallerAndNeitherFileGetsNone) {
  for (bool withGrldr : {true, false}) {
    SCOPED_TRACE(withGrldr ? "grldr and bootmgr" : "neither");
    MakeMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
    m.Start();
    if (withGrldr) ImageWith(m, {{"grldr", "g"}, {"bootmgr", "b"}, {"EFI/BOOT/BOOTX64.EFI", "e"}});
    else ImageWith(m, {{"EFI/BOOT/BOOTX64.EFI", "e"}});
    m.Choose("DATA+UEFI", kNewMake);
    m.PressStart();
    EXPECT_EQ(Message(kNotice, 29), m.Messages().back());
    Lines commands = m.Commands();
    std::string ginst = m.Expand("<cmd> /c <tmp>\\PACMD\\ginst.exe (hd1)");
    EXPECT_EQ(withGrldr ? 1 : 0, std::count(commands.begin(), commands.end(), ginst));
    for (const std::string& c : commands) EXPECT_EQ(std::string::npos, c.find("bootsect")) << c;
    Lines marks = m.BreakPoints();
    auto at = std::find(marks.begin(), marks.end(), "251");
    ASSERT_NE(marks.end(), at);
    EXPECT_EQ(withGrldr ? Lines({"251", "252", "25"}) : Lines({"251", "25"}), Lines(at, at + (withGrldr ? 3 : 2)));
    std::string disk = m.Disk(1);
    EXPECT_NE(std::string::npos, disk.find(withGrldr ? "master boot record: grldr boot code" : "master boot record: standard"));
  }
}

TEST(EfiLetter, NoLetterEvenAfterTheAssignmentSkipsFormatAndBootsect) {
  MakeMachine m([](os::sim::Machine& mm) {
    test::AddStick(mm, 1, 'E');
    mm.faults["partassist"] = "no-output@setletter";
  });
  m.Start();
  m.Choose("DATA+UEFI", kNewMake);
  m.PressStart();
  EXPECT_EQ(m.Expand(Join({kListings,
                           {kList, "<pa> /resize:E: /reduce-right:1032MB",
                            "<pa> /hd:1 /cre /pri /size:auto /act /end /fs:fat32 /align /label:EFI",
                            "<pa> /hd:1 /setletter:1 /letter:auto", "<x86> x <iso> -y -aos -o\"<tmp>\\EFI\"",
                            "<pa> /hd:1 /whide:1 /src:<tmp>\\EFI", "<pa> /hd:1 /hide:1",
                            "<format> E: /FS:NTFS /q /x /y", "<x86> x <7z> -y -o\"E:\"", kList},
                           kCheckHiddenEfi})),
            m.Commands());
  EXPECT_EQ((Lines{"0", "3", "9", "10", "11", "12", "21", "22", "23", "22", "23", "24", "251", "253", "254", "25",
                   "26", "29", "30", "31", "32", "33", "0"}),
            m.BreakPoints());
  // The EFI write needs no letter: the files are there and the layout is
  // right, but without bootsect's boot code the disk does not start from a
  // BIOS, and the make fails with the line that says so.
  EXPECT_EQ(LangString(kError) + "|" + LangString(65) + "\r" +
                sys::ReplaceAll(LangString(93), "%1", "the active partition's boot sector holds no boot code"),
            m.Messages().back());
  EXPECT_NE(std::string::npos, m.Disk(1).find("hidden, FAT32, label \"EFI\", boot sector: none\n" + kPeFiles));
}

// --- A tool still unpacking, another disk's letter, sizes out of range, a pulled disk ---

TEST(PartitionToolPlugIn, AMakeStartedWhileItUnpacksWaitsForIt) {
  MakeMachine m([](os::sim::Machine& mm) {
    test::AddStick(mm, 1, 'E');
    mm.faults["7zz"] = "slow@x*1";  // the plug-in's unpack takes a second
    // A clock slow enough that the real second stays well inside the
    // three simulated minutes the make waits for the unpack at most.
    mm.timeScale = 20;
  });
  m.Start(false);
  m.form().OnTimer(os::TimerId::kTimer1);  // the start-up tick starts the unpack
  m.Choose("DATA+UEFI", kNewMake);
  m.PressStart();
  EXPECT_EQ((Lines{Confirmation(m, 18), Message(kNotice, 29)}), m.Messages());
  ASSERT_GT(m.Commands().size(), 2u);
  EXPECT_EQ(m.Expand(kList), m.Commands()[2]) << "no second unpack";
  Lines all = m.sim().Started();
  EXPECT_EQ(1, std::count_if(all.begin(), all.end(),
                             [](const std::string& c) { return c.find("pacmd.aes") != std::string::npos; }));
}

TEST(PartitionToolPlugIn, AMissingToolFailsTheMakeBeforeAnyDiskWork) {
  MakeMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
  m.RemoveProgramFile("Data\\Plugins\\pacmd.aes");
  m.Start(false);
  const std::string before = m.Disk(1);
  m.Choose("UD+DATA+UEFI", kNewMake);
  m.PressStart();
  EXPECT_EQ((Lines{Confirmation(m, 18), Message(kError, 65)}), m.Messages());
  EXPECT_EQ(m.Expand(Join({kListings, {"<x86> x -p52416035 <tmp>\\pacmd.aes -y -o\"<tmp>\""}})), m.Commands());
  EXPECT_EQ((Lines{"0", "3", "0"}), m.BreakPoints());
  EXPECT_EQ(before, m.Disk(1));
  m.ExpectIdle();
}

class LetterOnAnotherDisk : public ::testing::TestWithParam<const char*> {};

TEST_P(LetterOnAnotherDisk, StopsTheMakeAndLeavesThatDiskAlone) {
  MakeMachine m([](os::sim::Machine& mm) {
    test::UsbStickWithTwoVolumes(mm, 1);
    test::AddStick(mm, 2, 0);  // plugged in, no letter yet
    mm.faults["aes"] = "give-letter@format";
  });
  m.Start();
  test::WriteFiles(m.PartitionFolder(2, 0), {{"precious.doc", "the other stick's file"}});
  m.Choose(GetParam(), kNewMake);
  m.PressStart();
  EXPECT_EQ((Lines{Confirmation(m, 18), Message(kError, 65)}), m.Messages());
  // Nothing after the partition pass: no UD tool, resize or format on E:.
  EXPECT_EQ(m.Expand(Join({kListings, {kList}, kPartitionPass, {kList}})), m.Commands());
  EXPECT_EQ("FAT32 E: 'STICK' 16383M 0c", test::Describe(*m.sim().Get().FindDisk(2)));
  EXPECT_EQ("the other stick's file", HostRead(m.PartitionFolder(2, 0) + "/precious.doc"));
  Lines marks = m.BreakPoints();
  EXPECT_EQ("0", marks.back());
  m.ExpectIdle();
}

INSTANTIATE_TEST_SUITE_P(Layouts, LetterOnAnotherDisk, ::testing::Values("UD+DATA+UEFI", "DATA+UEFI"));

TEST(SizesOutOfRange, AreTakenAsTheDefaults) {
  MakeMachine m([](os::sim::Machine& mm) { test::AddStick(mm, 1, 'E'); });
  m.SetOption("UDSize", "99999999999");
  m.SetOption("EFISize", "1e12 MB");
  m.SetOption("Label", std::string(300, 'L'));
  m.Start();
  m.Choose("UD+DATA+UEFI", kNewMake, kNtfs);
  m.PressStart();
  EXPECT_EQ(Message(kNotice, 29), m.Messages().back());
  Lines commands = m.Commands();
  EXPECT_EQ(1, std::count(commands.begin(), commands.end(),
                          m.Expand("<aes> E: format --force --fat32 --align --primary 8M --extended 292M")));
  EXPECT_EQ(1, std::count(commands.begin(), commands.end(), m.Expand("<pa> /resize:E: /reduce-right:1032MB")));
  // The label as NTFS keeps it: its first 32 characters.
  EXPECT_NE(std::string::npos, m.Disk(1).find("NTFS, label \"" + std::string(32, 'L') + "\""));
}

struct UnplugRow {
  const char* program;
  const char* fault;
  const char* layout;
  bool passFailed;  // reported as a failed partition pass (66, 65), without a list rebuild
  const char* by;   // the text of the command during which the disk went
};

void PrintTo(const UnplugRow& r, std::ostream* out) { *out << r.program << " " << r.fault << " " << r.layout; }

class Unplugged : public ::testing::TestWithParam<UnplugRow> {};

TEST_P(Unplugged, TheMakeFailsAndTheWindowIsFreeAgain) {
  const UnplugRow& row = GetParam();
  MakeMachine m([&](os::sim::Machine& mm) {
    test::UsbStickWithTwoVolumes(mm, 1);
    mm.faults[row.program] = row.fault;
  });
  m.Start();
  m.Choose(row.layout, kNewMake);
  m.PressStart();
  // The disk that went away is named, with the word that nothing more was
  // written; the make does not try the partition pass again on a disk that
  // is not there.
  Lines messages = {Confirmation(m, 18), LangString(kError) + "|" + m.EntryAtPress() + "\r\r" + LangString(72)};
  EXPECT_EQ(messages, m.Messages());
  EXPECT_EQ("0", m.BreakPoints().back());
  EXPECT_EQ(nullptr, m.sim().Get().FindDisk(1));
  if (!row.passFailed) {
    EXPECT_EQ(0, m.window().ListCount(os::Control::kRDriver)) << "the list shows the disks as they are";
  }
  // Nothing is sent to the gone volume's letter afterwards (another disk
  // could be given it).
  Lines commands = m.Commands();
  auto gone = std::find_if(commands.begin(), commands.end(),
                           [&](const std::string& c) { return c.find(row.by) != std::string::npos; });
  ASSERT_NE(commands.end(), gone);
  for (auto c = gone + 1; c != commands.end(); ++c) EXPECT_EQ(std::string::npos, c->find("E:")) << *c;
  m.ExpectIdle();
}

INSTANTIATE_TEST_SUITE_P(
    Moments, Unplugged,
    ::testing::Values(UnplugRow{"partassist", "unplug@init", "DATA+UEFI", true, "/init:1"},
                      UnplugRow{"aes", "unplug@load", "UD+DATA+UEFI", false, " load "},
                      UnplugRow{"partassist", "unplug@whide", "DATA+UEFI", false, "/whide:1 /src:"},
                      UnplugRow{"partassist", "unplug@whide", "UD+DATA+UEFI", false, "/whide:1 /src:"}));

}  // namespace
