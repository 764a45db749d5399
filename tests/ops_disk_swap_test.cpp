// A disk swapped for another while an operation runs: the stick is pulled
// out while a message box is open, or just before an outside command, and a
// backup disk arrives with the same disk number and drive letter. Every
// operation notices before it writes: the backup disk keeps its partitions,
// boot code and files, no success is reported, the user is told that the
// chosen disk changed, and the window is given back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/globals.h"
#include "app/language.h"
#include "disk/target_guard.h"
#include "os/sim/disk_swap.h"
#include "os/sim/sim.h"
#include "sys/text.h"
#include "tests/support/make_machines.h"
#include "tests/support/ops_machine.h"
#include "tests/support/tool_machines.h"

namespace fs = std::filesystem;

namespace {

using app::LangString;
using test::MakeMachine;

constexpr int kNewMake = 64, kUpdate = 5, kDiskpart = 67;
constexpr int kSpare = 9;

// The backup disk: the same model and size as the stick, another serial,
// two volumes with files and its own boot code. It has no letters until it
// takes the stick's place.
void AddBackupDisk(os::sim::Machine& m) {
  os::sim::Disk& d = test::AddStick(m, kSpare, 'Q');
  d.serial = "BACKUP-0042";
  d.mbrCode = "nt60";
  d.partitions[0].letter = 0;
  d.partitions[0].label = "BACKUP";
  d.partitions[0].fileSystem = "NTFS";
  d.partitions[0].type = 0x07;
  d.partitions[0].sectors = 4096ull * 2048;
  os::sim::Partition second = d.partitions[0];
  second.start = d.partitions[0].start + d.partitions[0].sectors;
  second.sectors = 2048ull * 2048;
  second.label = "PHOTOS";
  second.folder = "disks/9/part2";
  second.bootCode = "nt60";
  d.partitions.push_back(second);
}

void WriteBackupFiles(const std::string& machineFolder) {
  for (const char* file : {"/disks/9/part1/accounts/2026.txt", "/disks/9/part2/holiday/beach.jpg"}) {
    fs::path path = machineFolder + file;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << "kept " << file;
  }
}

// Everything of a disk but its number and letters, and every file on it.
std::string Snapshot(const os::sim::Machine& m, int number, const std::string& machineFolder) {
  const os::sim::Disk* d = m.FindDisk(number);
  if (!d) return "no disk " + std::to_string(number);
  std::ostringstream out;
  out << d->vendor << "|" << d->product << "|" << d->serial << "|" << d->sizeBytes << "|mbr=" << d->mbrCode
      << "|ud=" << d->ud.sizeMB << "\n";
  std::vector<std::string> folders;
  for (const os::sim::Partition& p : d->partitions) {
    out << p.start << " " << p.sectors << " " << int(p.type) << " " << p.active << p.hidden << " " << p.fileSystem
        << " '" << p.label << "' boot=" << p.bootCode << " " << p.folder << "\n";
    folders.push_back(p.folder);
  }
  if (!d->ud.folder.empty()) folders.push_back(d->ud.folder);
  for (const std::string& folder : folders) {
    fs::path root = machineFolder + "/" + folder;
    if (!fs::exists(root)) continue;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
      if (!e.is_regular_file()) continue;
      std::ifstream in(e.path(), std::ios::binary);
      std::stringstream bytes;
      bytes << in.rdbuf();
      out << fs::relative(e.path(), machineFolder).string() << " " << bytes.str().size() << " bytes, hash "
          << std::hash<std::string>{}(bytes.str()) << "\n";
    }
  }
  return out.str();
}

std::string LostMessage(const std::string& entry) { return entry + "\r\r" + LangString(72); }

// --- The make, each mode ----------------------------------------------------------------

struct MakeSwap {
  const char* layout;
  int mode;
  const char* after;  // "": while the confirmation is open; else the command after which
  const char* last;   // a piece of the last command that ran (lower case)
};

void PrintTo(const MakeSwap& s, std::ostream* out) {
  *out << s.layout << " mode " << s.mode << " swap " << (*s.after ? s.after : "at the confirmation");
}

class MakeWithSwap : public ::testing::TestWithParam<MakeSwap> {};

TEST_P(MakeWithSwap, LeavesTheOtherDiskAsItWasAndReportsNoSuccess) {
  const MakeSwap row = GetParam();
  const bool update = row.mode == kUpdate;
  MakeMachine m([&](os::sim::Machine& mm) {
    if (update) test::AddMadeDisk(mm, 1, 'E');
    else test::UsbStickWithTwoVolumes(mm, 1);
    mm.FindDisk(1)->serial = "STICK-0001";
    AddBackupDisk(mm);
    if (*row.after) mm.swaps.push_back({1, kSpare, row.after});
  });
  if (update) test::WriteMadeDiskFiles(m.sim(), 1);
  WriteBackupFiles(m.sim().Folder());
  const std::string spare = Snapshot(m.sim().Get(), kSpare, m.sim().Folder());
  m.Start();
  m.Choose(row.layout, row.mode, 1);
  if (!*row.after) {
    m.OnMessage([&](const ui::ShownMessage& message) {
      if ((message.style & 0x0F) != os::kMbOkCancel) return;
      std::string why;
      EXPECT_TRUE(os::sim::SwapDisksNow(1, kSpare, &why)) << why;
    });
  }
  m.PressStart();

  EXPECT_EQ(spare, Snapshot(m.sim().Get(), 1, m.sim().Folder())) << "the backup disk, now disk 1";
  std::vector<std::string> messages = m.Messages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(LangString(10) + "|" + LostMessage(m.EntryAtPress()), messages.back());
  for (const std::string& shown : messages) EXPECT_EQ(std::string::npos, shown.find(LangString(29))) << shown;
  if (*row.after) {
    ASSERT_FALSE(m.Commands().empty());
    std::string last = sys::LowerAscii(m.Commands().back());
    EXPECT_NE(std::string::npos, last.find(row.last)) << "something ran after the swap: " << m.Commands().back();
    EXPECT_EQ(0u, disk::DescribeLastCheck().find("before ")) << disk::DescribeLastCheck();
  } else {
    for (const std::string& c : m.Commands()) EXPECT_NE(std::string::npos, c.find("/list:1")) << c;
    EXPECT_EQ(0u, disk::DescribeLastCheck().find("after the confirmation: the chosen disk 1"))
        << disk::DescribeLastCheck();
  }
  EXPECT_TRUE(disk::TargetLost());
  // The list shows the disks as they are, and none is chosen for the user.
  EXPECT_EQ(1, m.window().ListCount(os::Control::kRDriver));
  EXPECT_EQ(-1, m.window().ListIndex(os::Control::kRDriver));
  m.ExpectIdle();
}

INSTANTIATE_TEST_SUITE_P(
    Modes, MakeWithSwap,
    ::testing::Values(MakeSwap{"UD+DATA+UEFI", kNewMake, "", ""}, MakeSwap{"DATA+UEFI", kNewMake, "", ""},
                      MakeSwap{"UEFI+DATA", kDiskpart, "", ""}, MakeSwap{"UD+DATA+UEFI", kUpdate, "", ""},
                      MakeSwap{"UD+DATA+UEFI", kNewMake, "partassist@list", "/list:1"},
                      MakeSwap{"DATA+UEFI", kNewMake, "partassist@init", "/init:1"},
                      MakeSwap{"DATA+UEFI", kNewMake, "partassist@cre", "/cre"},
                      MakeSwap{"DATA+UEFI", kNewMake, "format", "format.com"},
                      MakeSwap{"DATA+UEFI", kNewMake, "bootsect", "bootsect"},
                      MakeSwap{"UD+DATA+UEFI", kNewMake, "aes@load", " load "},
                      MakeSwap{"UEFI+DATA", kDiskpart, "diskpart", "diskpart"},
                      MakeSwap{"UD+DATA+UEFI", kUpdate, "aes", "aes.dll"}));

// --- The restore and the boot test ------------------------------------------------------

class OpsWithSwap : public test::OpsTest {
 protected:
  void SetUp() override {
    test::OpsTest::SetUp();
    m.Update([](os::sim::Machine& mm) {
      test::AddMadeDisk(mm, 1, 'E').serial = "STICK-0001";
      AddBackupDisk(mm);
    });
    test::WriteMadeDiskFiles(m, 1);
    WriteBackupFiles(m.Folder());
    spare = Snapshot(m.Get(), kSpare, m.Folder());
  }
  void SwapNow() {
    std::string why;
    EXPECT_TRUE(os::sim::SwapDisksNow(1, kSpare, &why)) << why;
  }
  // The backup disk kept, listed, and not chosen for the user.
  void ExpectSpareKept() {
    EXPECT_EQ(spare, Snapshot(m.Get(), 1, m.Folder()));
    EXPECT_EQ(1, window->ListCount(os::Control::kRDriver));
    EXPECT_EQ(-1, window->ListIndex(os::Control::kRDriver));
  }

  std::string spare;
};

TEST_F(OpsWithSwap, ARestoreWhoseDiskChangesWhileTheQuestionIsOpenRunsNothing) {
  Start();
  std::string entry = window->ListText(os::Control::kRDriver);
  onMessage = [&](const ui::ShownMessage& message) {
    if ((message.style & 0x0F) == os::kMbOkCancel) SwapNow();
  };
  size_t mark = m.Started().size();
  Key(os::kVkF2);
  ExpectSpareKept();
  ASSERT_EQ(2u, Messages().size()) << LastMessage();
  EXPECT_EQ(LostMessage(entry), LastMessage());
  EXPECT_TRUE(StartedSince(mark).empty()) << StartedSince(mark).front();
  EXPECT_EQ("0", BreakPoints().back());
  ExpectIdle();
}

TEST_F(OpsWithSwap, ARestoreWhoseDiskChangesBeforeTheFormatStopsThere) {
  m.Update([](os::sim::Machine& mm) { mm.swaps.push_back({1, kSpare, "partassist@unhide"}); });
  Start();
  std::string entry = window->ListText(os::Control::kRDriver);
  size_t mark = m.Started().size();
  Key(os::kVkF2);
  ExpectSpareKept();
  EXPECT_EQ(LostMessage(entry), LastMessage());
  for (const ui::ShownMessage& shown : Messages()) EXPECT_NE(LangString(31), shown.text);
  std::vector<std::string> started = StartedSince(mark);
  ASSERT_FALSE(started.empty());
  EXPECT_NE(std::string::npos, started.back().find("/unhide:1")) << "the second unhide and the format did not run";
  ExpectIdle();
}

TEST_F(OpsWithSwap, ABootTestDoesNotStartTheEmulatorOnAnotherDisk) {
  Start();
  std::string entry = window->ListText(os::Control::kRDriver);
  bool swapped = false;
  window->onMarquee = [&](bool on) {
    if (on && !swapped) SwapNow(), swapped = true;
  };
  size_t mark = m.Started().size();
  Key(os::kVkF5);
  ExpectSpareKept();
  EXPECT_EQ(LostMessage(entry), LastMessage());
  for (const std::string& line : StartedSince(mark))
    EXPECT_EQ(std::string::npos, line.find("qemu.exe")) << line;
  EXPECT_FALSE(fs::exists(m.Folder() + "/qemu.log"));
  ExpectIdle();
}

TEST(DiskSwapStatement, IsReadWrittenAndRefusedWhenIncomplete) {
  std::string why;
  auto m = os::sim::ParseMachine("swap 1 9 after=partassist@list\n", &why);
  ASSERT_TRUE(m) << why;
  ASSERT_EQ(1u, m->swaps.size());
  EXPECT_EQ("partassist@list", m->swaps[0].after);
  auto again = os::sim::ParseMachine(os::sim::FormatMachine(*m), &why);
  ASSERT_TRUE(again) << why;
  EXPECT_EQ(9, again->swaps.at(0).spare);
  EXPECT_FALSE(os::sim::ParseMachine("swap 1 9\n", &why));
  EXPECT_FALSE(os::sim::ParseMachine("swap 1 1 after=aes\n", &why));
  os::sim::Machine one;
  EXPECT_FALSE(os::sim::SwapDisks(one, 1, 9, &why)) << "neither disk is described";
}

}  // namespace
