// Window procedures on Windows: a procedure put in front of a window's own
// hands its messages to a handler of the shared code, through one
// trampoline per process that finds the handler by the window.
#include "os/window_procedure.h"

#include <windows.h>

#include <map>

#include "os/main_window.h"

namespace os {
namespace {

std::map<HWND, MessageHandler>& Handlers() {
  static std::map<HWND, MessageHandler> handlers;
  return handlers;
}

HWND H(const MainWindow& window) { return reinterpret_cast<HWND>(window.NativeHandle()); }

LRESULT CALLBACK Trampoline(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) {
  auto it = Handlers().find(hwnd);
  if (it == Handlers().end()) return DefWindowProcW(hwnd, message, wp, lp);
  // A copy: the handler may put the old procedure back, which drops it.
  MessageHandler handler = it->second;
  try {
    return handler({message, wp, lp});
  } catch (...) {
    return DefWindowProcW(hwnd, message, wp, lp);  // nothing crosses the procedure
  }
}

}  // namespace

WindowProcedure GetWindowProcedure(const MainWindow& window) {
  HWND h = H(window);
  return h ? static_cast<WindowProcedure>(GetWindowLongPtrW(h, GWLP_WNDPROC)) : 0;
}

WindowProcedure SubclassWindow(MainWindow& window, MessageHandler handler) {
  HWND h = H(window);
  if (!h) return 0;
  Handlers()[h] = std::move(handler);
  LONG_PTR before = SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Trampoline));
  if (!before) Handlers().erase(h);
  return static_cast<WindowProcedure>(before);
}

bool SetWindowProcedure(MainWindow& window, WindowProcedure procedure) {
  HWND h = H(window);
  if (!h || !procedure) return false;
  bool ok = SetWindowLongPtrW(h, GWLP_WNDPROC, static_cast<LONG_PTR>(procedure)) != 0;
  if (ok && procedure != reinterpret_cast<WindowProcedure>(&Trampoline)) Handlers().erase(h);
  return ok;
}

intptr_t CallWindowProcedure(WindowProcedure procedure, MainWindow& window, const WindowMessage& m) {
  HWND h = H(window);
  if (!h || !procedure) return 0;
  return CallWindowProcW(reinterpret_cast<WNDPROC>(procedure), h, m.message, m.wParam, m.lParam);
}

intptr_t SendWindowMessage(MainWindow& window, const WindowMessage& m) {
  HWND h = H(window);
  return h ? SendMessageW(h, m.message, m.wParam, m.lParam) : 0;
}

// DestroyWindow takes the window's system menu with it; a procedure left in
// front of a destroyed window is dropped here.
void WindowDestroyed(const MainWindow& window) {
  if (HWND h = H(window)) Handlers().erase(h);
}

}  // namespace os
