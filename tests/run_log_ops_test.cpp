// The log of whole operations on the simulated machine: a make's commands,
// step marker values and outcome as the machine saw them, a failed make's
// step and finding, the target list's entries and left-out volumes, a
// program folder on a CD, opening the log (Ctrl+L, the menu entry 2003),
// and the close.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/language.h"
#include "os/main_window.h"
#include "sys/run_log.h"
#include "tests/support/make_machines.h"
#include "tests/support/tool_machines.h"
#include "ui/system_menu.h"

namespace {

using app::LangString;
using test::MakeMachine;
using Lines = std::vector<std::string>;

constexpr int kNewMake = 64;

// The texts of this run's log lines (without their time stamps) from the
// last line that begins with `from` on.
Lines LogTexts(const std::string& from = "") {
  Lines texts;
  const std::string& run = sys::ThisRunLog();
  size_t at = 0;
  while (at < run.size()) {
    size_t end = run.find("\r\n", at);
    std::string line = run.substr(at, end - at);
    at = end == std::string::npos ? run.size() : end + 2;
    std::string text = line.size() > 25 ? line.substr(25) : "";
    if (!from.empty() && text.rfind(from, 0) == 0) texts.clear();
    texts.push_back(text);
  }
  return texts;
}

// The part of each line after `prefix`, for the lines that begin with it.
Lines After(const Lines& texts, const std::string& prefix) {
  Lines out;
  for (const std::string& t : texts)
    if (t.rfind(prefix, 0) == 0) out.push_back(t.substr(prefix.size()));
  return out;
}

bool Has(const Lines& texts, const std::string& part) {
  for (const std::string& t : texts)
    if (t.find(part) != std::string::npos) return true;
  return false;
}

std::string HostRead(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// "exit code <n>" of each ended command, with the command line.
Lines Ended(const Lines& texts) {
  Lines out;
  for (const std::string& rest : After(texts, "command ended: exit code ")) {
    std::string code = rest.substr(0, rest.find(','));
    out.push_back(code + " " + rest.substr(rest.find(": ") + 2));
  }
  return out;
}

TEST(MakeLog, EveryCommandAndStepInOrderAndTheOutcomeAsShown) {
  MakeMachine m([](os::sim::Machine& mm) { test::UsbStickWithTwoVolumes(mm, 1); });
  m.Start();
  m.Choose("UD+DATA+UEFI", kNewMake);
  m.PressStart();
  Lines texts = LogTexts("operation make starts");

  ASSERT_FALSE(m.Commands().empty());
  EXPECT_EQ(m.Commands(), After(texts, "command started: ")) << "every command of started.log, in its order";
  Lines ended = Ended(texts);
  ASSERT_EQ(m.Commands().size(), ended.size()) << "each command's end with its exit code";
  for (size_t i = 0; i < ended.size(); ++i) EXPECT_EQ("0 " + m.Commands()[i], ended[i]);
  EXPECT_EQ(m.BreakPoints(), After(texts, "step: BreakPoint = ")) << "every step marker value, in order";

  ASSERT_FALSE(m.Messages().empty());
  std::string shown = m.Messages().back();
  EXPECT_EQ(LangString(8) + "|" + LangString(29), shown);
  EXPECT_EQ(Lines{sys::OneLogLine(LangString(29))}, After(texts, "outcome of the make: "));
  EXPECT_TRUE(Has(texts, "answer: OK")) << "the confirmation's answer";
  EXPECT_TRUE(Has(texts, "check target: passed - chosen HD1: Generic Flash Disk (15.99 GB, E:;F:), data letter E:"));
  EXPECT_TRUE(Has(texts, "serial \"")) << "the recorded identity";
  EXPECT_TRUE(Has(texts, "check layout of disk 1 (UD+DATA+UEFI # " + LangString(kNewMake) +
                             ", phase 1): passed - 3 partition rows"))
      << "the final check with the rows it read";
  EXPECT_TRUE(Has(texts, "check identity: passed - after the confirmation: ")) << "the identity check after OK";
  EXPECT_TRUE(Has(texts, "check verification: passed - the partitions as the layout puts them, the PE image's "))
      << "the check of the made disk with what it looked at";

  // The file holds the same lines as this run's log, after what came before.
  std::string file = HostRead(m.sim().Host("C:\\Tarnvale\\Tarnvale.log"));
  EXPECT_TRUE(file.ends_with(sys::ThisRunLog()));
}

TEST(MakeLog, AFailedMakeNamesTheStepAndTheFinding) {
  MakeMachine m([](os::sim::Machine& mm) {
    test::UsbStickWithTwoVolumes(mm, 1);
    mm.faults["aes"] = "exit-early@format";
    mm.faults["partassist"] = "exit-early@init";
  });
  m.Start();
  m.Choose("UD+DATA+UEFI", kNewMake);
  m.PressStart();
  Lines texts = LogTexts("operation make starts");
  EXPECT_TRUE(Has(texts, "the make failed at step 8: the disk does not show one partition after two partition passes"));
  EXPECT_TRUE(Has(texts, "check layout of disk 1 (UD+DATA+UEFI # " + LangString(kNewMake) +
                             ", phase 0): FAILED - 2 partition rows"))
      << "the layout check's finding";
  bool failedFormat = false;
  for (const std::string& e : Ended(texts)) failedFormat |= e.rfind("1 ", 0) == 0 && e.find(" format ") != std::string::npos;
  EXPECT_TRUE(failedFormat) << "the failing tool's exit code 1 is logged";
  EXPECT_EQ(Lines{sys::OneLogLine(LangString(65))}, After(texts, "outcome of the make: "));
}

// The two checks that stop a make: the check of the made disk with what it
// found, and the identity check of a disk that another took the place of.
TEST(MakeLog, TheMadeDisksCheckAndAChangedDiskAreLoggedWithWhatTheyFound) {
  {
    SCOPED_TRACE("the EFI partition written half-way");
    MakeMachine m([](os::sim::Machine& mm) {
      test::AddStick(mm, 1, 'E');
      mm.faults["partassist"] = "partial@whide";
    });
    m.Start();
    m.Choose("DATA+UEFI", kNewMake);
    m.PressStart();
    Lines texts = LogTexts("operation make starts");
    EXPECT_TRUE(Has(texts, "check verification: FAILED - the EFI partition lacks 3 of 5 files of the PE image"));
    Lines outcome = After(texts, "outcome of the make: ");
    ASSERT_EQ(1u, outcome.size());
    EXPECT_EQ(0u, outcome[0].find(sys::OneLogLine(LangString(65)))) << outcome[0];
  }
  {
    SCOPED_TRACE("another disk in the stick's place after the EFI partition is made");
    MakeMachine m([](os::sim::Machine& mm) {
      test::AddStick(mm, 1, 'E').serial = "STICK-0001";
      os::sim::Disk& other = test::AddStick(mm, 9, 'Q');
      other.serial = "BACKUP-0042";
      other.partitions[0].letter = 0;
      mm.swaps.push_back({1, 9, "partassist@cre"});
    });
    m.Start();
    m.Choose("DATA+UEFI", kNewMake);
    m.PressStart();
    Lines texts = LogTexts("operation make starts");
    bool named = false;
    for (const std::string& t : After(texts, "check identity: FAILED - "))
      named |= t.find("STICK-0001") != std::string::npos && t.find("BACKUP-0042") != std::string::npos;
    EXPECT_TRUE(named) << "the failed identity check names the recorded and the found serial";
    EXPECT_FALSE(Has(texts, "check verification:")) << "a changed disk is not checked as made";
    Lines outcome = After(texts, "outcome of the make: ");
    ASSERT_EQ(1u, outcome.size());
    EXPECT_NE(std::string::npos, outcome[0].find(sys::OneLogLine(LangString(72)))) << outcome[0];
  }
}

TEST(MakeLog, AProgramFolderOnACdLogsToTheTemporaryFolderAndTheMakeIsTheSame) {
  MakeMachine normal([](os::sim::Machine& mm) { test::UsbStickWithTwoVolumes(mm, 1); });
  normal.Start();
  normal.Choose("DATA+UEFI", kNewMake);
  normal.PressStart();

  MakeMachine m([](os::sim::Machine& mm) {
    test::UsbStickWithTwoVolumes(mm, 1);
    // The program folder C:\Tarnvale seen also through the CD drive D:.
    os::sim::Drive cd;
    cd.letter = 'D';
    cd.kind = os::sim::Drive::Kind::kCdrom;
    cd.folder = "drives/C";
    cd.fileSystem = "CDFS";
    mm.drives.push_back(cd);
    mm.program = "D:\\Tarnvale\\Tarnvale.exe";
  });
  m.Start();
  m.Choose("DATA+UEFI", kNewMake);
  m.PressStart();
  EXPECT_EQ("C:\\Windows\\Temp\\Tarnvale.log", sys::LogPath());
  EXPECT_FALSE(m.sim().Exists("D:\\Tarnvale\\Tarnvale.log"));
  EXPECT_TRUE(HostRead(m.sim().Host("C:\\Windows\\Temp\\Tarnvale.log")).ends_with(sys::ThisRunLog()));
  EXPECT_EQ(normal.Messages(), m.Messages()) << "the make is not affected";
  EXPECT_EQ(normal.Disk(1), m.Disk(1));
  EXPECT_EQ(normal.BreakPoints(), m.BreakPoints());
}

TEST(TargetListLog, EntriesWithTheirIdentityAndWhyOthersWereLeftOut) {
  MakeMachine m([](os::sim::Machine& mm) {
    os::sim::Disk& stick = test::UsbStickWithTwoVolumes(mm, 1);
    stick.serial = "AA0042";
    os::sim::Drive cd;
    cd.letter = 'R';
    cd.kind = os::sim::Drive::Kind::kCdrom;
    mm.drives.push_back(cd);
  });
  m.Start();
  Lines texts = LogTexts("target list rebuilt");
  EXPECT_EQ("target list rebuilt (removable disks):", texts.at(0));
  EXPECT_TRUE(Has(texts, "  entry HD1: Generic Flash Disk (15.99 GB, E:;F:) - disk 1, bus USB, vendor \"Generic\", "
                         "product \"Flash Disk\", serial \"AA0042\", size "));
  EXPECT_TRUE(Has(texts, "  left out C: not removable: a fixed drive"));
  EXPECT_TRUE(Has(texts, "  left out R: not removable: a CD or DVD drive"));

  // With USB hard disks, the system disk is named as not on the USB bus.
  m.form().OnSysCommand(ui::kMenuMobileHardDisk);
  texts = LogTexts("target list rebuilt");
  EXPECT_EQ("target list rebuilt (USB sticks and USB hard disks):", texts.at(0));
  EXPECT_TRUE(Has(texts, "  left out R: not a disk: a CD or DVD drive"));
}

TEST(OpenLog, CtrlLAndTheMenuEntryOpenTheLogWithTheShell) {
  MakeMachine m([](os::sim::Machine& mm) { test::UsbStickWithTwoVolumes(mm, 1); });
  m.Start();
  std::string shellLog = m.sim().Folder() + "/shell-open.log";
  m.form().OnKeyDown(os::kVkL, os::KeyModifiers{false, true, false});
  EXPECT_EQ("C:\\Tarnvale\\Tarnvale.log\t\t\t1\n", HostRead(shellLog));
  m.form().OnKeyDown(os::kVkL, os::KeyModifiers{});
  EXPECT_EQ("C:\\Tarnvale\\Tarnvale.log\t\t\t1\n", HostRead(shellLog)) << "L alone is no command";
  ui::SysMenuProc(os::WindowMessage{os::kWmSysCommand, ui::kMenuLog, 0});
  EXPECT_EQ("C:\\Tarnvale\\Tarnvale.log\t\t\t1\nC:\\Tarnvale\\Tarnvale.log\t\t\t1\n", HostRead(shellLog));
  EXPECT_TRUE(m.Messages().empty());

  // When the shell cannot open it, a message gives its path.
  m.sim().Update([](os::sim::Machine& mm) { mm.faults["shell-open"] = "fail"; });
  m.form().OnKeyDown(os::kVkL, os::KeyModifiers{false, true, false});
  EXPECT_EQ((Lines{LangString(10) + "|" + LangString(86) + "C:\\Tarnvale\\Tarnvale.log"}), m.Messages());
}

TEST(OpenLog, WithoutALogFileAMessageSaysWhy) {
  MakeMachine m([](os::sim::Machine& mm) {
    test::UsbStickWithTwoVolumes(mm, 1);
    os::sim::Drive cd;
    cd.letter = 'D';
    cd.kind = os::sim::Drive::Kind::kCdrom;
    cd.folder = "drives/C";
    mm.drives.push_back(cd);
    mm.program = "D:\\Tarnvale\\Tarnvale.exe";
    mm.env["TEMP"] = "D:\\Temp";
    mm.env["TMP"] = "D:\\Temp";
  });
  m.Start();
  EXPECT_EQ("", sys::LogPath());
  EXPECT_TRUE(Has(LogTexts(), "target list rebuilt")) << "the run's lines are kept all the same";
  m.form().OnKeyDown(os::kVkL, os::KeyModifiers{false, true, false});
  EXPECT_EQ((Lines{LangString(8) + "|" + LangString(87)}), m.Messages());
  EXPECT_EQ("", HostRead(m.sim().Folder() + "/shell-open.log"));
}

TEST(CloseLog, TheStartAndTheEndOfTheRun) {
  MakeMachine m([](os::sim::Machine& mm) {
    test::UsbStickWithTwoVolumes(mm, 1);
    mm.elevated = false;
  });
  m.Start();
  Lines texts = LogTexts();
  EXPECT_EQ("---- a new run ----", texts.at(0));
  EXPECT_TRUE(Has(texts, "Tarnvale 12.0.0 started"));
  EXPECT_TRUE(Has(texts, "Windows: 10.0 build 19045, 64-bit, this program "));
  EXPECT_TRUE(Has(texts, ", not elevated"));
  EXPECT_TRUE(Has(texts, "language 1033: C:\\Tarnvale\\Data\\Lang\\1033.lng"));
  EXPECT_TRUE(Has(texts, "configuration file: C:\\Tarnvale\\PE\\"));
  EXPECT_TRUE(Has(texts, "PE image: C:\\Tarnvale\\PE\\"));
  EXPECT_TRUE(Has(texts, " bytes)")) << "package sizes";
  std::string folder = app::sTmpPath;
  m.form().OnUnload();
  EXPECT_EQ("closed; the per-run folder was removed: " + folder, LogTexts().back());
  std::string file = HostRead(m.sim().Host("C:\\Tarnvale\\Tarnvale.log"));
  EXPECT_NE(std::string::npos, file.find("closed; the per-run folder was removed"));
}

}  // namespace
