// Form1, the program's main window: its start-up sequence, the locking of
// its controls, its keys, its resizing and its closing. The controls
// themselves are the platform's (os::MainWindow); what they do is here.
//
// Public: class Operations (what the window starts), class Form1.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/operation_guard.h"
#include "make/progress_timers.h"
#include "os/main_window.h"
#include "os/process.h"
#include "os/taskbar_list.h"
#include "sys/file_io.h"
#include "ui/progress_bar.h"

namespace app {

// The operations the main window starts, each owned by its own subsystem.
class Operations {
 public:
  virtual ~Operations() = default;
  virtual void Make() = 0;                // the start button
  virtual void Restore() = 0;             // F2, or the status line
  virtual void InstallToLocalDisk() = 0;  // Ctrl+I, system-menu 2002
  virtual void BootTest(int mode) = 0;    // F5 (2020), system-menu 2020 and 2021
};

class Form1 : public os::MainWindowEvents {
 public:
  using WindowMaker = std::function<std::unique_ptr<os::MainWindow>(os::MainWindowEvents&)>;
  // `makeWindow` makes the platform's window; `operations` may be null while
  // no operation is wired (tests of the window alone).
  explicit Form1(const WindowMaker& makeWindow, Operations* operations = nullptr);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // The operations are made after the window, since they work on it.
  void SetOperations(Operations* operations) { operations_ = operations; }

  os::MainWindow& window() { return *window_; }
  // The making progress; window().SetProgressValue() and the other progress
  // calls of the window reach it too.
  ui::ProgressBar& ProgressBar1() { return progressBar1_; }
  OperationGuard& guard() { return guard_; }

  // The start-up sequence, run before the window is shown. False when this
  // is a second instance that handed over to the first one and must end now:
  // it has made no window visible, no temporary folder and written nothing.
  bool Load();

  // Enables or disables the lists, the refresh button and the start button.
  void ButtonEnable(bool enable);

  // Hands a command to the first instance of the program (its DDE server);
  // false when it could not be reached or did not take it in two seconds.
  bool SendToPrevInstance(std::string_view command);

  // Copies a plug-in archive through the scrambling, showing its percentage
  // in LProgress. The copy's result is not examined: a failed copy shows as
  // a missing tool folder later.
  void CopyFixFile(const std::string& source, const std::string& target, std::string_view password);

  // Progress on the taskbar button, shown only while taskbar progress is on
  // for this run (iTaskbarProg is 1): the state (1 busy, 0 none), and the
  // progress bar's value out of 100.
  void TaskbarState(int state);
  void TaskbarValue();

  // The partition-tool plug-in (Data\Plugins\pacmd.aes): when the folder
  // <sTmpPath>\pacmd is missing, it is copied into the temporary folder and
  // unpacked there by an archiver that runs in the background. Timer1's
  // first tick does this at start-up, the make procedure when it needs the
  // tool. The archiver's process is kept, so that it can be waited for.
  void PreparePartitionTool();
  // Waits, handling events, until a background unpack of the plug-in has
  // ended, for at most kPartitionToolWaitMs: the archive is small, so an
  // archiver still busy then has hung, and is ended. True when the
  // partition tool is then there; PartitionToolTimedOut() tells whether the
  // last wait ran out of time.
  bool WaitForPartitionTool();
  bool PartitionToolTimedOut() const { return pluginTimedOut_; }
  static constexpr uint32_t kPartitionToolWaitMs = 3 * 60 * 1000;

  // The operations, each through the guard against re-entry.
  void Command1_Click();
  void InitDisk();
  void InstPEToDisk();
  void StartupTest(int wp);

  // os::MainWindowEvents
  void OnClick(os::Control control) override;
  void OnDropDown(os::Control control) override;
  void OnKeyDown(int key, os::KeyModifiers modifiers) override;
  void OnTimer(os::TimerId timer) override;
  void OnResize(os::WindowState state) override;
  // The system menu's commands (ui/system_menu.h): the install, the boot
  // tests, the two options, the size dialog, the log and the About window.
  void OnSysCommand(int id) override;
  void OnInstanceCommand(const std::string& command) override;
  bool OnCloseRequest() override;
  void OnUnload() override;
  // During an operation: string 89, the reason a logoff or shutdown waits.
  std::string OnQueryEndSession() override;
  // The unload; during an operation the per-run folder stays, since the
  // operation's tools may still be at work in it.
  void OnEndSession() override;

 private:
  bool HandOverToFirstInstance();
  void ChooseLanguageId();
  void MakeTemporaryFolder();
  void FillLayoutList(int16_t packages);
  void ApplyTaskbarProgressRule();
  bool ShowsBusyCaption();
  void ShowProgressMessage();
  void RunOperation(std::string_view name, const std::function<void()>& operation);
  void EndPartitionToolUnpack();

  std::unique_ptr<os::MainWindow> window_;
  ui::ProgressBar progressBar1_;
  // The taskbar list object, from start-up until the window closes (null
  // when the system has none).
  std::unique_ptr<os::TaskbarList> oTaskbarList;
  make::ProgressTimers progressTimers_{*this};
  Operations* operations_;
  OperationGuard guard_;
  std::unique_ptr<sys::FileIO> oFileIO;  // made on the first copy
  os::Process pluginUnpack_;             // the background archiver of the plug-in
  bool pluginTimedOut_ = false;          // the last wait for it ran out of time
  bool servingInstanceCommands_ = false;
  bool unloading_ = false;
  bool notElevated_ = false;  // no administrator rights: no operation is offered
};

}  // namespace app
