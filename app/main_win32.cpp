// The Windows build's entry point: Tarnvale.exe, a GUI program.
#include <windows.h>
#include <commctrl.h>

#include "app/form1.h"
#include "app/main_operations.h"
#include "os/main_window.h"
#include "os/win32/message_loop.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  // The common controls (the progress bar among them) exist before any window.
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  InitCommonControls();

  app::Form1 form([](os::MainWindowEvents& events) { return os::CreateMainWindow(events); });
  app::MainOperations operations(form);
  form.SetOperations(&operations);
  if (!form.Load()) return 0;  // a second instance handed over to the first
  form.window().Show();
  return os::win32::RunMessageLoop();
}
