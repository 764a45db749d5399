// The Windows build's About window (FrmAbout): a window made in code, owned
// by the main window, with the logo picture from the resources, six labels
// (two of them links), two timers and the container of the music bar Prog1.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <memory>

#include "os/main_window.h"
#include "os/progress_bar_window.h"
#include "os/win32/dialog_ids.h"
#include "os/win32/dialogs.h"
#include "os/win32/resource_ids.h"
#include "os/win32/wide.h"
#include "os/win32/window_class.h"

namespace os::win32 {
namespace {

std::wstring TextOf(HWND h) {
  int n = GetWindowTextLengthW(h);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(h, s.data(), n + 1);
  s.resize(static_cast<size_t>(n));
  return s;
}

HFONT MakeFont(int points, int weight, bool underline) {
  HDC screen = GetDC(nullptr);
  int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontW(height, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Segoe UI");
}

class Win32AboutWindow : public AboutWindow, public ObjectWindow {
 public:
  Win32AboutWindow(HWND owner, AboutWindowEvents& events) : owner_(owner), events_(events) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterObjectClass<Win32AboutWindow>(kAboutClass, nullptr);

    back_.Reset(CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0)));
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT r{0, 0, Px(430), Px(196)};
    AdjustWindowRectEx(&r, style, FALSE, WS_EX_DLGMODALFRAME);
    int w = r.right - r.left, h = r.bottom - r.top;
    POINT at = PlaceOver(owner_, w, h);
    int x = at.x, y = at.y;
    hwnd_ = CreateWindowExW(WS_EX_DLGMODALFRAME, kAboutClass, L"", style, x, y, w, h, owner_, nullptr, instance, this);
    textFont_.Reset(MakeFont(9, FW_NORMAL, false));
    titleFont_.Reset(MakeFont(12, FW_SEMIBOLD, false));
    linkFont_.Reset(MakeFont(9, FW_NORMAL, true));
    CreateControls();
  }

  ~Win32AboutWindow() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }

  void SetTitle(std::string_view title) override { SetWindowTextW(hwnd_, Wide(title).c_str()); }
  std::string Title() const override { return Utf8(TextOf(hwnd_)); }
  void UseOwnerIcon() override { UseOwnerIconOn(owner_, hwnd_); }
  void SetBackColor(uint32_t rgb) override {
    back_.Reset(CreateSolidBrush(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF)));
    backColor_ = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    InvalidateRect(hwnd_, nullptr, TRUE);
  }

  void SetLabel(int index, std::string_view text) override {
    HWND h = LabelItem(index);
    SetWindowTextW(h, Wide(text).c_str());
    FitToText(h);
  }
  std::string Label(int index) const override { return Utf8(TextOf(LabelItem(index))); }
  void SetLabelVisible(int index, bool visible) override { ShowWindow(LabelItem(index), visible ? SW_SHOW : SW_HIDE); }
  bool LabelVisible(int index) const override { return (GetWindowLongPtrW(LabelItem(index), GWL_STYLE) & WS_VISIBLE) != 0; }
  void SetLabelTip(int index, std::string_view tip) override {
    if (!tips_) {
      tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
    }
    tipTexts_[static_cast<size_t>(index)] = Wide(tip);
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = hwnd_;
    info.uId = reinterpret_cast<UINT_PTR>(LabelItem(index));
    info.lpszText = tipTexts_[static_cast<size_t>(index)].data();
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
  void SetLabelLeft(int index, int twips) override {
    RECT r = ClientRectOf(LabelItem(index));
    SetWindowPos(LabelItem(index), nullptr, TwipsToPixels(twips), r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  int LabelLeft(int index) const override { return PixelsToTwips(ClientRectOf(LabelItem(index)).left); }
  int LabelWidth(int index) const override {
    RECT r = ClientRectOf(LabelItem(index));
    return PixelsToTwips(r.right - r.left);
  }
  void UseHandCursor() override {
    if (!hand_) hand_ = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND));  // loaded once, kept
    SetCursor(hand_);
    handShown_ = true;
  }

  void SetImageTop(int twips) override {
    RECT r = ClientRectOf(image_);
    SetWindowPos(image_, nullptr, r.left, TwipsToPixels(twips), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    imageTop_ = twips;
  }
  int ImageTop() const override { return imageTop_; }
  int ImageHeight() const override {
    RECT r = ClientRectOf(image_);
    return PixelsToTwips(r.bottom - r.top);
  }
  int InnerHeight() const override {
    RECT r;
    GetClientRect(hwnd_, &r);
    return PixelsToTwips(r.bottom - r.top);
  }

  void SetTimerInterval(AboutTimer t, uint32_t ms) override {
    Slot(t).interval = ms;
    Apply(t);
  }
  void SetTimerEnabled(AboutTimer t, bool enabled) override {
    Slot(t).enabled = enabled;
    Apply(t);
  }
  uint32_t TimerInterval(AboutTimer t) const override { return timers_[Index(t)].interval; }
  bool TimerEnabled(AboutTimer t) const override { return timers_[Index(t)].enabled; }

  ProgressBarWindow& Prog1Window() override { return *prog1_; }

  void Beep() override { MessageBeep(0); }
  int ShowMessage(std::string_view text, std::string_view title, uint32_t style) override {
    std::wstring t = title.empty() ? L"Tarnvale" : Wide(title);
    return MessageBoxW(hwnd_, Wide(text).c_str(), t.c_str(), style);
  }

  void ShowModal() override { RunModal(owner_, hwnd_, closed_); }

 private:
  struct Timer {
    uint32_t interval = 0;
    bool enabled = false;
  };
  static size_t Index(AboutTimer t) { return t == AboutTimer::kTimer1 ? 0 : 1; }
  Timer& Slot(AboutTimer t) { return timers_[Index(t)]; }
  void Apply(AboutTimer t) {
    unsigned id = t == AboutTimer::kTimer1 ? kTimerIdAbout1 : kTimerIdAbout2;
    const Timer& timer = Slot(t);
    if (timer.enabled && timer.interval > 0) ::SetTimer(hwnd_, id, timer.interval, nullptr);
    else KillTimer(hwnd_, id);
  }

  int Px(int at96) const { return TwipsToPixels(at96 * 15); }
  HWND LabelItem(int index) const { return GetDlgItem(hwnd_, kIdAboutLabel0 + index); }
  RECT ClientRectOf(HWND h) const {
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  // A label is as wide and as high as its text.
  void FitToText(HWND h) {
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)));
    std::wstring text = TextOf(h);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    SetWindowPos(h, nullptr, 0, 0, size.cx + 2, size.cy + 2, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  HWND Child(const wchar_t* cls, DWORD style, int id, int x, int y, int w, int h, HFONT font) {
    HWND child = CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, Px(x), Px(y), Px(w), Px(h), hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (font) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
  }

  void CreateControls() {
    // The logo on the left, where it falls and bounces.
    image_ = Child(L"STATIC", SS_BITMAP | SS_NOTIFY, kIdAboutImage1, 20, 16, 64, 64, nullptr);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    logo_.Reset(static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(TV_RES_LOGO), IMAGE_BITMAP, 0, 0, 0)));
    if (logo_.get()) SendMessageW(image_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo_.get()));
    imageTop_ = PixelsToTwips(Px(16));
    // The product line, the maker line, and the row of links.
    Child(L"STATIC", SS_LEFT | SS_NOPREFIX, kIdAboutLabel0, 110, 22, 300, 26, titleFont_.get());
    Child(L"STATIC", SS_LEFT | SS_NOPREFIX, kIdAboutLabel0 + 1, 110, 54, 300, 20, textFont_.get());
    Child(L"STATIC", SS_LEFT | SS_NOPREFIX, kIdAboutLabel0 + 2, 110, 92, 60, 20, textFont_.get());
    Child(L"STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY, kIdAboutLabel0 + 3, 170, 92, 60, 20, linkFont_.get());
    Child(L"STATIC", SS_LEFT | SS_NOPREFIX, kIdAboutLabel0 + 4, 230, 92, 10, 20, textFont_.get());
    Child(L"STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY, kIdAboutLabel0 + 5, 240, 92, 60, 20, linkFont_.get());
    // Prog1's container, hidden until the tune plays; its control builds
    // the bar window in it.
    prog1_ = CreateProgressBarWindow(reinterpret_cast<uintptr_t>(hwnd_), kIdAboutProg1, Px(110), Px(150), Px(296),
                                     Px(14));
    prog1_->SetVisible(false);
  }

  int LabelIndexOf(HWND h) const {
    for (int i = 0; i < kAboutLabelCount; ++i)
      if (LabelItem(i) == h) return i;
    return -1;
  }

  void Close() {
    if (closing_) return;
    closing_ = true;
    events_.OnUnload();
    KillTimer(hwnd_, kTimerIdAbout1);
    KillTimer(hwnd_, kTimerIdAbout2);
    closed_ = true;
  }

 public:
  // --- what the window procedure calls ---
  LRESULT OnMessage(UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
      case WM_COMMAND: {
        int id = LOWORD(wp);
        if (id == IDCANCEL) {  // Esc
          Close();
          return 0;
        }
        if (HIWORD(wp) == STN_CLICKED) {
          if (id == kIdAboutImage1) events_.OnImageClick();
          else if (id >= kIdAboutLabel0 && id < kIdAboutLabel0 + kAboutLabelCount) events_.OnLabelClick(id - kIdAboutLabel0);
        }
        return 0;
      }
      case WM_SETCURSOR: {
        int index = LabelIndexOf(reinterpret_cast<HWND>(wp));
        if (index >= 0) {
          handShown_ = false;
          events_.OnLabelMouseMove(index);
          if (handShown_) return TRUE;
        }
        break;
      }
      case WM_TIMER:
        if (wp == kTimerIdAbout1) events_.OnTimer(AboutTimer::kTimer1);
        else if (wp == kTimerIdAbout2) events_.OnTimer(AboutTimer::kTimer2);
        return 0;
      case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(hwnd_, &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, back_.get());
        return 1;
      }
      case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wp);
        int index = LabelIndexOf(reinterpret_cast<HWND>(lp));
        SetTextColor(dc, index == 3 || index == 5 ? RGB(0, 0x66, 0xCC) : GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, backColor_);
        return reinterpret_cast<LRESULT>(back_.get());
      }
      case WM_CLOSE:
        Close();
        return 0;
      default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wp, lp);
  }

 private:
  HWND owner_;
  AboutWindowEvents& events_;
  HWND image_ = nullptr;
  HWND tips_ = nullptr;
  std::array<std::wstring, kAboutLabelCount> tipTexts_;
  GdiObject<HBRUSH> back_;
  COLORREF backColor_ = RGB(0xF0, 0xF0, 0xF0);
  GdiObject<HFONT> textFont_, titleFont_, linkFont_;
  GdiObject<HBITMAP> logo_;
  HCURSOR hand_ = nullptr;
  bool handShown_ = false;
  int imageTop_ = 0;
  std::array<Timer, 2> timers_{};
  std::unique_ptr<ProgressBarWindow> prog1_;
  bool closing_ = false;
  bool closed_ = false;
};

}  // namespace

std::unique_ptr<AboutWindow> MakeAboutWindow(HWND owner, AboutWindowEvents& events) {
  return std::make_unique<Win32AboutWindow>(owner, events);
}

}  // namespace os::win32
