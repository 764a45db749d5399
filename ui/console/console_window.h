// The host build's main window: a headless window (ui::WindowModel) whose
// timers run on the simulated machine's event loop, shown and worked through
// the host console. The commands are listed in os/sim/console.h.
//
// Public functions: CreateConsoleWindow(), RunConsoleWindow().
#pragma once

#include <memory>

#include "os/main_window.h"
#include "os/sim/console.h"

namespace ui::console {

// The main window of the host program, reporting to `events`.
std::unique_ptr<os::MainWindow> CreateConsoleWindow(os::MainWindowEvents& events,
                                                    const os::sim::ConsoleOptions& options);

// Handles events until the window is closed (by "close", or when a script
// ends); the caller then unloads the window. Returns 0, or 1 when a check
// failed or the script was wrong.
int RunConsoleWindow();

}  // namespace ui::console
