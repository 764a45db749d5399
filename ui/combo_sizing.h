// Sizing the main window's drop-down lists: the selection field as tall as
// the refresh button, and the opened part wide enough for its longest entry.
//
// Public functions: SetComboHeight(), SetComboWidth().
#pragma once

#include "os/main_window.h"

namespace ui {

// heightTwips 0 stands for the height of the refresh button.
void SetComboHeight(os::MainWindow& window, os::Control list, int heightTwips);
void SetComboWidth(os::MainWindow& window, os::Control list);

}  // namespace ui
