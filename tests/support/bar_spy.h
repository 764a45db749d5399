// What the progress bar windows inside one container receive, on either
// build: on the simulated machine from the bar's own record, on Windows
// from hooks on the thread that see every window created and destroyed and
// every message sent. Only the messages that change a bar are listed:
//   "create 50000009 200x18"   a bar window made with this style and size
//   "destroy"
//   "SETPOS 42 0", "SETRANGE32 0 100", "SETMARQUEE 1 30", "SETSTATE 2 0",
//   "SETBARCOLOR 0 ff"         a message with its wParam and lParam in hex
//                              (the positions and range ends in decimal)
//
// Public: class BarSpy.
#pragma once

#include <string>
#include <vector>

#include "os/progress_bar_window.h"

namespace test {

class BarSpy {
 public:
  explicit BarSpy(os::ProgressBarWindow& container);
  ~BarSpy();
  BarSpy(const BarSpy&) = delete;
  BarSpy& operator=(const BarSpy&) = delete;

  // What happened since the spy was made or last asked.
  std::vector<std::string> Take();

  struct Impl;

 private:
  Impl* impl_;
};

// A message line as the spy writes it.
std::string BarMessageLine(uint32_t message, uintptr_t wParam, intptr_t lParam);
// "create <style> <w>x<h>"
std::string BarCreateLine(uint32_t style, int width, int height);

}  // namespace test
