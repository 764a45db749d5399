// The one window procedure of the program's own window classes (the main
// window, the size dialog, the About window, the progress bar container):
// the object that made the window rides in the window's user data from
// WM_NCCREATE to WM_NCDESTROY, and every message in between goes to it.
//
// A class T used with it derives from ObjectWindow, which keeps the handle
// (T may have its own Detach to forget more), and has, public:
//   LRESULT OnMessage(UINT, WPARAM, LPARAM)  every message but those two
//
// Public: class ObjectWindow; functions ObjectWindowProc<T>(), RegisterObjectClass<T>().
#pragma once

#include <windows.h>

namespace os::win32 {

class ObjectWindow {
 public:
  void Attach(HWND hwnd) { hwnd_ = hwnd; }  // the window exists (WM_NCCREATE)
  void Detach() {}                          // the window goes (WM_NCDESTROY)

 protected:
  HWND hwnd_ = nullptr;
};

template <typename T>
LRESULT CALLBACK ObjectWindowProc(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    if (self) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      self->Attach(hwnd);
    }
    return DefWindowProcW(hwnd, message, wp, lp);
  }
  auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wp, lp);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->Detach();
    return DefWindowProcW(hwnd, message, wp, lp);
  }
  try {
    return self->OnMessage(message, wp, lp);
  } catch (...) {
    return DefWindowProcW(hwnd, message, wp, lp);  // nothing crosses the procedure
  }
}

// Registers the class `name` with ObjectWindowProc<T>; a class registered
// before is kept. `background` may be null (the window paints its own).
template <typename T>
bool RegisterObjectClass(const wchar_t* name, HBRUSH background, HICON icon = nullptr, UINT style = 0) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = &ObjectWindowProc<T>;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = icon;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace os::win32
