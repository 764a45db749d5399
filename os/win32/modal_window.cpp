// Running a dialog modally to its owner (and which one runs now), its
// place, and the owner's icon.
#include "os/win32/dialogs.h"
#include "os/win32/message_loop.h"

namespace os::win32 {
namespace {

HWND g_modal = nullptr;  // the dialog RunModal shows now

int Dpi() {
  static int dpi = [] {
    HDC screen = GetDC(nullptr);
    int d = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return d > 0 ? d : 96;
  }();
  return dpi;
}

}  // namespace

int TwipsToPixels(int twips) { return MulDiv(twips, Dpi(), 1440); }
int PixelsToTwips(int pixels) { return MulDiv(pixels, 1440, Dpi()); }

HWND OpenModalWindow() { return g_modal; }

void RunModal(HWND owner, HWND window, const bool& closed) {
  // The owner's control that has the focus gets it back when the dialog
  // closes: disabling the owner takes it away.
  HWND focus = GetFocus();
  if (!owner || !IsChild(owner, focus)) focus = nullptr;
  if (focus) SetPropW(owner, kFocusProperty, focus);
  HWND outer = g_modal;
  g_modal = window;
  bool ownerEnabled = owner && IsWindowEnabled(owner);
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  UpdateWindow(window);
  MSG msg;
  while (!closed) {
    BOOL r = GetMessageW(&msg, nullptr, 0, 0);
    if (r == 0) {
      // The program is asked to end: the outer loop takes the request.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (r < 0) break;
    if (IsWindow(window) && IsDialogMessageW(window, &msg)) continue;
    DispatchOne(msg);
  }
  g_modal = outer;
  // The owner takes the input back before the dialog goes, so that the
  // activation returns to it rather than to another program.
  if (owner && ownerEnabled && IsWindow(owner)) EnableWindow(owner, TRUE);
  if (owner && IsWindow(owner)) SetActiveWindow(owner);
  if (focus && IsWindow(focus) && IsWindowEnabled(focus)) SetFocus(focus);
  if (IsWindow(window)) ShowWindow(window, SW_HIDE);
}

POINT PlaceOver(HWND owner, int width, int height) {
  RECT o{0, 0, 0, 0};
  if (owner) GetWindowRect(owner, &o);
  POINT p{(o.left + o.right - width) / 2, (o.top + o.bottom - height) / 2};
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST), &info)) {
    const RECT& area = info.rcWork;
    if (p.x + width > area.right) p.x = area.right - width;
    if (p.y + height > area.bottom) p.y = area.bottom - height;
    if (p.x < area.left) p.x = area.left;
    if (p.y < area.top) p.y = area.top;
  }
  return p;
}

void UseOwnerIconOn(HWND owner, HWND window) {
  if (!owner) return;
  auto icon = [&](WPARAM which, int classIndex) {
    HICON h = reinterpret_cast<HICON>(SendMessageW(owner, WM_GETICON, which, 0));
    if (!h) h = reinterpret_cast<HICON>(GetClassLongPtrW(owner, classIndex));
    return h;
  };
  HICON big = icon(ICON_BIG, GCLP_HICON);
  HICON little = icon(ICON_SMALL, GCLP_HICONSM);
  if (!little) little = big;
  if (big) SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  if (little) SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(little));
}

}  // namespace os::win32
