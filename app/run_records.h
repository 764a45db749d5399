// What the log says about the run itself: at start, the program and the
// system it runs on, the language, the configuration and the packages; at
// close, what became of the per-run folder; and the frame of each operation.
//
// Public: LogStartRecord(), LogCloseRecord(), LogOperationStart(),
//         LogOperationEnd().
#pragma once

#include <string_view>

namespace os {
class MainWindow;
}

namespace app {

// The program's version, the Windows version and build, 32 or 64 bits,
// whether the process is elevated, the language id and its file, the
// configuration file and the package files with their sizes (paths and
// sizes only: no file's contents).
void LogStartRecord();

// Whether the per-run folder `folder` is gone ("" when there was none).
void LogCloseRecord(std::string_view folder);

// Which operation starts, with what the window has chosen: the target
// entry, the layout entry and the file system.
void LogOperationStart(std::string_view operation, const os::MainWindow& window);
// The operation ended with the last message it showed.
void LogOperationEnd(std::string_view operation);

}  // namespace app
