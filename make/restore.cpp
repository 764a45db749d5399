#include "make/restore.h"

#include "app/config.h"
#include "app/globals.h"
#include "app/language.h"
#include "app/logged_message.h"
#include "app/search_folders.h"
#include "disk/check_disk_layout.h"
#include "disk/target_check.h"
#include "disk/target_guard.h"
#include "disk/target_list.h"
#include "sys/partassist_commands.h"
#include "sys/shell_wait.h"
#include "sys/ud_tool_commands.h"
#include "sys/text.h"

namespace make {
namespace {

using app::LangString;
using os::Control;

void Step(const char* value) { app::WriteCfg("BreakPoint", value, app::CfgSection::kOption); }

// After the rebuild, the restored disk's entry is chosen again when it is
// listed; otherwise the list keeps its first entry.
void SelectDisk(os::MainWindow& window, int disk) {
  std::string mark = "HD" + std::to_string(disk) + ":";
  for (int i = 0; i < window.ListCount(Control::kRDriver); ++i) {
    if (sys::Contains(window.ListItem(Control::kRDriver, i), mark)) {
      window.SetListIndex(Control::kRDriver, i);
      return;
    }
  }
}

// A step of the restore that names the disk: it runs only while the disk is
// still the one chosen.
void RunOnTarget(const std::string& commandLine) {
  if (disk::TargetStillChosen("before " + commandLine)) sys::ShellWait(commandLine, 0);
}

}  // namespace

void InitDisk(app::Form1& form) {
  os::MainWindow& window = form.window();
  Step("0");
  if (!disk::GetDiskInfoTest(window)) return;
  int disk = app::iDiskNum;
  std::string question = window.ListText(Control::kRDriver) + "\r" + LangString(18) + "\r\r" + LangString(15);
  if (app::ShowLoggedMessage(window, question, LangString(8), os::kMbOkCancel | os::kMbIconExclamation) != os::kIdOk) return;

  Step("1");
  form.ButtonEnable(false);
  // A disk that changed while the question was open: nothing is run, the
  // user is told, and the window is given back.
  if (!disk::TargetStillChosen("after the confirmation")) {
    disk::ReportTargetLost(window);
    form.ButtonEnable(true);
    Step("0");
    return;
  }
  form.TaskbarState(1);
  window.SetProgressMarquee(true);
  // The partition tool comes from the plug-in that start-up unpacks in the
  // background: it may still be unpacking, or may have failed to.
  form.PreparePartitionTool();
  if (!form.WaitForPartitionTool()) {
    // Without the partition tool the hidden partitions stay hidden, and the
    // UD tool would wipe the disk all the same: stop before anything runs.
    window.SetCaption(Control::kStatus, LangString(3));
    form.TaskbarState(0);
    window.SetProgressMarquee(false);
    app::ShowLoggedMessage(window, LangString(92), LangString(10), os::kMbOk | os::kMbIconStop);
    form.ButtonEnable(true);
    Step("0");
    return;
  }

  Step("2");
  window.SetCaption(Control::kStatus, LangString(19));
  RunOnTarget(sys::PaUnhide(disk, 1));
  RunOnTarget(sys::PaUnhide(disk, 0));
  Step("3");
  RunOnTarget(sys::UdFormatRaw(disk));
  Step("4");
  Step("5");
  window.SetCaption(Control::kStatus, LangString(3));
  form.TaskbarState(0);
  window.SetProgressMarquee(false);

  // The tools' exit codes say nothing: the disk must now list one partition.
  app::iVerifyPhase = 2;
  bool oneVolume = disk::CheckDiskLayout(window);
  app::iVerifyPhase = 0;
  if (disk::TargetLost()) {
    disk::ReportTargetLost(window);
  } else {
    if (oneVolume) app::ShowLoggedMessage(window, LangString(31), LangString(8), os::kMbOk | os::kMbIconInformation);
    else app::ShowLoggedMessage(window, LangString(66), LangString(10), os::kMbOk | os::kMbIconStop);
    disk::RefreshTargetList(window, app::bMobileHardDisk);
    SelectDisk(window, disk);
  }

  Step("6");
  form.ButtonEnable(true);
  Step("0");
}

}  // namespace make
