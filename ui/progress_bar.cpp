#include "ui/progress_bar.h"

namespace ui {

ProgressBar::ProgressBar(os::ProgressBarWindow& container) : container_(container) {
  max_ = 100;
  state_ = os::kPbstNormal;
  container_.SetResizeHandler([this] { Resize(); });
}

ProgressBar::~ProgressBar() {
  container_.SetResizeHandler(nullptr);
  container_.DestroyBar();
}

void ProgressBar::Create() { Rebuild(); }

void ProgressBar::Send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  container_.SendToBar(message, wParam, lParam);
}

void ProgressBar::SetValue(int32_t value) {
  if (!container_.HasBar()) return;
  value_ = value;
  Send(os::kPbmSetPos, static_cast<uintptr_t>(static_cast<uint32_t>(value)), 0);
}

void ProgressBar::SetMax(int32_t max) {
  if (!container_.HasBar()) return;
  max_ = max;
  Send(os::kPbmSetRange32, static_cast<uintptr_t>(static_cast<uint32_t>(min_)), max_);
}

void ProgressBar::SetMin(int32_t min) {
  if (!container_.HasBar()) return;
  min_ = min;
  Send(os::kPbmSetRange32, static_cast<uintptr_t>(static_cast<uint32_t>(min_)), max_);
}

void ProgressBar::SetOrientation(int32_t orientation) {
  orientation_ = orientation;
  Rebuild();
}

void ProgressBar::SetSmooth(bool smooth) {
  smooth_ = smooth;
  Rebuild();
}

void ProgressBar::SetMarquee(bool on) {
  marquee_ = on;
  Rebuild();
}

void ProgressBar::SetVelocity(int32_t velocity) {
  velocity_ = velocity;
  if (marquee_) Send(os::kPbmSetMarquee, static_cast<uintptr_t>(static_cast<uint32_t>(velocity)), velocity);
}

void ProgressBar::SetState(int32_t state) {
  Send(os::kPbmSetState, static_cast<uintptr_t>(static_cast<uint32_t>(state)), 0);
  switch (state) {
    case os::kPbstNormal: Send(os::kPbmSetBarColor, 0, static_cast<intptr_t>(os::kClrDefault)); break;
    case os::kPbstError: Send(os::kPbmSetBarColor, 0, static_cast<intptr_t>(os::kClrRed)); break;
    case os::kPbstPaused: Send(os::kPbmSetBarColor, 0, static_cast<intptr_t>(os::kClrYellow)); break;
    default: break;
  }
  state_ = state;
}

void ProgressBar::Rebuild() {
  container_.DestroyBar();
  uint32_t style = os::kWsChild | os::kWsVisible;
  if (orientation_ == 1) style |= os::kPbsVertical;
  if (smooth_) style |= os::kPbsSmooth;
  if (marquee_) style |= os::kPbsMarquee;
  if (!container_.CreateBar(style, container_.ClientWidth(), container_.ClientHeight())) return;
  // The new bar window gets the range and position again.
  SetMax(max_);
  SetValue(value_);
  if (marquee_) Send(os::kPbmSetMarquee, 1, velocity_);
}

void ProgressBar::Resize() {
  if (container_.HasBar()) container_.MoveBar(container_.ClientWidth(), container_.ClientHeight());
}

}  // namespace ui
