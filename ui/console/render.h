// The host build's main window drawn as text for the console front-end.
//
// Public functions: RenderWindow(), RenderProgress(), RenderMessage().
#pragma once

#include <string>

#include "ui/window_model.h"

namespace ui::console {

// The caption, the disk row, the layout row, the buttons, the status line
// and the progress; with `lists`, every list's entries below.
std::string RenderWindow(const ui::WindowModel& window, bool lists);
std::string RenderProgress(const ui::WindowModel& window);
std::string RenderMessage(const ui::ShownMessage& message);

}  // namespace ui::console
