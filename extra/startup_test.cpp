#include "extra/startup_test.h"

#include "app/globals.h"
#include "app/language.h"
#include "app/logged_message.h"
#include "app/search_folders.h"
#include "disk/target_check.h"
#include "disk/target_guard.h"
#include "os/files.h"
#include "sys/archiver_commands.h"
#include "sys/kill_path.h"
#include "sys/shell_wait.h"
#include "sys/system_programs.h"

namespace extra {
namespace {

bool IsBios(int mode) { return mode == 0 || mode == 2020; }
bool IsUefi(int mode) { return mode == 2021; }

// The files a test needs from the plug-in: the emulator and its second disk,
// and for UEFI the firmware it is given by name.
bool EmulatorReady(int mode) {
  std::string folder = app::sTmpPath + "\\Qemu\\";
  if (!os::PathExists(folder + "qemu.exe") || !os::PathExists(folder + "hd.vmdk")) return false;
  return !IsUefi(mode) || os::PathExists(folder + "efi64.bin");
}

// Copies and unpacks the emulator plug-in, once per run: a later test finds
// the folder Qemu and uses it.
void PrepareEmulator(app::Form1& form) {
  if (os::PathExists(app::sTmpPath + "\\Qemu")) return;
  // The scrambled copy writes over an existing file without shortening it:
  // what an earlier, failed preparation left must go first.
  std::string archive = app::sTmpPath + "\\qemu.aes";
  os::RemoveFile(archive);
  form.CopyFixFile(app::ProgramFolder() + "\\Data\\Plugins\\qemu.aes", archive, sys::kPluginPassword);
  sys::ShellWait(sys::UnpackPluginCommand("qemu.aes"), 0);
}

}  // namespace

std::optional<std::string> EmulatorCommand(int mode, int disk) {
  const std::string& tmp = app::sTmpPath;
  // A per-run folder with a blank is quoted word by word; the interpreter
  // then takes the whole line in one outer pair (ThroughCmd()).
  std::string start = sys::CommandArg(tmp + "\\Qemu\\qemu.exe") + " -L " + sys::CommandArg(tmp + "\\Qemu\\") +
                      " -m 800 -localtime";
  std::string hda = " -snapshot -hda \\\\.\\PhysicalDrive" + std::to_string(disk) + " -boot c -hdb ";
  if (IsBios(mode)) return sys::ThroughCmd(start + " -vga std" + hda + sys::CommandArg(tmp + "\\Qemu\\hd.vmdk"));
  // The UEFI line names the second disk with a doubled separator; Windows
  // reads both forms alike.
  if (IsUefi(mode))
    return sys::ThroughCmd(start + " -bios efi64.bin" + hda + sys::CommandArg(tmp + "\\\\Qemu\\hd.vmdk"));
  return std::nullopt;
}

void StartupTest(app::Form1& form, int mode) {
  os::MainWindow& window = form.window();
  if (!disk::GetDiskInfoTest(window)) return;
  form.ButtonEnable(false);
  // The bar shows the work; the taskbar button is left alone: the emulator
  // runs in a window of its own, with a button of its own.
  window.SetProgressMarquee(true);

  PrepareEmulator(form);
  if (!EmulatorReady(mode)) {
    // A missing, damaged or wrongly scrambled plug-in: say so, rather than
    // start a program that is not there. What it left is removed, so the
    // next test prepares the emulator afresh.
    sys::KillPath(app::sTmpPath + "\\Qemu");
    os::RemoveFile(app::sTmpPath + "\\qemu.aes");
    window.SetProgressMarquee(false);
    app::ShowLoggedMessage(window, app::LangString(71), app::LangString(10), os::kMbOk | os::kMbIconStop);
    form.ButtonEnable(true);
    return;
  }
  // The emulator is given the disk by number: it must still be the chosen one.
  if (!disk::TargetStillChosen("before the emulator")) {
    window.SetProgressMarquee(false);
    disk::ReportTargetLost(window);
    form.ButtonEnable(true);
    return;
  }
  if (auto command = EmulatorCommand(mode, app::iDiskNum)) sys::ShellWait(*command, 0);

  window.SetProgressMarquee(false);
  form.ButtonEnable(true);
}

}  // namespace extra
