#include "app/form1.h"

#include <cstdio>
#include <cstring>

#include "app/config.h"
#include "app/globals.h"
#include "app/language.h"
#include "app/logged_message.h"
#include "app/open_log.h"
#include "app/run_records.h"
#include "app/search_folders.h"
#include "app/split_cmd.h"
#include "app/version.h"
#include "disk/target_list.h"
#include "make/find_packages.h"
#include "os/files.h"
#include "os/instance.h"
#include "os/system.h"
#include "sys/archiver_commands.h"
#include "sys/kill_path.h"
#include "sys/random_str.h"
#include "sys/run_log.h"
#include "sys/shell_wait.h"
#include "sys/sys_ver.h"
#include "sys/text.h"
#include "ui/combo_sizing.h"
#include "ui/form2.h"
#include "ui/frm_about.h"
#include "ui/nc_metrics.h"
#include "ui/system_menu.h"

namespace app {

using os::Control;

namespace {

constexpr const char* kOption = CfgSection::kOption;
// Two ideographic spaces set the two-partition entries apart from the
// entries of the same layouts when no UD package is shipped.
constexpr const char* kWidePad = " \xE3\x80\x80\xE3\x80\x80 # ";
// 任务栏进度条，0为不显示，1为显示。（默认显示）
constexpr const char* kTaskbarComment =
    "//\xE4\xBB\xBB\xE5\x8A\xA1\xE6\xA0\x8F\xE8\xBF\x9B\xE5\xBA\xA6\xE6\x9D\xA1\xEF\xBC\x8C" "0"
    "\xE4\xB8\xBA\xE4\xB8\x8D\xE6\x98\xBE\xE7\xA4\xBA\xEF\xBC\x8C" "1"
    "\xE4\xB8\xBA\xE6\x98\xBE\xE7\xA4\xBA\xE3\x80\x82\xEF\xBC\x88\xE9\xBB\x98\xE8\xAE\xA4\xE6\x98\xBE\xE7\xA4\xBA\xEF\xBC\x89";

// How long the window, when it closes, lets a background unpack of the
// partition tool finish before it ends the archiver, and then waits for it
// to let go of its files.
constexpr uint32_t kUnpackGraceMs = 3000;

constexpr int kMenuLimitUsbDisk = 2030;
constexpr int kMenuMobileHardDisk = 2031;

}  // namespace

Form1::Form1(const WindowMaker& makeWindow, Operations* operations)
    : window_(makeWindow(*this)), progressBar1_(window_->ProgressBar1Window()), operations_(operations) {
  // ProgressBar1 keeps its defaults: range 0 to 100, no marquee.
  progressBar1_.Create();
  window_->AttachProgressBar1(&progressBar1_);
}

Form1::~Form1() { window_->AttachProgressBar1(nullptr); }

bool Form1::Load() {
  // First of all: probing an empty card reader or CD drive must not bring up
  // the system's "no disk" box, here or in the programs started later.
  os::SuppressErrorBoxes();

  // 1. One instance at a time.
  if (os::PreviousInstanceExists()) {
    if (HandOverToFirstInstance()) return false;
    // With "/source:" a second window opens; no second instance can reach it.
  } else {
    servingInstanceCommands_ =
        os::ServeInstanceCommands([this](const std::string& command) { OnInstanceCommand(command); });
  }

  // The log of this run, beside the program or in the temporary folder.
  sys::StartLog(ProgramFolder());

  // 2. The language id: the system default, or the "/lng:" switch.
  ChooseLanguageId();

  // 3. From here on, whatever fails is left out and start-up goes on.
  // 4. The window's font: the system's caption font when it can be read,
  //    the window's own face otherwise; character set 1 and 9 points either way.
  ui::cNCMetrics metrics;
  sFontName = metrics.GetMetrics() ? metrics.FontName() : "";
  window_->SetFontName(sFontName.empty() ? window_->FontName() : sFontName);

  // 5. The language file: strings and captions.
  ApplyLanguage(*window_);

  // 6. The lists as tall as the buttons.
  ui::SetComboHeight(*window_, Control::kRDriver, 0);
  ui::SetComboHeight(*window_, Control::kFsys, 0);
  ui::SetComboHeight(*window_, Control::kFSFor, 0);

  // 7. The taskbar button's progress object (Windows 7 and later).
  if (sys::GetSysVer() >= 6) oTaskbarList = os::CreateTaskbarList(window_->Handle());

  // 8. The per-run temporary folder.
  MakeTemporaryFolder();

  // 9. The configuration file.
  FindConfigFile();

  // 10. The system menu's entries, and the procedure that carries them out.
  ui::AddSystemMenu(*window_, [this](int id) { OnSysCommand(id); });

  // 11. The caption.
  std::string title = ReadCfg("Title", kOption);
  if (title.empty())
    title = std::string(kProductName) + " " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
  window_->SetTitle(title);

  // 12, 13. The packages beside the program decide the layouts offered.
  FillLayoutList(make::FindFbaIso7z());
  window_->SetListIndex(Control::kFsys, 0);
  LogStartRecord();

  // 14. The file system offered first.
  std::string format = ReadCfg("DefaultFormat", kOption);
  window_->SetListIndex(Control::kFSFor, format == "0" ? 0 : format == "1" ? 1 : 2);

  // 15. Progress on the taskbar button.
  ApplyTaskbarProgressRule();

  // 16, 17. The two options.
  if (sys::Val(ReadCfg("LimitUSBDisk", kOption)) != 0) window_->SetMenuChecked(kMenuLimitUsbDisk, true);
  if (sys::Val(ReadCfg("MobileHardDisk", kOption)) == 1) {
    bMobileHardDisk = true;
    window_->SetMenuChecked(kMenuMobileHardDisk, true);
  }

  // 18. The target disks.
  disk::RefreshTargetList(*window_, bMobileHardDisk);

  // Without administrator rights (a start that bypassed the manifest) every
  // disk operation would fail, some only after the destructive confirmation:
  // the user is told now, and no operation is offered.
  if (!os::IsElevated()) {
    notElevated_ = true;
    window_->ShowMessage(LangString(88), LangString(10), os::kMbOk | os::kMbIconStop);
    ButtonEnable(false);
    return true;
  }

  // 19. The background preparation of the partition tool.
  window_->SetTimerEnabled(os::TimerId::kTimer1, true);
  return true;
}

bool Form1::HandOverToFirstInstance() {
  if (sys::Contains(sys::LowerAscii(os::CommandLine()), "/source:")) return false;
  // The first instance comes back; this one ends without a trace. When the
  // first does not answer within two seconds, this one ends all the same.
  SendToPrevInstance("Nor");
  return true;
}

bool Form1::SendToPrevInstance(std::string_view command) { return os::SendToPreviousInstance(command, 2000); }

void Form1::ChooseLanguageId() {
  os::SetThreadLocaleId(os::SystemDefaultLocale());
  // Every argument counts, the program path included; a later one wins.
  for (const std::string& arg : SplitCmd()) {
    std::string lower = sys::LowerAscii(arg);
    if (!sys::Contains(lower, "/lng:")) continue;
    double value = sys::Val(sys::ReplaceAll(lower, "/lng:", ""));
    // A value of one to three characters (such as 0 or 123) is no locale id.
    char text[32];
    snprintf(text, sizeof text, "%.15g", value);
    int64_t id = sys::RoundHalfEven(value);
    if (strlen(text) > 3 && id > 0 && id <= 0xFFFFFFFF) os::SetThreadLocaleId(static_cast<uint32_t>(id));
  }
}

void Form1::MakeTemporaryFolder() {
  // The Windows folder as the system gives it: a windir variable of the
  // user's session must not choose where the elevated program puts its tools.
  std::string windows = os::WindowsFolder();
  if (windows.empty()) return;
  if (!os::PathExists(windows + "\\Temp")) os::CreateFolder(windows + "\\Temp");
  std::string folder = windows + "\\Temp\\" + sys::RandomStr(8);
  os::CreateFolderPath(folder + "\\");
  // A folder that could not be made is no working folder: the operations
  // then refuse to start rather than work at a drive's root.
  if (os::PathExists(folder)) sTmpPath = folder;
}

void Form1::FillLayoutList(int16_t packages) {
  const std::string& newMake = LangString(64);
  const std::string& update = LangString(5);
  const std::string& diskpart = LangString(67);
  Control fsys = Control::kFsys;
  window_->ListClear(fsys);
  if (packages == make::kIsoWithoutFba) {
    window_->ListAdd(fsys, "DATA+UEFI # " + newMake);
    window_->ListAdd(fsys, "DATA+UEFI # " + update);
    window_->ListAdd(fsys, "UEFI+DATA # " + diskpart);
    return;
  }
  window_->ListAdd(fsys, "UD+DATA+UEFI # " + newMake);
  window_->ListAdd(fsys, "UD+DATA+UEFI # " + update);
  if (ReadCfg("TwoPartEnable", kOption) == "1") {
    window_->ListAdd(fsys, std::string("DATA+UEFI") + kWidePad + newMake);
    window_->ListAdd(fsys, std::string("DATA+UEFI") + kWidePad + update);
    window_->ListAdd(fsys, std::string("UEFI+DATA") + kWidePad + diskpart);
  }
}

void Form1::ApplyTaskbarProgressRule() {
  if (ReadCfg("TaskbarProgress", kOption) != "1") return;
  iTaskbarProg = 1;
  // A run that stopped inside a step that drives the taskbar (1 or 4) turns
  // the feature off for good.
  std::string breakPoint = ReadCfg("BreakPoint", kOption);
  if (breakPoint == "4" || breakPoint == "1") {
    iTaskbarProg = 0;
    WriteCfg("TaskbarProgress", std::string("0\t\t\t\t") + kTaskbarComment, kOption);
    WriteCfg("BreakPoint", "0", kOption);
  }
}

void Form1::ButtonEnable(bool enable) {
  for (Control c : {Control::kFsys, Control::kFSFor, Control::kRDriver, Control::kUReFresh, Control::kCommand1})
    window_->SetEnabled(c, enable);
}

void Form1::TaskbarState(int state) {
  if (iTaskbarProg == 1 && oTaskbarList) oTaskbarList->SetProgressState(state);
}

void Form1::TaskbarValue() {
  // The bar's value as the completed part of 100, its 32 bits as they are.
  if (iTaskbarProg == 1 && oTaskbarList)
    oTaskbarList->SetProgressValue(static_cast<uint32_t>(progressBar1_.Value()), 100);
}

// --- Operations ---------------------------------------------------------------

void Form1::RunOperation(std::string_view name, const std::function<void()>& operation) {
  if (!operations_ || guard_.Busy()) return;
  LogOperationStart(name, *window_);
  if (notElevated_) {
    ShowLoggedMessage(*window_, LangString(88), LangString(10), os::kMbOk | os::kMbIconStop);
    LogOperationEnd(name);
    return;
  }
  // Every operation keeps its scripts and tools in the per-run folder;
  // without one their paths would point at a drive's root.
  if (sTmpPath.empty()) {
    ShowLoggedMessage(*window_, LangString(91), LangString(10), os::kMbOk | os::kMbIconStop);
  } else {
    guard_.Run(operation);
  }
  LogOperationEnd(name);
}

void Form1::Command1_Click() {
  RunOperation("make", [this] { operations_->Make(); });
}

void Form1::InitDisk() {
  RunOperation("restore", [this] { operations_->Restore(); });
}

void Form1::InstPEToDisk() {
  RunOperation("local install", [this] { operations_->InstallToLocalDisk(); });
}

void Form1::StartupTest(int wp) {
  RunOperation(wp == ui::kMenuBootEfi ? "boot test (EFI X64)" : "boot test (BIOS)",
               [this, wp] { operations_->BootTest(wp); });
}

// --- Events ---------------------------------------------------------------------

bool Form1::ShowsBusyCaption() {
  std::string caption = window_->Caption(Control::kCommand1);
  // An empty string (no language file) marks no busy caption.
  auto is = [&](int n) { return !LangString(n).empty() && caption == LangString(n); };
  return is(6) || is(16);
}

void Form1::OnKeyDown(int key, os::KeyModifiers modifiers) {
  // The log can be looked at at any time, also while an operation runs.
  if (key == os::kVkL && modifiers.ctrl && !modifiers.shift && !modifiers.alt) {
    OpenLogFile(*window_);
    return;
  }
  if (ShowsBusyCaption()) return;
  if (key == os::kVkF2) {
    InitDisk();
  } else if (key == os::kVkF5) {
    StartupTest(2020);
  } else if (key == os::kVkI && modifiers.ctrl && !modifiers.shift && !modifiers.alt) {
    InstPEToDisk();
  }
}

void Form1::ShowProgressMessage() {
  window_->ShowMessage(LangString(30) + std::to_string(window_->ProgressValue()) + "%", LangString(8),
                      os::kMbOk | os::kMbIconInformation);
}

void Form1::OnClick(Control control) {
  switch (control) {
    case Control::kCommand1:
      Command1_Click();
      break;
    case Control::kStatus:
      // The status line starts a restore only while it shows its idle text
      // and nothing runs; otherwise it tells how far the running work is.
      if (window_->Caption(Control::kStatus) != LangString(3) || guard_.Busy()) ShowProgressMessage();
      else InitDisk();
      break;
    case Control::kUReFresh:
      // A rebuild is an operation too: it must not run inside another.
      guard_.Run([this] {
        window_->SetEnabled(Control::kUReFresh, false);
        disk::RefreshTargetList(*window_, bMobileHardDisk);
        window_->SetEnabled(Control::kUReFresh, true);
      });
      break;
    default:
      break;
  }
}

void Form1::OnDropDown(Control control) {
  if (control == Control::kRDriver) ui::SetComboWidth(*window_, control);
  if (control == Control::kRDriver || control == Control::kFsys || control == Control::kFSFor)
    ui::SetComboHeight(*window_, control, 0);
}

void Form1::CopyFixFile(const std::string& source, const std::string& target, std::string_view password) {
  if (!oFileIO) oFileIO = std::make_unique<sys::FileIO>();
  oFileIO->SourceFile(source);
  oFileIO->TargetFile(target);
  oFileIO->pswBox(password);
  oFileIO->FilePercentBox([this](const std::string& caption) { window_->SetCaption(Control::kLProgress, caption); });
  oFileIO->FixFile();
}

void Form1::PreparePartitionTool() {
  // The partition tool comes scrambled in a plug-in archive; it is copied
  // into the temporary folder and unpacked there in the background, without
  // waiting, while the user chooses.
  if (os::PathExists(sTmpPath + "\\pacmd")) return;
  // One unpack at a time: a second archiver would write the same files.
  if (pluginUnpack_.IsValid() && os::ExitCode(pluginUnpack_) == os::kStillActive) return;
  CopyFixFile(ProgramFolder() + "\\Data\\Plugins\\pacmd.aes", sTmpPath + "\\pacmd.aes", sys::kPluginPassword);
  pluginUnpack_ = sys::ShellStart(sys::UnpackPluginCommand("pacmd.aes"), 0);
}

bool Form1::WaitForPartitionTool() {
  // The archiver writes the tool in place: until it has ended, the file may
  // be missing or only half written.
  pluginTimedOut_ = !sys::WaitWithEvents(pluginUnpack_, kPartitionToolWaitMs);
  if (pluginTimedOut_) {
    os::TerminateProcess(pluginUnpack_, 1);
    sys::WaitWithEvents(pluginUnpack_, kUnpackGraceMs);
    // What the hung archiver left may be half written: the next make
    // unpacks the plug-in afresh.
    sys::KillPath(sTmpPath + "\\PACMD");
  }
  pluginUnpack_ = os::Process();
  if (pluginTimedOut_) return false;
  return os::PathExists(sTmpPath + "\\PACMD\\PartAssist.exe");
}

void Form1::OnTimer(os::TimerId timer) {
  if (timer == os::TimerId::kTimer1) progressTimers_.Timer1Tick();
  else if (timer == os::TimerId::kTimerProg) progressTimers_.TimerProgTick();
}

void Form1::OnResize(os::WindowState state) {
  // The window is not to be maximised.
  if (state == os::WindowState::kMaximized) window_->SetState(os::WindowState::kNormal);
}

void Form1::OnSysCommand(int id) {
  switch (id) {
    case ui::kMenuInstPEToDisk:
      InstPEToDisk();
      break;
    case ui::kMenuBootBios:
    case ui::kMenuBootEfi:
      StartupTest(id);
      break;
    case kMenuLimitUsbDisk:
      window_->SetMenuChecked(id, !window_->IsMenuChecked(id));
      break;
    case kMenuMobileHardDisk:
      // The option and the list it changes go together; not inside another
      // operation, which works on the list.
      guard_.Run([this] {
        bool on = !window_->IsMenuChecked(kMenuMobileHardDisk);
        window_->SetMenuChecked(kMenuMobileHardDisk, on);
        bMobileHardDisk = on;
        disk::RefreshTargetList(*window_, on);
      });
      break;
    // A dialog opened inside a running operation would hold the operation's
    // next step until it closed: neither opens then.
    case ui::kMenuPartitionSizes:
      if (!guard_.Busy()) ui::Form2(*window_).Show();
      break;
    case ui::kMenuAbout:
      if (!guard_.Busy()) ui::FrmAbout(*window_).Show();
      break;
    case ui::kMenuLog:
      OpenLogFile(*window_);
      break;
    default:
      break;  // not a command of ours
  }
}

void Form1::OnInstanceCommand(const std::string& command) {
  // Any command is taken; "Nor" brings the window back.
  if (sys::LowerAscii(command) == "nor") {
    window_->SetState(os::WindowState::kNormal);
    window_->Show();
  }
}

bool Form1::OnCloseRequest() {
  // Closing in the middle of an operation would delete the temporary folder
  // under the outside programs that use it; the window stays until it ends.
  // A window that is closing already is not closed twice.
  return !guard_.Busy() && !unloading_;
}

std::string Form1::OnQueryEndSession() { return OnCloseRequest() ? "" : LangString(89); }

void Form1::OnEndSession() { OnUnload(); }

void Form1::OnUnload() {
  if (unloading_) return;  // the unload runs once, also when the session ends
  unloading_ = true;
  oTaskbarList.reset();
  ui::RestoreWndProc();
  window_->Hide();
  if (servingInstanceCommands_) os::StopServingInstanceCommands();
  EndPartitionToolUnpack();
  // Only the session's end unloads during an operation: its tools may still
  // be writing into the per-run folder, which then stays behind (the system
  // ends them with this process).
  if (!sTmpPath.empty() && !guard_.Busy()) sys::KillPath(sTmpPath);
  if (!sTmpPath.empty() && guard_.Busy()) sys::Log("closed during an operation; the per-run folder is kept: " + sTmpPath);
  else LogCloseRecord(sTmpPath);
  sys::StopLog();
}

void Form1::EndPartitionToolUnpack() {
  if (!pluginUnpack_.IsValid()) return;
  // The archiver unpacks into the per-run folder: it may finish, briefly,
  // and is ended otherwise, so that it neither outlives the window nor
  // writes into a folder being deleted.
  if (!sys::WaitWithEvents(pluginUnpack_, kUnpackGraceMs)) {
    os::TerminateProcess(pluginUnpack_, 1);
    sys::WaitWithEvents(pluginUnpack_, kUnpackGraceMs);
  }
  pluginUnpack_ = os::Process();
}

}  // namespace app
