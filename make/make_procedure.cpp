// The frame of a make, phase by phase: A the checks, B1 the diskpart branch,
// B2 the update branch, B3 the new-make branch, C the population, D the
// layout check and the check of the made disk (make/verify_disk), then the
// report, E the epilogue. The commands of the partitioning steps are in
// make/partition_layouts, those of the filling steps in make/populate.
#include "make/make_procedure.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "app/config.h"
#include "app/globals.h"
#include "app/language.h"
#include "app/logged_message.h"
#include "disk/big_file_size.h"
#include "disk/check_disk_layout.h"
#include "disk/letters.h"
#include "disk/target_check.h"
#include "disk/target_entry.h"
#include "disk/target_guard.h"
#include "disk/target_list.h"
#include "make/find_packages.h"
#include "make/make_request.h"
#include "make/package_listing.h"
#include "make/partition_layouts.h"
#include "make/populate.h"
#include "make/verify_disk.h"
#include "os/files.h"
#include "sys/log_records.h"
#include "sys/command_record.h"
#include "sys/processes.h"
#include "sys/run_log.h"
#include "sys/sys_ver.h"
#include "sys/text.h"

namespace make {
namespace {

using app::LangString;
using os::Control;
using os::TimerId;

// How a phase ends: go on with the next one; stop (the user has been told
// why, or cancelled) and go to the epilogue; or fail part-way, which is
// reported as a failed make before the epilogue.
enum class Next { kGoOn, kStop, kFail };

// Programs that hold the disk or fight over it; the make refuses to start
// while one runs. The texts say, in Chinese, that the named program runs and
// should be closed before trying again.
struct Conflict {
  const char* name;
  const char* message;
};
constexpr Conflict kConflicts[] = {
    // 程序检测到【酷狗音乐】正在运行，请关闭后再试！
    {"kugou",
     "\xE7\xA8\x8B\xE5\xBA\x8F\xE6\xA3\x80\xE6\xB5\x8B\xE5\x88\xB0\xE3\x80\x90\xE9\x85\xB7\xE7\x8B\x97\xE9\x9F\xB3"
     "\xE4\xB9\x90\xE3\x80\x91\xE6\xAD\xA3\xE5\x9C\xA8\xE8\xBF\x90\xE8\xA1\x8C\xEF\xBC\x8C\xE8\xAF\xB7\xE5\x85\xB3"
     "\xE9\x97\xAD\xE5\x90\x8E\xE5\x86\x8D\xE8\xAF\x95\xEF\xBC\x81"},
    // 程序检测到【DiskGenius】正在运行，请关闭后再试！
    {"diskgenius",
     "\xE7\xA8\x8B\xE5\xBA\x8F\xE6\xA3\x80\xE6\xB5\x8B\xE5\x88\xB0\xE3\x80\x90" "DiskGenius"
     "\xE3\x80\x91\xE6\xAD\xA3\xE5\x9C\xA8\xE8\xBF\x90\xE8\xA1\x8C\xEF\xBC\x8C\xE8\xAF\xB7\xE5\x85\xB3\xE9\x97\xAD"
     "\xE5\x90\x8E\xE5\x86\x8D\xE8\xAF\x95\xEF\xBC\x81"},
    // 程序检测到【分区助手】正在运行，请关闭后再试！
    {"PartAssist",
     "\xE7\xA8\x8B\xE5\xBA\x8F\xE6\xA3\x80\xE6\xB5\x8B\xE5\x88\xB0\xE3\x80\x90\xE5\x88\x86\xE5\x8C\xBA\xE5\x8A\xA9"
     "\xE6\x89\x8B\xE3\x80\x91\xE6\xAD\xA3\xE5\x9C\xA8\xE8\xBF\x90\xE8\xA1\x8C\xEF\xBC\x8C\xE8\xAF\xB7\xE5\x85\xB3"
     "\xE9\x97\xAD\xE5\x90\x8E\xE5\x86\x8D\xE8\xAF\x95\xEF\xBC\x81"},
};

constexpr uint32_t kCritical = os::kMbOk | os::kMbIconStop;
constexpr uint32_t kInformation = os::kMbOk | os::kMbIconInformation;
constexpr uint32_t kConfirmation = os::kMbOkCancel | os::kMbIconExclamation;
constexpr int kNotice = 8;  // title of notices
constexpr int kError = 10;  // title of failures
constexpr int kPackageUnreadable = 80;
constexpr int kNoFreeLetter = 82;
constexpr int kLabelRefused = 83;
constexpr int kToolTimedOut = 84;

// A label the diskpart script can carry: it goes between double quotes on
// one line, so a quote or a control character would change the script.
bool LabelFits(std::string_view label) {
  for (unsigned char c : label)
    if (c == '"' || c < 0x20 || c == 0x7F) return false;
  return true;
}

// A package fits a capacity when its size is at most 0.9 times the capacity;
// compared in whole MB, exactly.
bool TooLarge(const std::string& file, int32_t capacityMB) {
  int64_t size = disk::GetBigFileSizeMB(file);
  return size * 10 > static_cast<int64_t>(capacityMB) * 9;
}

class MakeRun {
 public:
  explicit MakeRun(MakeRequest request) : r_(std::move(request)), w_(r_.window) {}

  // Phases A6 to D.
  void Run() {
    Next next = Checks();
    if (next == Next::kGoOn && r_.diskpart) next = Guarded(DiskpartBranch());
    if (next == Next::kGoOn) {
      if (r_.update || r_.diskpart) next = Guarded(UpdateBranch());
      else if (r_.newMake) next = Guarded(NewMakeBranch());
      else next = Next::kStop;  // the entry names no make mode: nothing to do
    }
    if (next == Next::kGoOn) next = Guarded(Populate());
    if (next == Next::kGoOn) Verify();
    if (next == Next::kFail) ReportFailure();
  }

  // Phase E.
  void Epilogue() {
    r_.BreakPoint("0");
    r_.Status(3);
    r_.form.ButtonEnable(true);
    w_.SetCaption(Control::kCommand1, LangString(4));
    w_.Focus(Control::kRDriver);
  }

 private:
  void Show(int text, int title, uint32_t style) { app::ShowLoggedMessage(w_, LangString(text), LangString(title), style); }

  // A phase whose steps found the chosen disk changed fails, whatever it
  // reported: its other steps were skipped and ran nothing.
  static Next Guarded(Next next) { return disk::TargetLost() ? Next::kFail : next; }

  // The chosen entry, the warning line and the question; after OK the disk
  // must still be the one the user saw in it.
  Next Confirm(int warning) {
    std::string text = w_.ListText(Control::kRDriver) + "\r" + LangString(warning) + "\r\r" + LangString(15);
    if (app::ShowLoggedMessage(w_, text, LangString(kNotice), kConfirmation) != os::kIdOk) return Next::kStop;
    return disk::TargetStillChosen("after the confirmation") ? Next::kGoOn : Next::kFail;
  }

  void Marquee(bool on) {
    r_.form.TaskbarState(on ? 1 : 0);
    w_.SetProgressMarquee(on);
  }

  // The partition tool may still be unpacking in the background: it is
  // prepared when missing and waited for before its first use. A tool that
  // is not there even then fails the make before anything is run against it.
  bool PartitionToolReady() {
    r_.form.PreparePartitionTool();
    if (r_.form.WaitForPartitionTool()) return true;
    if (r_.form.PartitionToolTimedOut()) failureLine_ = LangString(kToolTimedOut);
    return false;
  }

  bool LayoutCheck() { return disk::CheckDiskLayout(w_); }

  // The step the make failed in, for the log: the last value of the step
  // marker, before the epilogue sets it back.
  static void LogFailure(std::string_view why) {
    sys::Log("the make failed at step " + sys::LastLoggedStep() + ": " + std::string(why));
  }

  // One partition that the layout can be cut from: it starts at the
  // layout's offset and reaches the end of the disk. Any other single
  // partition would give partitions of the wrong sizes.
  bool OnePartitionShortcut() { return LayoutCheck() && OnePartitionAtLayoutPlace(); }

  // Phase A6 to A9: the packages and the configured sizes.
  Next Checks() {
    if (r_.layout == Layout::kUdDataUefi && app::sFbaFile.empty()) return Show(7, kNotice, kCritical), Next::kStop;
    if (app::sIsoFile.empty()) return Show(41, kNotice, kCritical), Next::kStop;
    // A package that another program still writes (a copy not yet done)
    // is said so by name, before anything is asked or written.
    for (const std::string* file : {&app::sIsoFile, &app::sFbaFile, &app::s7zFile}) {
      if (file->empty() || !os::FileBeingWritten(*file)) continue;
      w_.ShowMessage(LangString(90) + "[" + *file + "]", LangString(kNotice), kCritical);
      return Next::kStop;
    }
    if (r_.newMake || r_.diskpart) {
      if (TooLarge(app::sIsoFile, r_.efiSizeMB)) return Show(48, kNotice, kCritical), Next::kStop;
      if (r_.layout == Layout::kUdDataUefi && TooLarge(app::sFbaFile, r_.udSizeMB))
        return Show(47, kNotice, kCritical), Next::kStop;
    }
    // The label goes into the diskpart script, or onto the new data
    // partition; an update leaves the label as it is.
    if ((r_.diskpart || r_.newMake) && !LabelFits(r_.label))
      return Show(kLabelRefused, kNotice, kCritical), Next::kStop;
    // The diskpart script gives the data partition a free letter, and the
    // new EFI partition the data partition's old one: without a free letter
    // the EFI partition would be taken for the data partition.
    if (r_.diskpart && disk::GetFreeLetter().empty())
      return Show(kNoFreeLetter, kNotice, kCritical), Next::kStop;
    return Next::kGoOn;
  }

  // The lists of the PE image's and the data package's files, taken once:
  // the check of the made disk compares the partitions with them. A package
  // the archiver cannot read would leave a partition empty, so the make
  // refuses it before anything is written.
  bool ListPackages() {
    if (peFiles_) return true;  // once per make
    peFiles_ = ListPackage(app::sIsoFile, "iso");
    if (!peFiles_) return RefusePackage(app::sIsoFile);
    if (!app::s7zFile.empty() && os::PathExists(app::s7zFile)) {
      dataFiles_ = ListPackage(app::s7zFile, "data");
      if (!dataFiles_) return RefusePackage(app::s7zFile);
    }
    return true;
  }

  bool RefusePackage(const std::string& package) {
    app::ShowLoggedMessage(w_, sys::ReplaceAll(LangString(kPackageUnreadable), "%1", package), LangString(kNotice), kCritical);
    return false;
  }

  // Phase B1: the disk made anew by diskpart (layout UEFI+DATA).
  Next DiskpartBranch() {
    if (sys::GetSysVer() < 10) return Show(68, kNotice, kInformation), Next::kStop;
    if (Next n = Confirm(18); n != Next::kGoOn) return n;
    if (!ListPackages()) return Next::kStop;
    // diskpart wipes the disk; without the partition tool the result could
    // not even be checked.
    if (!PartitionToolReady()) return Next::kFail;
    for (int pass = 1;; ++pass) {
      Marquee(true);
      DiskpartPass(r_);
      diskpartPassRan_ = true;
      Marquee(false);
      if (LayoutCheck()) break;
      if (disk::TargetLost()) return Next::kFail;
      if (pass == 2) {
        LogFailure("the disk does not show the layout after two diskpart passes");
        r_.Status(65);
        Show(65, kError, kCritical);
        return Next::kStop;
      }
    }
    return SetDataLabel(r_) ? Next::kGoOn : Next::kFail;
  }

  // The bar starts one step a second up to 5 %, also in a second make of
  // the run, whose predecessor left TimerProg at the last phase's 3000 ms.
  void StartTimerProg() {
    app::iProgCeiling = 5;
    w_.SetTimerInterval(TimerId::kTimerProg, 1000);
    w_.SetTimerEnabled(TimerId::kTimerProg, true);
  }

  // Phase B2: the partitions stay; the packages must fit them.
  Next UpdateBranch() {
    if (!PartitionToolReady()) return Next::kFail;
    if (!LayoutCheck()) return disk::TargetLost() ? Next::kFail : (Show(9, kError, kCritical), Next::kStop);
    if (r_.layout == Layout::kUdDataUefi && TooLarge(app::sFbaFile, app::lUDAreaMB))
      return Show(11, kError, kCritical), Next::kStop;
    if (TooLarge(app::sIsoFile, app::lEfiPartMB)) return Show(12, kError, kCritical), Next::kStop;
    if (TooLarge(app::s7zFile, app::lDataPartMB)) return Show(13, kError, kCritical), Next::kStop;
    // The data letter is the volume's at the data partition's place, which
    // need not be the first letter of the disk's entry.
    if (!FindDataLetter(r_)) return Next::kFail;
    if (!diskpartPassRan_) {
      if (Next n = Confirm(14); n != Next::kGoOn) return n;
      if (!ListPackages()) return Next::kStop;
      w_.SetCaption(Control::kCommand1, LangString(16));
    } else {
      w_.SetCaption(Control::kCommand1, LangString(6));
    }
    r_.Status(17);
    r_.BreakPoint("1");
    StartTimerProg();
    if (r_.layout == Layout::kUdDataUefi && !UdClear()) return Next::kFail;
    r_.BreakPoint("2");
    return Next::kGoOn;
  }

  // Phase B3: the disk repartitioned by the UD tool and the partition tool,
  // unless it holds exactly one partition already.
  Next NewMakeBranch() {
    if (Next n = Confirm(18); n != Next::kGoOn) return n;
    if (!ListPackages()) return Next::kStop;
    r_.BreakPoint("3");
    if (!PartitionToolReady()) return Next::kFail;
    for (int pass = 1;; ++pass) {
      if (OnePartitionShortcut()) break;
      if (disk::TargetLost()) return Next::kFail;
      r_.BreakPoint("4");
      Marquee(true);
      w_.SetCaption(Control::kCommand1, LangString(6));
      r_.Status(19);
      PartitionPass(r_);
      Marquee(false);
      if (OnePartitionShortcut()) break;
      if (disk::TargetLost()) return Next::kFail;
      if (pass == 2) {
        LogFailure("the disk does not show one partition after two partition passes");
        r_.Status(65);
        Show(66, kError, kCritical);
        Show(65, kError, kCritical);
        return Next::kStop;
      }
    }
    newMakeRan_ = true;
    DataLetterSearch("1");
    r_.BreakPoint("9");
    StartTimerProg();
    r_.BreakPoint("10");
    if (w_.ListIndex(Control::kFsys) == 0 && r_.layout == Layout::kUdDataUefi) {
      r_.Status(20);
      if (!CreateUdArea(r_)) return Next::kFail;
    }
    r_.BreakPoint("11");
    return Next::kGoOn;
  }

  // Phase C: the packages onto the partitions.
  Next Populate() {
    w_.SetProgressValue(5);
    app::iProgCeiling = 10;
    if (r_.layout == Layout::kUdDataUefi) {
      r_.Status(21);
      if (!UdLoad()) return Next::kFail;
    }
    w_.SetProgressValue(10);
    app::iProgCeiling = 25;
    w_.SetTimerInterval(TimerId::kTimerProg, 2000);
    r_.BreakPoint("12");
    if (!newMakeRan_) {
      r_.BreakPoint("13");
      r_.form.PreparePartitionTool();
      r_.BreakPoint("14");
      r_.Status(22);
      UnhideEfi(r_);
      r_.BreakPoint("15");
    } else {
      r_.BreakPoint("21");
      r_.Status(24);
      if (!CreateEfiPartition(r_)) return Next::kFail;
    }
    bool oldSystem = sys::GetSysVer() < 7;
    if (oldSystem) EarlyWhide();
    EfiLetterSearch(r_);
    if (app::sEfiLetter.size() == 2) {
      r_.Status(23);
      if (!FormatEfi()) return Next::kFail;
    }
    app::iProgCeiling = 90;
    w_.SetTimerInterval(TimerId::kTimerProg, 1000);
    r_.BreakPoint("24");
    UnpackPe();
    r_.Status(25);
    if (r_.layout != Layout::kUdDataUefi && !InstallBootCode(r_)) return Next::kFail;
    WriteEfi(r_);
    r_.BreakPoint("25");
    r_.BreakPoint("26");
    if (!app::s7zFile.empty()) {
      w_.SetProgressValue(90);
      app::iProgCeiling = 100;
      w_.SetTimerInterval(TimerId::kTimerProg, 3000);
      if (!newMakeRan_) {
        w_.SetTimerEnabled(TimerId::kTimerProg, false);
        w_.SetTimerEnabled(TimerId::kTimer1, true);
      }
    } else {
      w_.SetProgressValue(100);
      w_.SetTimerInterval(TimerId::kTimerProg, 100);
    }
    if (oldSystem) {
      r_.Status(26);
      DataLetterBack();
    }
    if (newMakeRan_) {
      r_.BreakPoint("29");
      r_.Status(27);
      if (!FormatData(r_, w_.ListIndex(Control::kFSFor))) return Next::kFail;
      r_.BreakPoint("30");
    }
    r_.BreakPoint("31");
    RemoveStaging();
    r_.BreakPoint("32");
    if (!app::s7zFile.empty() && os::PathExists(app::s7zFile)) {
      r_.Status(28);
      if (!UnpackData()) return Next::kFail;
    }
    r_.BreakPoint("33");
    if (r_.layout == Layout::kUefiData) ClosingWhide();
    return Next::kGoOn;
  }

  // The progress shown stops, and the target list shows the disks as they
  // are now, the target's entry chosen again.
  void Finish() {
    app::iVerifyPhase = 0;
    w_.SetProgressValue(0);
    r_.form.TaskbarState(0);
    if (disk::TargetLost()) return;  // the report of the changed disk rebuilt the list
    disk::RefreshTargetList(w_, app::bMobileHardDisk);
    disk::SelectTargetEntry(w_, app::iDiskNum);
  }

  // What this make promises the disk will look like.
  DiskExpectation Expectation() const {
    static const char* const kFileSystems[] = {"NTFS", "FAT32", "exFAT"};
    DiskExpectation e;
    e.layout = r_.layout;
    e.udSizeMB = newMakeRan_ ? r_.udSizeMB : app::lUDAreaMB;
    e.efiSizeMB = newMakeRan_ || diskpartPassRan_ ? r_.efiSizeMB : app::lEfiPartMB;
    e.efiHidden = r_.layout != Layout::kUefiData && app::ReadCfg("EFIHide", app::CfgSection::kOption) == "1";
    int fs = w_.ListIndex(Control::kFSFor);
    if (newMakeRan_ && fs >= 0 && fs < 3) e.dataFileSystem = kFileSystems[fs];
    if (diskpartPassRan_) e.dataFileSystem = "exFAT";
    e.peFiles = peFiles_;
    e.hasDataPackage = dataFiles_.has_value();
    e.dataFiles = dataFiles_;
    e.bootCode = BootCodeFor(r_.layout, peFiles_);
    return e;
  }

  // Phase D: the layout check of the whole disk and the check of what is
  // on it decide; success is said only for a disk that passed both.
  void Verify() {
    w_.SetTimerEnabled(TimerId::kTimer1, false);
    w_.SetProgressValue(100);
    r_.form.TaskbarValue();
    w_.SetTimerEnabled(TimerId::kTimerProg, false);
    app::iVerifyPhase = 1;
    bool layoutFound = LayoutCheck();
    Verdict verdict = VerifyMadeDisk(Expectation());
    if (layoutFound && verdict.passed && r_.layout == Layout::kUefiData) RunPartitionTypeScript();
    if (disk::TargetLost()) return ReportFailure();
    if (layoutFound && verdict.passed) {
      r_.Status(29);
      Show(29, kNotice, kInformation);
    } else {
      LogFailure("the final layout check found the disk not made");
      r_.Status(65);
      ShowFailure(verdict.failureLine);
    }
    Finish();
  }

  // The failure report, followed by the line that says what is wrong.
  void ShowFailure(const std::string& line) {
    std::string text = LangString(65);
    if (!line.empty()) text += "\r" + line;
    app::ShowLoggedMessage(w_, text, LangString(kError), kCritical);
  }

  // A make that cannot go on part-way (the partition tool is missing, a
  // letter names another disk's volume, the disk went away) is reported like
  // a failed verification, with the timers and the marquee stopped.
  void ReportFailure() {
    w_.SetTimerEnabled(TimerId::kTimer1, false);
    w_.SetTimerEnabled(TimerId::kTimerProg, false);
    w_.SetProgressMarquee(false);
    LogFailure("a step could not go on");
    r_.Status(65);
    // A disk that changed is named, with the word that nothing more was
    // written; the list then shows the disks as they are.
    if (disk::TargetLost()) {
      disk::ReportTargetLost(w_);
    } else {
      if (failureLine_.empty()) failureLine_ = PartitionStepExitCodeLine();
      ShowFailure(failureLine_);
    }
    Finish();
  }

  MakeRequest r_;
  os::MainWindow& w_;
  bool diskpartPassRan_ = false;  // phase B1 ran: the update branch asks no more
  bool newMakeRan_ = false;      // phase B3 ran: new-make steps in the population
  std::string failureLine_;      // what made the make fail part-way, when known
  std::optional<std::vector<PackageFile>> peFiles_, dataFiles_;  // the packages' lists
};

}  // namespace

void MakeProcedure(app::Form1& form) {
  os::MainWindow& window = form.window();
  for (const Conflict& c : kConflicts) {
    if (sys::ProcessAlive(sys::FindProcess(c.name)) == 1) {
      app::ShowLoggedMessage(window, c.message, "", kInformation);
      return;
    }
  }
  app::WriteCfg("BreakPoint", "0", app::CfgSection::kOption);
  if (!disk::GetDiskInfoTest(window)) return;
  sys::ClearCommandRecord();
  form.ButtonEnable(false);
  FindFbaIso7z();
  MakeRun run(ReadMakeRequest(form));
  run.Run();
  run.Epilogue();
}

}  // namespace make
