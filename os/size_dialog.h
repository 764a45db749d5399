// The window of the partition size dialog (Form2): two rows of a caption, a
// number field and its bounds, in a frame, with a one-shot timer. It has no
// buttons; closing it is its only action. The main window makes it
// (MainWindow::CreateSizeDialog) and it is shown modally to the main window.
// What it does is the shared logic's (ui/form2.h).
//
// Public: enum SizeDialogControl, class SizeDialogEvents, class SizeDialog.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace os {

enum class SizeDialogControl {
  kLabel1,   // caption of the UD row
  kText1,    // UD size in MB
  kLabel11,  // bounds of the UD size
  kLabel2,   // caption of the EFI row
  kText2,    // EFI size in MB
  kLabel22,  // bounds of the EFI size
};

// What the dialog reports, on the window's thread.
class SizeDialogEvents {
 public:
  virtual ~SizeDialogEvents() = default;
  virtual void OnTimer() = 0;
  virtual void OnFieldClick(SizeDialogControl field) = 0;
  virtual void OnFieldFocus(SizeDialogControl field) = 0;
  // A typed character (8 is backspace, 22 Ctrl+V): true lets the field take it.
  virtual bool OnKeyPress(SizeDialogControl field, int character) = 0;
  // Text pasted any other way (a menu, Shift+Insert): true lets the field take it.
  virtual bool OnPaste(SizeDialogControl field) = 0;
  // The dialog closes, however it was closed; it is gone after this.
  virtual void OnClose() = 0;
};

class SizeDialog {
 public:
  virtual ~SizeDialog() = default;

  virtual void SetTitle(std::string_view title) = 0;
  virtual std::string Title() const = 0;
  // The dialog shows the main window's icon, whatever it is.
  virtual void UseOwnerIcon() = 0;

  // Captions of the labels, texts of the two fields.
  virtual void SetText(SizeDialogControl control, std::string_view text) = 0;
  virtual std::string Text(SizeDialogControl control) const = 0;
  // The most characters a field takes from the keyboard or the clipboard;
  // a text the program sets is not cut.
  virtual void SetMaxLength(SizeDialogControl field, int characters) = 0;
  // Selects `length` characters of a field from `start`.
  virtual void Select(SizeDialogControl field, int start, int length) = 0;
  virtual void Focus(SizeDialogControl field) = 0;
  // The top of a control in twips from the top of the dialog's inside; a
  // control moved to a negative top is out of sight.
  virtual void SetTop(SizeDialogControl control, int twips) = 0;
  virtual int Top(SizeDialogControl control) const = 0;

  // The timer, with its interval in milliseconds; enabling starts it afresh.
  virtual void SetTimer(bool enabled, uint32_t intervalMs) = 0;
  virtual bool TimerEnabled() const = 0;

  // A message box modal to the dialog; returns the answer (kIdOk, ...).
  virtual int ShowMessage(std::string_view text, std::string_view title, uint32_t style) = 0;

  // Shows the dialog, modal to the main window, and returns once it is closed.
  virtual void ShowModal() = 0;
};

}  // namespace os
