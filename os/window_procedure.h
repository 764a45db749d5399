// A window's procedure and the messages sent to it: what it takes to put a
// procedure of one's own in front of the main window's (subclassing) and to
// hand messages on to the one before.
//
// Public functions:
//   GetWindowProcedure()   GetWindowLongPtrW(GWLP_WNDPROC)
//   SubclassWindow()       SetWindowLongPtrW(GWLP_WNDPROC) with a procedure
//                          that hands every message to a handler
//   SetWindowProcedure()   SetWindowLongPtrW(GWLP_WNDPROC)
//   CallWindowProcedure()  CallWindowProcW
//   SendWindowMessage()    SendMessageW
//   WindowDestroyed()      the window is gone: its procedures and system menu
//                          go with it (Windows does this in DestroyWindow)
// Public: WindowMessage, WindowProcedure, MessageHandler, the message and
//         system-command numbers used.
#pragma once

#include <cstdint>
#include <functional>

namespace os {

class MainWindow;

enum : uint32_t { kWmClose = 0x0010, kWmCommand = 0x0111, kWmSysCommand = 0x0112 };
// The platform's own system commands (wParam of WM_SYSCOMMAND).
enum : uintptr_t {
  kScSize = 0xF000,
  kScMove = 0xF010,
  kScMinimize = 0xF020,
  kScMaximize = 0xF030,
  kScClose = 0xF060,
  kScRestore = 0xF120,
};

struct WindowMessage {
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

// A window procedure as the platform knows it (WNDPROC); 0 is none.
using WindowProcedure = uintptr_t;
// What a procedure installed by SubclassWindow calls for every message. It
// must not throw.
using MessageHandler = std::function<intptr_t(const WindowMessage&)>;

WindowProcedure GetWindowProcedure(const MainWindow& window);
// Makes a procedure that hands every message of the window to `handler`,
// installs it, and returns the procedure it replaced (0 on failure).
WindowProcedure SubclassWindow(MainWindow& window, MessageHandler handler);
bool SetWindowProcedure(MainWindow& window, WindowProcedure procedure);
intptr_t CallWindowProcedure(WindowProcedure procedure, MainWindow& window, const WindowMessage& message);
// Through the window's current procedure.
intptr_t SendWindowMessage(MainWindow& window, const WindowMessage& message);

void WindowDestroyed(const MainWindow& window);

}  // namespace os
