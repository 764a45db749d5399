// Restoring disk space (F2, or a click on the idle status line) on a
// simulated machine with the sample package: a made disk becomes one FAT32
// partition, the step marker goes through its values, and a failing tool is
// reported by the verification, with the window unlocked and the disk's
// entry chosen again.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/config.h"
#include "app/globals.h"
#include "app/language.h"
#include "os/sim/sim.h"
#include "sys/text.h"
#include "tests/support/ops_machine.h"
#include "tests/support/tool_machines.h"

namespace {

using app::LangString;
using os::Control;

class Restore : public test::OpsTest {
 protected:
  // The commands the program itself started (not those its command
  // interpreter started in turn).
  std::vector<std::string> ProgramCommands(size_t mark) const {
    std::vector<std::string> out;
    for (const std::string& line : StartedSince(mark))
      if (line.rfind("C:\\Windows\\System32\\cmd.exe /c ", 0) == 0 || line.rfind("\"", 0) == 0) out.push_back(line);
    return out;
  }
  std::vector<std::string> RestoreCommands(int disk) const {
    const std::string& tmp = app::sTmpPath;
    std::string pa = "C:\\Windows\\System32\\cmd.exe /c " + tmp + "\\PACMD\\PartAssist.exe ";
    std::string n = std::to_string(disk);
    return {"\"C:\\Tarnvale\\Data\\Bin\\x86.dll\" x -p52416035 " + tmp + "\\pacmd.aes -y -o\"" + tmp + "\"",
            pa + "/hd:" + n + " /unhide:1",
            pa + "/hd:" + n + " /unhide:0",
            "\"C:\\Tarnvale\\Data\\Bin\\aes.dll\" (hd" + n + ") format --force --raw --fat32 --align",
            pa + "/list:" + n + " /out:" + tmp + "\\PACMD\\usee.txt"};
  }
  std::string Confirmation() const {
    return window->ListText(Control::kRDriver) + "\r" + LangString(18) + "\r\r" + LangString(15);
  }
};

TEST_F(Restore, AMadeDiskBecomesOneFat32Partition) {
  m.Update([](os::sim::Machine& mm) { test::AddMadeDisk(mm, 1, 'E'); });
  test::WriteMadeDiskFiles(m, 1);
  Start();
  ASSERT_EQ(1, window->ListCount(Control::kRDriver));
  std::string entry = window->ListText(Control::kRDriver);
  std::string confirmation = Confirmation();
  size_t mark = m.Started().size();
  Key(os::kVkF2);

  ASSERT_EQ(2u, Messages().size()) << LastMessage();
  EXPECT_EQ(confirmation, Messages()[0].text);
  EXPECT_EQ(LangString(8), Messages()[0].title);
  EXPECT_EQ(os::kMbOkCancel | os::kMbIconExclamation, Messages()[0].style);
  EXPECT_EQ(LangString(31), Messages()[1].text);
  EXPECT_EQ(LangString(8), Messages()[1].title);
  EXPECT_EQ(os::kMbIconInformation, Messages()[1].style);
  EXPECT_EQ(RestoreCommands(1), ProgramCommands(mark));

  // One FAT32 partition over the disk from its first MB, no UD area, no
  // hidden partition; the volume keeps its letter.
  os::sim::Machine after = m.Get();
  const os::sim::Disk* d = after.FindDisk(1);
  ASSERT_NE(nullptr, d);
  EXPECT_EQ(0u, d->ud.sizeMB);
  ASSERT_EQ(1u, d->partitions.size());
  EXPECT_EQ("FAT32", d->partitions[0].fileSystem);
  EXPECT_EQ(2048u, d->partitions[0].start);
  EXPECT_FALSE(d->partitions[0].hidden);
  EXPECT_EQ('E', d->partitions[0].letter);

  // The step marker went through every step and is idle again.
  EXPECT_EQ((std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "0"}), BreakPoints());
  EXPECT_EQ("0", app::ReadCfg("BreakPoint", "Option"));
  EXPECT_EQ(0, app::iVerifyPhase);
  ExpectIdle();
  // The rebuilt entry describes the disk as it is now.
  ASSERT_EQ(1, window->ListCount(Control::kRDriver));
  EXPECT_EQ(0, window->ListIndex(Control::kRDriver));
  EXPECT_EQ(entry, window->ListText(Control::kRDriver));
}

TEST_F(Restore, TheWindowIsLockedWhileItWorksAndTheStatusLineTellsTheProgress) {
  m.Update([](os::sim::Machine& mm) { test::AddMadeDisk(mm, 1, 'E'); });
  test::WriteMadeDiskFiles(m, 1);
  Start();
  bool checked = false;
  size_t starts = 0;
  window->onCaption = [&](Control c, const std::string& text) {
    if (c != Control::kStatus || text != LangString(19) || checked) return;
    checked = true;
    // While the partition tool runs: the inputs are locked, the marquee
    // runs, and neither keys nor the status line start anything.
    EXPECT_FALSE(window->IsEnabled(Control::kCommand1));
    EXPECT_FALSE(window->IsEnabled(Control::kRDriver));
    EXPECT_TRUE(window->ProgressMarquee());
    EXPECT_EQ("2", app::ReadCfg("BreakPoint", "Option"));
    window->SetProgressValue(37);
    starts = m.Started().size();
    size_t shown = Messages().size();
    Key(os::kVkF2);
    Key(os::kVkF5);
    Key('I', true);
    form->OnClick(Control::kStatus);
    EXPECT_EQ(starts, m.Started().size());
    ASSERT_EQ(shown + 1, Messages().size());
    EXPECT_EQ(LangString(30) + "37%", Messages().back().text);
    EXPECT_EQ(LangString(8), Messages().back().title);
    EXPECT_EQ(os::kMbIconInformation, Messages().back().style);
  };
  Key(os::kVkF2);
  EXPECT_TRUE(checked);
  EXPECT_EQ(LangString(31), LastMessage());
  ExpectIdle();
}

TEST_F(Restore, AFailingUdToolGives66AndTheWindowComesBackWithTheDiskChosen) {
  // Another stick comes first in the list (its letter is the lowest), so
  // choosing the disk again is seen.
  m.Update([](os::sim::Machine& mm) {
    test::AddStick(mm, 1, 'D');
    test::AddMadeDisk(mm, 2, 'G');
    mm.faults["aes"] = "exit-early@format";
  });
  test::WriteMadeDiskFiles(m, 2);
  Start();
  ASSERT_EQ(2, window->ListCount(Control::kRDriver));
  window->SetListIndex(Control::kRDriver, 1);
  ASSERT_TRUE(sys::Contains(window->ListText(Control::kRDriver), "HD2:"));
  Key(os::kVkF2);

  EXPECT_EQ(LangString(66), LastMessage());
  EXPECT_EQ(LangString(10), Messages().back().title);
  EXPECT_EQ(os::kMbIconStop, Messages().back().style);
  // The UD area and both partitions are still there (the EFI one unhidden).
  os::sim::Machine after = m.Get();
  const os::sim::Disk* d = after.FindDisk(2);
  EXPECT_EQ(300u, d->ud.sizeMB);
  EXPECT_EQ(2u, d->partitions.size());
  ExpectIdle();
  EXPECT_EQ("0", app::ReadCfg("BreakPoint", "Option"));
  // The list was rebuilt (the unhidden EFI partition's letter is in it) and
  // the disk's entry is chosen again.
  EXPECT_EQ(2, window->ListCount(Control::kRDriver));
  EXPECT_EQ(1, window->ListIndex(Control::kRDriver));
  EXPECT_TRUE(sys::Contains(window->ListText(Control::kRDriver), "HD2: "));
  EXPECT_TRUE(sys::Contains(window->ListText(Control::kRDriver), ";")) << window->ListText(Control::kRDriver);
}

TEST_F(Restore, WithoutThePartitionToolItStopsBeforeTheDiskIsFormatted) {
  m.Update([](os::sim::Machine& mm) { test::AddMadeDisk(mm, 1, 'E'); });
  ASSERT_TRUE(std::filesystem::remove(m.Host("C:\\Tarnvale\\Data\\Plugins\\pacmd.aes")));
  Start();
  std::string before = test::Describe(*m.Get().FindDisk(1));
  size_t mark = m.Started().size();
  Key(os::kVkF2);
  ASSERT_EQ(2u, Messages().size()) << LastMessage();
  EXPECT_EQ(LangString(92), LastMessage());
  EXPECT_EQ(LangString(10), Messages().back().title);
  EXPECT_EQ(os::kMbIconStop, Messages().back().style);
  for (const std::string& command : ProgramCommands(mark)) {
    EXPECT_FALSE(sys::Contains(command, "aes.dll")) << command;
    EXPECT_FALSE(sys::Contains(command, "PartAssist")) << command;
  }
  EXPECT_EQ(before, test::Describe(*m.Get().FindDisk(1))) << "the disk is as it was";
  EXPECT_EQ("0", app::ReadCfg("BreakPoint", "Option"));
  ExpectIdle();
}

TEST_F(Restore, CancelRunsNothing) {
  m.Update([](os::sim::Machine& mm) { test::AddMadeDisk(mm, 1, 'E'); });
  Start();
  std::string before = test::Describe(*m.Get().FindDisk(1));
  // A stick plugged in meanwhile shows whether the list was rebuilt.
  m.Update([](os::sim::Machine& mm) { test::AddStick(mm, 3, 'H'); });
  size_t mark = m.Started().size();
  answers = {os::kIdCancel};
  form->OnClick(Control::kStatus);
  ASSERT_EQ(1u, Messages().size());
  EXPECT_EQ(os::kMbOkCancel | os::kMbIconExclamation, Messages()[0].style);
  EXPECT_TRUE(StartedSince(mark).empty());
  EXPECT_EQ(before, test::Describe(*m.Get().FindDisk(1)));
  EXPECT_EQ(1, window->ListCount(Control::kRDriver));
  EXPECT_EQ(std::vector<std::string>{"0"}, BreakPoints());
  ExpectIdle();
}

TEST_F(Restore, DiskTwelveIsNamedInEveryCommandAndChosenAgain) {
  m.Update([](os::sim::Machine& mm) {
    test::AddStick(mm, 1, 'E');
    test::AddMadeDisk(mm, 12, 'F');
  });
  test::WriteMadeDiskFiles(m, 12);
  Start();
  ASSERT_EQ(2, window->ListCount(Control::kRDriver));
  window->SetListIndex(Control::kRDriver, 1);
  size_t mark = m.Started().size();
  Key(os::kVkF2);
  EXPECT_EQ(LangString(31), LastMessage());
  EXPECT_EQ(RestoreCommands(12), ProgramCommands(mark));
  EXPECT_EQ(1u, m.Get().FindDisk(12)->partitions.size());
  EXPECT_EQ(1, window->ListIndex(Control::kRDriver));
  EXPECT_TRUE(sys::Contains(window->ListText(Control::kRDriver), "HD12:"));
}

TEST_F(Restore, NothingStartsDuringAMake) {
  m.Update([](os::sim::Machine& mm) { test::AddMadeDisk(mm, 1, 'E'); });
  Start();
  size_t mark = m.Started().size();
  // The start button's captions of a running make block the key...
  for (int busy : {6, 16}) {
    window->SetCaption(Control::kCommand1, LangString(busy));
    Key(os::kVkF2);
  }
  EXPECT_TRUE(Messages().empty());
  // ... and the status line then shows a step of the make: a click tells
  // the progress and starts nothing.
  window->SetCaption(Control::kStatus, LangString(24));
  window->SetProgressValue(64);
  form->OnClick(Control::kStatus);
  ASSERT_EQ(1u, Messages().size());
  EXPECT_EQ(LangString(30) + "64%", Messages()[0].text);
  EXPECT_TRUE(StartedSince(mark).empty());
  EXPECT_EQ(std::vector<std::string>{}, BreakPoints());
}

TEST_F(Restore, NoTargetShowsTheCheckMessageAndWritesOnlyTheIdleMarker) {
  Start();
  ASSERT_EQ(0, window->ListCount(Control::kRDriver));
  size_t mark = m.Started().size();
  Key(os::kVkF2);
  ASSERT_EQ(1u, Messages().size());
  EXPECT_EQ(LangString(36), Messages()[0].text);
  EXPECT_TRUE(StartedSince(mark).empty());
  EXPECT_EQ(std::vector<std::string>{"0"}, BreakPoints());
  ExpectIdle();
}

}  // namespace
