// ProgressBar, the program's progress bar control: one bar window of the
// common controls hosted in a container (os::ProgressBarWindow), with its
// range, position, orientation, smooth and marquee styles, marquee speed and
// colour state as properties. The main window's ProgressBar1 and the About
// window's Prog1 are instances.
//
// A host makes the control over its container and calls Create() (the
// control's first bar window); destroying the control destroys the bar
// window. Writes to Value, Max and Min are ignored (not stored) while there
// is no bar window. Orientation, Smooth and Marquee are styles of the bar
// window: writing one replaces the bar window by a new one with the same
// range and position. State is not applied again to a new bar window.
//
// Public: class ProgressBar.
#pragma once

#include <cstdint>

#include "os/progress_bar_window.h"

namespace ui {

class ProgressBar : public os::ProgressControl {
 public:
  // Max 100 and State 1, no bar window yet. The container must outlive the
  // control.
  explicit ProgressBar(os::ProgressBarWindow& container);
  ~ProgressBar() override;
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // Builds the first bar window (nothing is read: every instance starts
  // with the values above).
  void Create();

  // The container's window handle.
  uintptr_t hWnd() const { return container_.Handle(); }
  bool HasBarWindow() const { return container_.HasBar(); }

  // PBM_SETPOS with the value.
  void SetValue(int32_t value) override;
  int32_t Value() const override { return value_; }
  // PBM_SETRANGE32 with Min and Max.
  void SetMax(int32_t max);
  int32_t Max() const { return max_; }
  void SetMin(int32_t min);
  int32_t Min() const { return min_; }
  // 1 is a vertical bar, any other value a horizontal one.
  void SetOrientation(int32_t orientation);
  int32_t Orientation() const { return orientation_; }
  void SetSmooth(bool smooth);
  bool Smooth() const { return smooth_; }
  void SetMarquee(bool on) override;
  bool Marquee() const override { return marquee_; }
  // The marquee's update interval in ms; 0 stops a running marquee.
  void SetVelocity(int32_t velocity);
  int32_t Velocity() const { return velocity_; }
  // 1 normal, 2 error (red), 3 paused (yellow); other values are passed on
  // without a colour.
  void SetState(int32_t state);
  int32_t State() const { return state_; }

  // The container's size changed: the bar fills it again.
  void Resize();

 private:
  void Rebuild();
  void Send(uint32_t message, uintptr_t wParam, intptr_t lParam);

  os::ProgressBarWindow& container_;
  int32_t value_ = 0;
  int32_t max_ = 0;
  int32_t min_ = 0;
  int32_t orientation_ = 0;
  bool smooth_ = false;
  bool marquee_ = false;
  int32_t velocity_ = 0;
  int32_t state_ = 0;
};

}  // namespace ui
