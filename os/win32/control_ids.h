// The child-window ids and the class name of the Windows main window, shared
// with the test program that reads the window under Wine.
#pragma once

namespace os::win32 {

inline constexpr wchar_t kMainWindowClass[] = L"TarnvaleMainWindow";

enum ControlId : int {
  kIdLabel3 = 1003,
  kIdRDriver = 1010,
  kIdUReFresh = 1011,
  kIdLabel0 = 1000,
  kIdFsys = 1020,
  kIdLabel1 = 1001,
  kIdFSFor = 1021,
  kIdCommand1 = 1030,
  kIdStatus = 1031,
  kIdLProgress = 1032,
  kIdProgressBar1 = 1033,
  kIdFrame0 = 1040,
  kIdFrame1 = 1041,
};

inline constexpr unsigned kTimerIdTimer1 = 1;
inline constexpr unsigned kTimerIdTimerProg = 2;
// The main window's close, tried again once an open dialog has closed.
inline constexpr unsigned kTimerIdCloseAfterDialog = 3;

}  // namespace os::win32
