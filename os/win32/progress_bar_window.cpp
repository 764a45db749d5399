// The progress bar window on Windows: a container window of the class
// "TarnvaleProgressBar" in the host window, and the common controls'
// "msctls_progress32" child in it.
#include <windows.h>
#include <commctrl.h>

#include "os/progress_bar_window.h"
#include "os/win32/window_class.h"

namespace os {
namespace win32 {
namespace {

constexpr wchar_t kContainerClass[] = L"TarnvaleProgressBar";
constexpr int kBarId = 1;

class Win32ProgressBarWindow : public ProgressBarWindow, public ObjectWindow {
 public:
  Win32ProgressBarWindow(HWND parent, int id, int x, int y, int width, int height) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    // The common controls' progress class, made known once.
    static const bool commonControls = [] {
      INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
      return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)commonControls;
    static const bool registered = RegisterObjectClass<Win32ProgressBarWindow>(
        kContainerClass, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr, CS_HREDRAW | CS_VREDRAW);
    (void)registered;
    // Without a host window the container is a hidden window of its own.
    DWORD style = parent ? WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN : WS_POPUP | WS_CLIPCHILDREN;
    HMENU menu = parent ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
    hwnd_ = CreateWindowExW(0, kContainerClass, L"", style, x, y, width, height, parent, menu, instance, this);
  }

  ~Win32ProgressBarWindow() override {
    if (hwnd_) {
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      DestroyWindow(hwnd_);
    }
  }

  uintptr_t Handle() const override { return reinterpret_cast<uintptr_t>(hwnd_); }
  int ClientWidth() const override { return Client().right; }
  int ClientHeight() const override { return Client().bottom; }
  void Place(int x, int y, int width, int height) override {
    if (hwnd_) SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void SetResizeHandler(std::function<void()> handler) override { resize_ = std::move(handler); }
  void SetVisible(bool visible) override {
    if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
  }
  bool IsVisible() const override { return hwnd_ && (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }

  bool CreateBar(uint32_t style, int width, int height) override {
    DestroyBar();
    if (!hwnd_) return false;
    bar_ = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, style, 0, 0, width, height, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBarId)), GetModuleHandleW(nullptr), nullptr);
    return bar_ != nullptr;
  }
  void DestroyBar() override {
    if (bar_) DestroyWindow(bar_);
    bar_ = nullptr;
  }
  bool HasBar() const override { return bar_ != nullptr; }
  uintptr_t BarHandle() const override { return reinterpret_cast<uintptr_t>(bar_); }
  uint32_t BarStyle() const override {
    return bar_ ? static_cast<uint32_t>(GetWindowLongPtrW(bar_, GWL_STYLE)) : 0;
  }
  BarRect BarBounds() const override {
    if (!bar_) return {};
    RECT r;
    GetWindowRect(bar_, &r);
    MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
  }
  void MoveBar(int width, int height) override {
    if (bar_) MoveWindow(bar_, 0, 0, width, height, TRUE);
  }
  intptr_t SendToBar(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    if (!bar_) return 0;
    return static_cast<intptr_t>(SendMessageW(bar_, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)));
  }

 private:
  RECT Client() const {
    RECT r{};
    if (hwnd_) GetClientRect(hwnd_, &r);
    return r;
  }

 public:
  // --- what the window procedure calls ---
  void Detach() {
    bar_ = nullptr;
    hwnd_ = nullptr;
  }
  LRESULT OnMessage(UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
      case WM_SIZE:
        if (resize_) resize_();
        return 0;
      case WM_PARENTNOTIFY:
        // The bar went away with the host window (a window destroyed
        // from outside): forget its handle.
        if (LOWORD(wp) == WM_DESTROY && reinterpret_cast<HWND>(lp) == bar_) bar_ = nullptr;
        break;
      default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wp, lp);
  }

 private:
  HWND bar_ = nullptr;
  std::function<void()> resize_;
};

}  // namespace
}  // namespace win32

std::unique_ptr<ProgressBarWindow> CreateProgressBarWindow(uintptr_t parent, int id, int x, int y, int width,
                                                           int height) {
  return std::make_unique<win32::Win32ProgressBarWindow>(reinterpret_cast<HWND>(parent), id, x, y, width, height);
}

}  // namespace os
