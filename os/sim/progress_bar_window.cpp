#include "os/sim/progress_bar_window.h"

#include <algorithm>

namespace os {
namespace sim {
namespace {

// Window handles of the simulated machine's bars: distinct numbers, never 0.
uintptr_t NewHandle() {
  static uintptr_t next = 0x20000;
  next += 4;
  return next;
}

// The default marquee interval of the common control, in milliseconds.
constexpr uint32_t kDefaultMarqueeMs = 30;

}  // namespace

SimProgressBarWindow::SimProgressBarWindow(int width, int height)
    : handle_(NewHandle()), width_(width), height_(height) {}

void SimProgressBarWindow::Record(BarEvent event) { events_.push_back(event); }

void SimProgressBarWindow::Notify() const {
  if (observer_) observer_();
}

void SimProgressBarWindow::Place(int x, int y, int width, int height) {
  bool resized = width != width_ || height != height_;
  x_ = x;
  y_ = y;
  width_ = width;
  height_ = height;
  if (resized && resize_) resize_();
}

void SimProgressBarWindow::SetVisible(bool visible) {
  visible_ = visible;
  Notify();
}

bool SimProgressBarWindow::CreateBar(uint32_t style, int width, int height) {
  if (bar_) DestroyBar();
  // A new bar starts as the common control does: range 0 to 100, position 0,
  // the normal state and colour, no animation.
  bar_ = NewHandle();
  style_ = style;
  barWidth_ = width;
  barHeight_ = height;
  pos_ = 0;
  min_ = 0;
  max_ = 100;
  marqueeOn_ = false;
  marqueeMs_ = kDefaultMarqueeMs;
  state_ = kPbstNormal;
  barColor_ = kClrDefault;
  BarEvent e;
  e.kind = BarEvent::Kind::kCreate;
  e.style = style;
  e.width = width;
  e.height = height;
  Record(e);
  Notify();
  return true;
}

void SimProgressBarWindow::DestroyBar() {
  if (!bar_) return;
  bar_ = 0;
  BarEvent e;
  e.kind = BarEvent::Kind::kDestroy;
  Record(e);
  Notify();
}

BarRect SimProgressBarWindow::BarBounds() const {
  if (!bar_) return {};
  return {0, 0, barWidth_, barHeight_};
}

void SimProgressBarWindow::MoveBar(int width, int height) {
  if (!bar_) return;
  barWidth_ = width;
  barHeight_ = height;
  BarEvent e;
  e.kind = BarEvent::Kind::kMove;
  e.width = width;
  e.height = height;
  Record(e);
  Notify();
}

intptr_t SimProgressBarWindow::SendToBar(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (!bar_) return 0;
  BarEvent e;
  e.message = message;
  e.wParam = wParam;
  e.lParam = lParam;
  Record(e);
  auto clip = [this] { pos_ = std::clamp(pos_, std::min(min_, max_), std::max(min_, max_)); };
  intptr_t answer = 0;
  switch (message) {
    case kPbmSetPos:
      answer = pos_;
      pos_ = static_cast<int32_t>(wParam);
      clip();
      break;
    case kPbmSetRange32:
      // The previous range, both ends in 16 bits, as the control answers.
      answer = static_cast<intptr_t>((static_cast<uint32_t>(min_) & 0xFFFF) |
                                     ((static_cast<uint32_t>(max_) & 0xFFFF) << 16));
      min_ = static_cast<int32_t>(wParam);
      max_ = static_cast<int32_t>(lParam);
      clip();
      break;
    case kPbmGetRange: return wParam ? min_ : max_;
    case kPbmGetPos: return pos_;
    case kPbmSetBarColor:
      answer = static_cast<intptr_t>(barColor_);
      barColor_ = static_cast<uint32_t>(lParam);
      break;
    case kPbmGetBarColor: return static_cast<intptr_t>(barColor_);
    case kPbmSetMarquee:
      marqueeOn_ = wParam != 0;
      if (marqueeOn_) marqueeMs_ = lParam > 0 ? static_cast<uint32_t>(lParam) : kDefaultMarqueeMs;
      answer = 1;
      break;
    case kPbmSetState:
      answer = state_;
      if (wParam == kPbstNormal || wParam == kPbstError || wParam == kPbstPaused)
        state_ = static_cast<uint32_t>(wParam);
      break;
    case kPbmGetState: return state_;
    default: return 0;
  }
  Notify();
  return answer;
}

}  // namespace sim

std::unique_ptr<ProgressBarWindow> CreateProgressBarWindow(uintptr_t, int, int x, int y, int width, int height) {
  auto window = std::make_unique<sim::SimProgressBarWindow>(width, height);
  window->Place(x, y, width, height);
  return window;
}

}  // namespace os
