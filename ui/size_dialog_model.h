// The partition size dialog as plain state: the host build's dialog, and
// what tests use to watch and work it. It also does what a person and the
// platform do to the dialog: click a field, type into it (every character
// through the dialog's key filter), paste, let its timer tick, close it.
//
// Public: class SizeDialogModel.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "os/size_dialog.h"

namespace ui {

class WindowModel;

class SizeDialogModel : public os::SizeDialog {
 public:
  SizeDialogModel(WindowModel& owner, os::SizeDialogEvents& events);

  // --- what a person and the platform do ---
  void ClickField(os::SizeDialogControl field);
  // A key typed into a field, which gets the focus first (as a click or the
  // Tab key gives it). True when the filter let the character in.
  bool TypeChar(os::SizeDialogControl field, int character);
  // Text pasted into a field (from a menu or with Shift+Insert).
  bool Paste(os::SizeDialogControl field, const std::string& text);
  void FireTimer();
  // The close box.
  void Close();

  // --- what can be seen ---
  bool IsShown() const { return shown_; }
  bool IsClosed() const { return closed_; }
  bool UsesOwnerIcon() const { return ownerIcon_; }
  bool OutOfSight(os::SizeDialogControl control) const { return Top(control) < 0; }
  os::SizeDialogControl Focused() const { return focus_; }
  int SelectionStart(os::SizeDialogControl field) const;
  int SelectionLength(os::SizeDialogControl field) const;
  uint32_t TimerInterval() const { return interval_; }

  // Called whenever the timer is switched, so that a host can run it.
  void SetTimerChanged(std::function<void()> changed) { timerChanged_ = std::move(changed); }

  // os::SizeDialog
  void SetTitle(std::string_view title) override { title_ = title; }
  std::string Title() const override { return title_; }
  void UseOwnerIcon() override { ownerIcon_ = true; }
  void SetText(os::SizeDialogControl control, std::string_view text) override;
  std::string Text(os::SizeDialogControl control) const override;
  void SetMaxLength(os::SizeDialogControl field, int characters) override;
  int MaxLength(os::SizeDialogControl field) const { return At(field).maxLength; }
  void Select(os::SizeDialogControl field, int start, int length) override;
  void Focus(os::SizeDialogControl field) override;
  void SetTop(os::SizeDialogControl control, int twips) override;
  int Top(os::SizeDialogControl control) const override;
  void SetTimer(bool enabled, uint32_t intervalMs) override;
  bool TimerEnabled() const override { return timer_; }
  int ShowMessage(std::string_view text, std::string_view title, uint32_t style) override;
  void ShowModal() override;

 private:
  struct Control {
    std::string text;
    int top = 0;
    int selStart = 0, selLength = 0;
    int maxLength = 0;  // 0: no limit
  };
  Control& At(os::SizeDialogControl c) { return controls_[static_cast<size_t>(c)]; }
  const Control& At(os::SizeDialogControl c) const { return controls_[static_cast<size_t>(c)]; }

  WindowModel& owner_;
  os::SizeDialogEvents& events_;
  std::array<Control, 6> controls_;
  std::string title_;
  bool ownerIcon_ = false;
  os::SizeDialogControl focus_ = os::SizeDialogControl::kText1;
  bool focused_ = false;  // a field has had the focus
  bool timer_ = false;
  uint32_t interval_ = 0;
  bool shown_ = false, closing_ = false, closed_ = false;
  std::function<void()> timerChanged_;
};

}  // namespace ui
