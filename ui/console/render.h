// The host build's main window drawn as text for the console front-end.
//
// Public functions: RenderWindow(), RenderProgress(), RenderMessage().
#pragma once

#include <cstdint>
#include <string>

#include "os/sim/progress_bar_window.h"
#include "ui/window_model.h"

namespace ui::console {

// The caption, the disk row, the layout row, the buttons, the status line
// and the progress; with `lists`, every list's entries below.
std::string RenderWindow(ui::WindowModel& window, bool lists);
// A progress bar as its bar window shows it at the simulated time `nowMs`:
// a marquee as a mark that moves with the time, a position as a filled bar
// with its percentage of the range.
std::string RenderProgress(const os::sim::SimProgressBarWindow& bar, uint64_t nowMs);
// The same, without the moving mark's place (it changes only when the bar
// shows something else).
std::string RenderProgressState(const os::sim::SimProgressBarWindow& bar);
std::string RenderMessage(const ui::ShownMessage& message);

}  // namespace ui::console
