// Showing the log: the system-menu entry "Log" and Ctrl+L open the log file
// with the shell's default program for it.
//
// Public: OpenLogFile().
#pragma once

namespace os {
class MainWindow;
}

namespace app {

// Opens the log with the shell; a message says why when there is no log
// file or the shell cannot open it (with the file's path, so that it can be
// found by hand).
void OpenLogFile(os::MainWindow& window);

}  // namespace app
