// The progress bar window on the simulated machine: a container with one
// simulated "msctls_progress32" bar in it. The bar keeps the state that the
// common control keeps (range, position clipped to the range, style, marquee
// animation and its interval, state, bar colour) and answers the messages
// the system sends it. Every window change and every message is recorded in
// order, so tests see what was sent and the console can draw the bar.
//
// Public: struct BarEvent, class SimProgressBarWindow.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "os/progress_bar_window.h"

namespace os::sim {

struct BarEvent {
  enum class Kind { kCreate, kDestroy, kMove, kMessage };
  Kind kind = Kind::kMessage;
  uint32_t message = 0;  // kMessage
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
  uint32_t style = 0;    // kCreate
  int width = 0, height = 0;  // kCreate, kMove
};

class SimProgressBarWindow : public ProgressBarWindow {
 public:
  SimProgressBarWindow(int width, int height);

  // ProgressBarWindow
  uintptr_t Handle() const override { return handle_; }
  int ClientWidth() const override { return width_; }
  int ClientHeight() const override { return height_; }
  void Place(int x, int y, int width, int height) override;
  void SetResizeHandler(std::function<void()> handler) override { resize_ = std::move(handler); }
  void SetVisible(bool visible) override;
  bool IsVisible() const override { return visible_; }
  bool CreateBar(uint32_t style, int width, int height) override;
  void DestroyBar() override;
  bool HasBar() const override { return bar_ != 0; }
  uintptr_t BarHandle() const override { return bar_; }
  uint32_t BarStyle() const override { return bar_ ? style_ : 0; }
  BarRect BarBounds() const override;
  void MoveBar(int width, int height) override;
  intptr_t SendToBar(uint32_t message, uintptr_t wParam, intptr_t lParam) override;

  // What happened to the bar windows of this container, in order.
  const std::vector<BarEvent>& Events() const { return events_; }
  // Called after every change of what the bar shows.
  void SetObserver(std::function<void()> observer) { observer_ = std::move(observer); }

  // What the bar shows.
  int32_t Position() const { return pos_; }
  int32_t RangeMin() const { return min_; }
  int32_t RangeMax() const { return max_; }
  bool MarqueeStyle() const { return bar_ && (style_ & kPbsMarquee) != 0; }
  // The marquee animation runs, moving one step every MarqueeInterval() ms.
  bool MarqueeRunning() const { return MarqueeStyle() && marqueeOn_; }
  uint32_t MarqueeInterval() const { return marqueeMs_; }
  uint32_t BarState() const { return state_; }
  uint32_t BarColor() const { return barColor_; }

 private:
  void Record(BarEvent event);
  void Notify() const;

  uintptr_t handle_;
  int x_ = 0, y_ = 0, width_, height_;
  bool visible_ = true;
  std::function<void()> resize_;
  std::function<void()> observer_;
  std::vector<BarEvent> events_;

  uintptr_t bar_ = 0;
  uint32_t style_ = 0;
  int barWidth_ = 0, barHeight_ = 0;
  int32_t pos_ = 0, min_ = 0, max_ = 100;
  bool marqueeOn_ = false;
  uint32_t marqueeMs_ = 30;
  uint32_t state_ = kPbstNormal;
  uint32_t barColor_ = kClrDefault;
};

}  // namespace os::sim
