// The main window's controls, as the system's shared logic (app::Form1)
// works on them: a real Win32 window in the Windows build, a headless window
// with a console front-end in the host build. Controls are addressed by
// their design names.
//
// Public: enum Control, TimerId, WindowState, the message-box and key
//         values, class MainWindowEvents (what the window reports), class
//         MainWindow (what the system asks of it), CreateMainWindow().
//         The window also makes the two dialogs it owns (os/size_dialog.h,
//         os/about_window.h); its system menu and procedure are reached by
//         handle (os/menu.h, os/window_procedure.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "os/progress_bar_window.h"

namespace os {

class SizeDialog;
class SizeDialogEvents;
class AboutWindow;
class AboutWindowEvents;

enum class Control {
  kLabel3,      // caption of the disk row
  kRDriver,     // target disk list
  kUReFresh,    // refresh button
  kLabel0,      // caption of the layout row
  kFsys,        // layout list
  kLabel1,      // caption of the file-system list
  kFSFor,       // file-system list
  kCommand1,    // start button
  kStatus,      // status line, a clickable label
  kLProgress,   // percentage of a plug-in copy
};

enum class TimerId { kTimer1, kTimerProg };
enum class WindowState { kNormal, kMinimized, kMaximized };

// Message-box styles and answers, with their Win32 values.
enum : uint32_t {
  kMbOk = 0x00,
  kMbOkCancel = 0x01,
  kMbIconStop = 0x10,
  kMbIconQuestion = 0x20,
  kMbIconExclamation = 0x30,
  kMbIconInformation = 0x40,
};
enum : int { kIdOk = 1, kIdCancel = 2 };

// Keys, as virtual-key codes.
enum : int { kVkF2 = 0x71, kVkF5 = 0x74, kVkI = 'I', kVkL = 'L' };
struct KeyModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// What the window reports. Every call arrives on the window's thread, from
// the message loop or from a wait that handles events (os::PumpEvents).
class MainWindowEvents {
 public:
  virtual ~MainWindowEvents() = default;
  virtual void OnClick(Control control) = 0;
  // A drop-down list is being opened.
  virtual void OnDropDown(Control control) = 0;
  // A key press, seen before the focused control sees it (not consumed).
  virtual void OnKeyDown(int key, KeyModifiers modifiers) = 0;
  virtual void OnTimer(TimerId timer) = 0;
  virtual void OnResize(WindowState state) = 0;
  // A command of the window's system menu.
  virtual void OnSysCommand(int id) = 0;
  // A command from a second instance of the program.
  virtual void OnInstanceCommand(const std::string& command) = 0;
  // Someone asks the window to close: true lets it close.
  virtual bool OnCloseRequest() = 0;
  // The window closes; the program ends after this.
  virtual void OnUnload() = 0;
  // The session is about to end (logoff or shutdown). Empty lets it end;
  // otherwise the text the system shows as the reason the program holds it
  // up.
  virtual std::string OnQueryEndSession() { return OnCloseRequest() ? "" : "busy"; }
  // The session ends now, and the process with it, without a close.
  virtual void OnEndSession() { OnUnload(); }
};

class MainWindow {
 public:
  virtual ~MainWindow() = default;

  // The window itself.
  virtual void SetTitle(std::string_view title) = 0;
  virtual std::string Title() const = 0;
  virtual WindowState State() const = 0;
  virtual void SetState(WindowState state) = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;

  // Labels and buttons.
  virtual void SetCaption(Control control, std::string_view text) = 0;
  virtual std::string Caption(Control control) const = 0;
  virtual void SetEnabled(Control control, bool enabled) = 0;
  virtual bool IsEnabled(Control control) const = 0;
  virtual void Focus(Control control) = 0;

  // Drop-down lists. An index of -1 means no entry.
  virtual void ListClear(Control list) = 0;
  virtual void ListAdd(Control list, std::string_view entry) = 0;
  virtual int ListCount(Control list) const = 0;
  virtual std::string ListItem(Control list, int index) const = 0;
  virtual void ListSetItem(Control list, int index, std::string_view entry) = 0;
  virtual int ListIndex(Control list) const = 0;
  virtual void SetListIndex(Control list, int index) = 0;
  // The text shown in the list's field: the chosen entry, or "".
  virtual std::string ListText(Control list) const = 0;

  // Timers: a disabled timer keeps its interval; enabling starts it afresh.
  virtual void SetTimerInterval(TimerId timer, uint32_t intervalMs) = 0;
  virtual void SetTimerEnabled(TimerId timer, bool enabled) = 0;
  virtual uint32_t TimerInterval(TimerId timer) const = 0;
  virtual bool TimerEnabled(TimerId timer) const = 0;

  // The progress bar ProgressBar1: a progress bar control (ui::ProgressBar)
  // that the window's owner builds in the container ProgressBar1Window() and
  // attaches; the four calls below go to it. Before that, writes are ignored
  // and reads give 0 and false.
  virtual void SetProgressValue(int32_t value) {
    if (progressBar1_) progressBar1_->SetValue(value);
  }
  virtual int32_t ProgressValue() const { return progressBar1_ ? progressBar1_->Value() : 0; }
  virtual void SetProgressMarquee(bool on) {
    if (progressBar1_) progressBar1_->SetMarquee(on);
  }
  virtual bool ProgressMarquee() const { return progressBar1_ && progressBar1_->Marquee(); }
  virtual ProgressBarWindow& ProgressBar1Window() = 0;
  void AttachProgressBar1(ProgressControl* control) { progressBar1_ = control; }

  // The window's handle (HWND on Windows), as the taskbar button knows it.
  virtual uintptr_t Handle() const = 0;

  // A message box (MessageBox), modal to the window; returns kIdOk or kIdCancel. An empty
  // title shows the program's name.
  virtual int ShowMessage(std::string_view text, std::string_view title, uint32_t style) = 0;

  // Check marks of the options menu's entries (2030, 2031). They are the
  // marks of the entries in the window's system menu once it holds them.
  virtual void SetMenuChecked(int id, bool checked) = 0;
  virtual bool IsMenuChecked(int id) const = 0;

  // Font of the window and its controls: the face name, character set 1 and
  // 9 points. Returns the face name the platform gave (another one when the
  // font is not installed).
  virtual std::string SetFontName(std::string_view face) = 0;
  virtual std::string FontName() const = 0;

  // Sizes for the drop-down lists: the height of a control, the twips in a
  // pixel, the width of a text in a control's font and of a vertical scroll
  // bar, all in pixels; the height of a list's selection field and the width
  // of its opened part.
  virtual int ControlHeight(Control control) const = 0;
  virtual int TwipsPerPixelX() const = 0;
  virtual int TwipsPerPixelY() const = 0;
  virtual int TextWidth(Control control, std::string_view text) const = 0;
  virtual int ScrollBarWidth() const = 0;
  virtual void SetListFieldHeight(Control list, int pixels) = 0;
  virtual void SetListDroppedWidth(Control list, int pixels) = 0;

  // The platform's handle of the window (its HWND on Windows); 0 where the
  // window has none.
  virtual uintptr_t NativeHandle() const { return 0; }
  // The partition size dialog and the About window, owned by this window
  // and shown modally to it, reporting to `events`.
  virtual std::unique_ptr<SizeDialog> CreateSizeDialog(SizeDialogEvents& events) = 0;
  virtual std::unique_ptr<AboutWindow> CreateAboutWindow(AboutWindowEvents& events) = 0;

 private:
  ProgressControl* progressBar1_ = nullptr;
};

// Creates the Windows build's main window (hidden until Show()), reporting to
// `events`. The host build's main window is the console's (ui/console).
std::unique_ptr<MainWindow> CreateMainWindow(MainWindowEvents& events);

}  // namespace os
