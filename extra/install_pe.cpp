#include "extra/install_pe.h"

#include "app/config.h"
#include "app/globals.h"
#include "app/language.h"
#include "app/logged_message.h"
#include "extra/addwim_batch.h"
#include "make/find_packages.h"
#include "os/ansi.h"
#include "os/files.h"
#include "os/process.h"
#include "sys/archiver_commands.h"
#include "sys/shell_wait.h"
#include "sys/system_programs.h"
#include "sys/whole_file.h"

namespace extra {
namespace {

using app::LangString;
using os::Control;

constexpr const char* kSection = app::CfgSection::kInstPEToDisk;
constexpr const char* kWinPE = "C:\\WinPE\\";

void Error(os::MainWindow& window, const std::string& text, int title) {
  app::ShowLoggedMessage(window, text, LangString(title), os::kMbOk | os::kMbIconStop);
}

// The boot store's tool of the system folder, never one found by a search.
std::string Bcdedit() { return sys::CommandArg(sys::SystemProgram("bcdedit.exe")); }

// bcdedit is not judged by what it printed while the batch ran: the entry
// must be in the boot store afterwards. "bcdedit /enum <id>" ends with 0
// only when the store holds that entry.
// bcdedit answers in a moment; one that has not answered within a minute
// has hung, is ended, and the entry counts as missing.
constexpr uint32_t kEnumerateLimitMs = 60 * 1000;

bool BootEntryExists() {
  os::Process enumerate = sys::ShellStart(Bcdedit() + " /enum " + std::string(kBootEntryId), 0);
  if (!enumerate.IsValid()) return false;
  if (!sys::WaitWithEvents(enumerate, kEnumerateLimitMs)) {
    os::TerminateProcess(enumerate, 1);
    sys::WaitWithEvents(enumerate, 3000);
    return false;
  }
  return os::ExitCode(enumerate).value_or(1) == 0;
}

// The batch file is written in the ANSI code page, run and deleted. *ran
// tells whether it could be written and run; the result whether bcdedit
// made the entry.
bool AddBootEntry(const std::string& peName, const std::string& wimFile, const std::string& sdiFile,
                  const std::string& timeOut, bool* ran) {
  std::string batch = app::sTmpPath + "\\addwim.bat";
  std::string text = WithProgramPath(FillAddWim(peName, wimFile, sdiFile, timeOut), "bcdedit", Bcdedit()) + "\r\n";
  // Without the batch file nothing ran, and an entry left by an earlier
  // install must not pass for this one.
  *ran = sys::WriteWholeFile(batch, os::ToAnsi(text)) && sys::ShellWait(sys::ThroughCmd(sys::CommandArg(batch)), 0);
  os::RemoveFile(batch);
  return *ran && BootEntryExists();
}

}  // namespace

bool InstPEToDisk(app::Form1& form) {
  os::MainWindow& window = form.window();
  if (app::ShowLoggedMessage(window, LangString(40), LangString(8), os::kMbOkCancel | os::kMbIconQuestion) != os::kIdOk)
    return false;

  make::FindFbaIso7z();
  if (app::sIsoFile.empty()) {
    Error(window, LangString(41), 8);
    return false;
  }

  std::string peName = app::ReadCfg("PEName", kSection);
  if (peName.empty()) peName = "WinPE";
  std::string wimFile = app::ReadCfg("WIMFile", kSection);
  std::string sdiFile = app::ReadCfg("SDIFile", kSection);
  std::string timeOut = TimeOutText(app::ReadCfg("TimeOut", kSection));
  if (wimFile.empty()) {
    Error(window, LangString(42), 39);
    return false;
  }
  if (sdiFile.empty()) {
    Error(window, LangString(43), 39);
    return false;
  }
  // The values go into a batch file that runs with administrator rights,
  // and two of them onto the archiver's command line: a value the command
  // interpreter would act on is refused before anything runs.
  for (const auto& [key, value] : {std::pair{"PEName", &peName}, {"WIMFile", &wimFile}, {"SDIFile", &sdiFile}}) {
    if (UnsafeValue(*value)) {
      Error(window, LangString(69) + "[" + key + "]", 39);
      return false;
    }
  }

  form.ButtonEnable(false);
  window.SetCaption(Control::kStatus, LangString(54));
  form.TaskbarState(1);
  window.SetProgressMarquee(true);

  // Every file of these names in the image lands directly in C:\WinPE.
  sys::ShellWait(sys::ExtractFromImageCommand(app::sIsoFile, wimFile), 0);
  sys::ShellWait(sys::ExtractFromImageCommand(app::sIsoFile, sdiFile), 0);

  bool ran = false;
  if (!os::PathExists(kWinPE + wimFile)) {
    Error(window, LangString(44) + "[" + wimFile + "]\xE3\x80\x82", 39);  // ]。
  } else if (!os::PathExists(kWinPE + sdiFile)) {
    Error(window, LangString(45) + "[" + sdiFile + "]\xE3\x80\x82", 39);
  } else {
    if (AddBootEntry(peName, wimFile, sdiFile, timeOut, &ran))
      app::ShowLoggedMessage(window, LangString(46), LangString(8), os::kMbOk | os::kMbIconInformation);
    else
      Error(window, LangString(70), 39);
  }

  window.SetCaption(Control::kStatus, LangString(3));
  form.TaskbarState(0);
  window.SetProgressMarquee(false);
  form.ButtonEnable(true);
  return ran;
}

}  // namespace extra
