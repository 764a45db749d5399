// The About window as plain state: the host build's About window, and what
// tests use to watch and work it. It also does what a person and the
// platform do to it: click a label or the logo, move the mouse over a
// label, let a timer tick, close it.
//
// Public: class AboutModel.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "os/about_window.h"

namespace ui {

class WindowModel;

class AboutModel : public os::AboutWindow {
 public:
  AboutModel(WindowModel& owner, os::AboutWindowEvents& events);

  // --- what a person and the platform do ---
  void ClickLabel(int index);
  void HoverLabel(int index);
  void ClickImage();
  void FireTimer(os::AboutTimer timer);
  // The close box.
  void Close();

  // --- what can be seen ---
  bool IsShown() const { return shown_; }
  bool IsClosed() const { return closed_; }
  bool UsesOwnerIcon() const { return ownerIcon_; }
  uint32_t BackColor() const { return back_; }
  std::string LabelTip(int index) const;
  bool HandCursor() const { return hand_; }
  int Beeps() const { return beeps_; }
  // Prog1 as its bar window shows it: the upper end of the range, the
  // position, and whether its container is shown.
  int32_t Prog1Max() const;
  int32_t Prog1Value() const;
  bool Prog1Shown() const { return prog1_->IsVisible(); }
  // The logo has been set moving at least once.
  bool AnimationStarted() const { return started_; }

  // Called whenever a timer is switched, so that a host can run it.
  void SetTimerChanged(std::function<void(os::AboutTimer)> changed) { timerChanged_ = std::move(changed); }

  // os::AboutWindow
  void SetTitle(std::string_view title) override { title_ = title; }
  std::string Title() const override { return title_; }
  void UseOwnerIcon() override { ownerIcon_ = true; }
  void SetBackColor(uint32_t rgb) override { back_ = rgb; }
  void SetLabel(int index, std::string_view text) override;
  std::string Label(int index) const override;
  void SetLabelVisible(int index, bool visible) override;
  bool LabelVisible(int index) const override;
  void SetLabelTip(int index, std::string_view tip) override;
  void SetLabelLeft(int index, int twips) override;
  int LabelLeft(int index) const override;
  int LabelWidth(int index) const override;
  void UseHandCursor() override { hand_ = true; }
  void SetImageTop(int twips) override { imageTop_ = twips; }
  int ImageTop() const override { return imageTop_; }
  int ImageHeight() const override { return 960; }
  int InnerHeight() const override { return 2940; }
  void SetTimerInterval(os::AboutTimer timer, uint32_t intervalMs) override;
  void SetTimerEnabled(os::AboutTimer timer, bool enabled) override;
  uint32_t TimerInterval(os::AboutTimer timer) const override;
  bool TimerEnabled(os::AboutTimer timer) const override;
  os::ProgressBarWindow& Prog1Window() override { return *prog1_; }
  void Beep() override { ++beeps_; }
  int ShowMessage(std::string_view text, std::string_view title, uint32_t style) override;
  void ShowModal() override;

 private:
  struct LabelState {
    std::string text, tip;
    bool visible = true;
    int left = 1650;
  };
  struct Timer {
    uint32_t interval = 0;
    bool enabled = false;
  };
  bool Valid(int index) const { return index >= 0 && index < os::kAboutLabelCount; }
  Timer& Slot(os::AboutTimer t) { return timers_[t == os::AboutTimer::kTimer1 ? 0 : 1]; }
  const Timer& Slot(os::AboutTimer t) const { return timers_[t == os::AboutTimer::kTimer1 ? 0 : 1]; }

  WindowModel& owner_;
  os::AboutWindowEvents& events_;
  std::string title_;
  bool ownerIcon_ = false;
  uint32_t back_ = 0xFFFFFF;
  std::array<LabelState, os::kAboutLabelCount> labels_;
  bool hand_ = false;
  int imageTop_ = 240;
  std::array<Timer, 2> timers_{};
  std::unique_ptr<os::ProgressBarWindow> prog1_;
  int beeps_ = 0;
  bool started_ = false;
  bool shown_ = false, closing_ = false, closed_ = false;
  std::function<void(os::AboutTimer)> timerChanged_;
};

}  // namespace ui
