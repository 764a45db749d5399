// The Windows build's main window: a top-level window with the two rows of
// Form1's controls, made in code. Messages become os::MainWindowEvents.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <vector>

#include "os/main_window.h"
#include "os/menu.h"
#include "os/win32/control_ids.h"
#include "os/win32/dialogs.h"
#include "os/win32/menu_pictures.h"
#include "os/win32/message_loop.h"
#include "os/win32/shutdown_block.h"
#include "os/win32/window_class.h"
#include "os/win32/wide.h"

namespace os {
namespace win32 {
namespace {

int IdOf(Control c) {
  switch (c) {
    case Control::kLabel3: return kIdLabel3;
    case Control::kRDriver: return kIdRDriver;
    case Control::kUReFresh: return kIdUReFresh;
    case Control::kLabel0: return kIdLabel0;
    case Control::kFsys: return kIdFsys;
    case Control::kLabel1: return kIdLabel1;
    case Control::kFSFor: return kIdFSFor;
    case Control::kCommand1: return kIdCommand1;
    case Control::kStatus: return kIdStatus;
    case Control::kLProgress: return kIdLProgress;
  }
  return 0;
}

unsigned TimerIdOf(TimerId t) { return t == TimerId::kTimer1 ? kTimerIdTimer1 : kTimerIdTimerProg; }

std::wstring TextOf(HWND h) {
  int n = GetWindowTextLengthW(h);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(h, s.data(), n + 1);
  s.resize(static_cast<size_t>(n));
  return s;
}

class Win32MainWindow;
Win32MainWindow* g_window = nullptr;  // the one main window, for the message filter

class Win32MainWindow : public MainWindow, public ObjectWindow {
 public:
  explicit Win32MainWindow(MainWindowEvents& events) : events_(events) {
    g_window = this;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    if (!icon) icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    RegisterObjectClass<Win32MainWindow>(kMainWindowClass, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), icon);

    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    if (dpi_ <= 0) dpi_ = 96;

    // A fixed frame with a minimise box: the window is not resized or maximised.
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT r{0, 0, Px(600), Px(140)};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    hwnd_ = CreateWindowExW(0, kMainWindowClass, L"", style, CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left,
                            r.bottom - r.top, nullptr, nullptr, instance, this);
    font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW design{};
    if (GetObjectW(font_, sizeof design, &design)) fontName_ = Utf8(design.lfFaceName);
    CreateControls();
    SetMessageFilter(&Win32MainWindow::Filter);
  }

  ~Win32MainWindow() override {
    SetMessageFilter(nullptr);
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    if (ownFont_) DeleteObject(ownFont_);
    g_window = nullptr;
  }

  // --- the window ---
  void SetTitle(std::string_view title) override { SetWindowTextW(hwnd_, Wide(title).c_str()); }
  std::string Title() const override { return Utf8(TextOf(hwnd_)); }
  WindowState State() const override {
    if (IsIconic(hwnd_)) return WindowState::kMinimized;
    if (IsZoomed(hwnd_)) return WindowState::kMaximized;
    return WindowState::kNormal;
  }
  void SetState(WindowState state) override {
    ShowWindow(hwnd_, state == WindowState::kMinimized   ? SW_MINIMIZE
                      : state == WindowState::kMaximized ? SW_MAXIMIZE
                                                         : SW_RESTORE);
  }
  void Show() override {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    UpdateWindow(hwnd_);
  }
  void Hide() override { ShowWindow(hwnd_, SW_HIDE); }

  // --- labels and buttons ---
  void SetCaption(Control c, std::string_view text) override {
    HWND h = Item(c);
    SetWindowTextW(h, Wide(text).c_str());
    if (c == Control::kStatus || c == Control::kLProgress) UpdateWindow(h);  // shown during long steps
  }
  std::string Caption(Control c) const override { return Utf8(TextOf(Item(c))); }
  void SetEnabled(Control c, bool enabled) override { EnableWindow(Item(c), enabled); }
  bool IsEnabled(Control c) const override { return IsWindowEnabled(Item(c)) != FALSE; }
  void Focus(Control c) override { SetFocus(Item(c)); }

  // --- lists ---
  void ListClear(Control l) override { SendMessageW(Item(l), CB_RESETCONTENT, 0, 0); }
  void ListAdd(Control l, std::string_view entry) override {
    SendMessageW(Item(l), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(entry).c_str()));
  }
  int ListCount(Control l) const override { return static_cast<int>(SendMessageW(Item(l), CB_GETCOUNT, 0, 0)); }
  std::string ListItem(Control l, int index) const override {
    LRESULT n = SendMessageW(Item(l), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == CB_ERR) return "";
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    SendMessageW(Item(l), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(n));
    return Utf8(s);
  }
  void ListSetItem(Control l, int index, std::string_view entry) override {
    int selected = ListIndex(l);
    SendMessageW(Item(l), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageW(Item(l), CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(Wide(entry).c_str()));
    if (selected == index) SetListIndex(l, index);
  }
  int ListIndex(Control l) const override { return static_cast<int>(SendMessageW(Item(l), CB_GETCURSEL, 0, 0)); }
  void SetListIndex(Control l, int index) override { SendMessageW(Item(l), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
  std::string ListText(Control l) const override { return ListItem(l, ListIndex(l)); }

  // --- timers ---
  void SetTimerInterval(TimerId t, uint32_t ms) override {
    timers_[t].interval = ms;
    Apply(t);
  }
  void SetTimerEnabled(TimerId t, bool enabled) override {
    timers_[t].enabled = enabled;
    Apply(t);
  }
  uint32_t TimerInterval(TimerId t) const override { return timers_.at(t).interval; }
  bool TimerEnabled(TimerId t) const override { return timers_.at(t).enabled; }

  // --- progress ---
  ProgressBarWindow& ProgressBar1Window() override { return *progressBar1_; }
  uintptr_t Handle() const override { return reinterpret_cast<uintptr_t>(hwnd_); }

  int ShowMessage(std::string_view text, std::string_view title, uint32_t style) override {
    std::wstring t = title.empty() ? L"Tarnvale" : Wide(title);
    return MessageBoxW(hwnd_, Wide(text).c_str(), t.c_str(), style);
  }

  // The marks are the system menu's once it holds the entries.
  void SetMenuChecked(int id, bool checked) override {
    if (CheckMenuEntry(GetSystemMenu(*this), static_cast<uintptr_t>(id), checked) == kMenuNoEntry) checks_[id] = checked;
  }
  bool IsMenuChecked(int id) const override {
    int32_t state = GetMenuState(GetSystemMenu(*this), static_cast<uintptr_t>(id));
    if (state != kMenuNoEntry) return (state & kMfChecked) != 0;
    auto it = checks_.find(id);
    return it != checks_.end() && it->second;
  }

  std::string SetFontName(std::string_view face) override {
    HDC dc = GetDC(hwnd_);
    HFONT font = CreateFontW(-MulDiv(9, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                             Wide(face).c_str());
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t given[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, given);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    // The controls take the new font first; only then is the old one, which
    // they used until now, deleted.
    HFONT previous = ownFont_;
    ownFont_ = font;
    font_ = font;
    for (HWND child : children_) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    if (previous) DeleteObject(previous);
    fontName_ = Utf8(given);
    return fontName_;
  }
  std::string FontName() const override { return fontName_; }

  int ControlHeight(Control c) const override {
    RECT r;
    GetWindowRect(Item(c), &r);
    return r.bottom - r.top;
  }
  int TwipsPerPixelX() const override { return 1440 / dpi_; }
  int TwipsPerPixelY() const override { return 1440 / dpi_; }
  int TextWidth(Control c, std::string_view text) const override {
    HDC dc = GetDC(Item(c));
    HGDIOBJ old = SelectObject(dc, font_);
    std::wstring w = Wide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(Item(c), dc);
    return size.cx;
  }
  int ScrollBarWidth() const override { return GetSystemMetrics(SM_CXVSCROLL); }
  void SetListFieldHeight(Control l, int pixels) override {
    if (pixels > 0) SendMessageW(Item(l), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), pixels);
  }
  void SetListDroppedWidth(Control l, int pixels) override {
    SendMessageW(Item(l), CB_SETDROPPEDWIDTH, static_cast<WPARAM>(pixels), 0);
  }

  uintptr_t NativeHandle() const override { return reinterpret_cast<uintptr_t>(hwnd_); }
  std::unique_ptr<SizeDialog> CreateSizeDialog(SizeDialogEvents& events) override {
    return MakeSizeDialog(hwnd_, events);
  }
  std::unique_ptr<AboutWindow> CreateAboutWindow(AboutWindowEvents& events) override {
    return MakeAboutWindow(hwnd_, events);
  }

 private:
  struct Timer {
    uint32_t interval = 0;
    bool enabled = false;
  };

  int Px(int at96) const { return MulDiv(at96, dpi_, 96); }
  HWND Item(Control c) const { return GetDlgItem(hwnd_, IdOf(c)); }

  HWND Child(const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y, int w, int h) {
    HWND child = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, Px(x), Px(y), Px(w), Px(h), hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    children_.push_back(child);
    return child;
  }

  void CreateControls() {
    const DWORD combo = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
    // The disk row.
    Child(L"STATIC", L"", SS_LEFT | SS_CENTERIMAGE, kIdLabel3, 12, 12, 86, 24);
    Child(L"COMBOBOX", L"", combo, kIdRDriver, 100, 12, 390, 300);
    Child(L"BUTTON", L"", BS_PUSHBUTTON | WS_TABSTOP, kIdUReFresh, 496, 11, 92, 25);
    // The layout row.
    Child(L"STATIC", L"", SS_LEFT | SS_CENTERIMAGE, kIdLabel0, 12, 46, 86, 24);
    Child(L"COMBOBOX", L"", combo, kIdFsys, 100, 46, 280, 300);
    Child(L"STATIC", L"", SS_RIGHT | SS_CENTERIMAGE, kIdLabel1, 384, 46, 102, 24);
    Child(L"COMBOBOX", L"", combo, kIdFSFor, 490, 46, 98, 300);
    for (const wchar_t* fs : {L"NTFS", L"FAT32", L"exFAT"})
      SendMessageW(GetDlgItem(hwnd_, kIdFSFor), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fs));
    Child(L"STATIC", L"", SS_ETCHEDHORZ, kIdFrame0, 12, 80, 576, 2);
    // The start button, the status line, the progress.
    Child(L"BUTTON", L"", BS_DEFPUSHBUTTON | WS_TABSTOP, kIdCommand1, 12, 92, 108, 30);
    Child(L"STATIC", L"", SS_LEFT | SS_NOTIFY | SS_CENTERIMAGE, kIdStatus, 128, 92, 206, 30);
    // ProgressBar1's container; its control builds the bar window in it.
    progressBar1_ = CreateProgressBarWindow(reinterpret_cast<uintptr_t>(hwnd_), kIdProgressBar1, Px(340), Px(98),
                                            Px(200), Px(18));
    Child(L"STATIC", L"", SS_RIGHT | SS_CENTERIMAGE, kIdLProgress, 544, 92, 44, 30);
    Child(L"STATIC", L"", SS_ETCHEDHORZ, kIdFrame1, 12, 130, 576, 2);
    // The design captions, which the language file replaces at start.
    SetCaption(Control::kLabel3, "\xE9\x80\x89\xE6\x8B\xA9\xE7\xA3\x81\xE7\x9B\x98\xEF\xBC\x9A");
    SetCaption(Control::kLabel0, "\xE5\x88\xB6\xE4\xBD\x9C\xE6\xA8\xA1\xE5\xBC\x8F\xEF\xBC\x9A");
    SetCaption(Control::kLabel1, "\xE5\x88\x86\xE5\x8C\xBA\xE6\xA0\xBC\xE5\xBC\x8F\xEF\xBC\x9A");
    SetCaption(Control::kUReFresh, "\xE5\x88\xB7\xE6\x96\xB0");
    SetCaption(Control::kCommand1, "\xE5\xBC\x80\xE5\xA7\x8B\xE5\x88\xB6\xE4\xBD\x9C");
    SetCaption(Control::kStatus, "\xE8\xBF\x98\xE5\x8E\x9F\xE7\xA9\xBA\xE9\x97\xB4\xEF\xBC\x88" "F2\xEF\xBC\x89");
    timers_[TimerId::kTimer1] = {10, false};
    timers_[TimerId::kTimerProg] = {1000, false};
  }

  void Apply(TimerId t) {
    const Timer& timer = timers_[t];
    if (timer.enabled && timer.interval > 0) SetTimer(hwnd_, TimerIdOf(t), timer.interval, nullptr);
    else KillTimer(hwnd_, TimerIdOf(t));
  }

  // Keys reach the window before the focused control: it sees them and lets
  // them go on.
  static bool Filter(MSG& msg) {
    Win32MainWindow* w = g_window;
    if (!w || !IsWindow(w->hwnd_)) return false;
    bool ours = msg.hwnd == w->hwnd_ || IsChild(w->hwnd_, msg.hwnd);
    if (ours && (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)) {
      KeyModifiers mods;
      mods.shift = GetKeyState(VK_SHIFT) < 0;
      mods.ctrl = GetKeyState(VK_CONTROL) < 0;
      mods.alt = GetKeyState(VK_MENU) < 0;
      w->events_.OnKeyDown(static_cast<int>(msg.wParam), mods);
    }
    return ours && IsDialogMessageW(w->hwnd_, &msg);
  }

 public:
  // --- what the window procedure calls ---
  LRESULT OnMessage(UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
      case WM_COMMAND: {
        int id = LOWORD(wp);
        int code = HIWORD(wp);
        if (code == BN_CLICKED && id == kIdCommand1) events_.OnClick(Control::kCommand1);
        else if (code == BN_CLICKED && id == kIdUReFresh) events_.OnClick(Control::kUReFresh);
        else if (code == STN_CLICKED && id == kIdStatus) events_.OnClick(Control::kStatus);
        else if (code == CBN_DROPDOWN && id == kIdRDriver) events_.OnDropDown(Control::kRDriver);
        else if (code == CBN_DROPDOWN && id == kIdFsys) events_.OnDropDown(Control::kFsys);
        else if (code == CBN_DROPDOWN && id == kIdFSFor) events_.OnDropDown(Control::kFSFor);
        return 0;
      }
      case WM_TIMER:
        if (wp == kTimerIdTimer1) events_.OnTimer(TimerId::kTimer1);
        else if (wp == kTimerIdTimerProg) events_.OnTimer(TimerId::kTimerProg);
        else if (wp == kTimerIdCloseAfterDialog) {
          KillTimer(hwnd_, kTimerIdCloseAfterDialog);
          PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        }
        return 0;
      case WM_SIZE:
        if (wp == SIZE_MAXIMIZED) events_.OnResize(WindowState::kMaximized);
        else if (wp == SIZE_MINIMIZED) events_.OnResize(WindowState::kMinimized);
        else events_.OnResize(WindowState::kNormal);
        return 0;
      case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == SC_MAXIMIZE) {
          events_.OnResize(WindowState::kMaximized);
          return 0;  // not maximised
        }
        if (wp < 0xF000) {
          events_.OnSysCommand(static_cast<int>(wp));
          return 0;
        }
        break;
      case WM_ACTIVATE: {
        // The control that had the focus gets it back when the window is
        // active again, after a dialog or another program.
        HWND focus = GetFocus();
        if (LOWORD(wp) == WA_INACTIVE) {
          if (focus && IsChild(hwnd_, focus)) SetPropW(hwnd_, kFocusProperty, focus);
          break;
        }
        HWND back = static_cast<HWND>(GetPropW(hwnd_, kFocusProperty));
        if (back && IsChild(hwnd_, back) && IsWindowEnabled(back) && !IsIconic(hwnd_)) {
          SetFocus(back);
          return 0;
        }
        break;
      }
      case WM_MEASUREITEM:
        // The system menu's pictures.
        if (MeasureMenuPicture(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp))) return TRUE;
        break;
      case WM_DRAWITEM:
        if (DrawMenuPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp))) return TRUE;
        break;
      case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lp) == GetDlgItem(hwnd_, kIdStatus)) {
          // The status line is a link: it starts the restore.
          SetTextColor(reinterpret_cast<HDC>(wp), RGB(0, 0, 204));
          SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
          return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
      case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wp) == GetDlgItem(hwnd_, kIdStatus)) {
          SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
          return TRUE;
        }
        break;
      case WM_CLOSE:
        if (!events_.OnCloseRequest()) {
          MessageBeep(MB_ICONEXCLAMATION);
          return 0;
        }
        if (HWND dialog = OpenModalWindow()) {
          // Closed from outside (the taskbar) while a dialog is open: the
          // dialog closes first, as its close box closes it (the sizes are
          // stored, the tune stops), and the window's close is tried again
          // shortly, once the dialog's loop (and a message box the dialog
          // may show while it closes) has ended.
          SendMessageW(dialog, WM_CLOSE, 0, 0);
          SetTimer(hwnd_, kTimerIdCloseAfterDialog, 50, nullptr);
          return 0;
        }
        events_.OnUnload();
        DestroyWindow(hwnd_);
        return 0;
      case WM_QUERYENDSESSION: {
        // Logoff or shutdown: refused only while an operation runs, as a
        // close is, and the system shows the user why.
        std::string reason = events_.OnQueryEndSession();
        SetShutdownBlockReason(hwnd_, reason);
        return reason.empty() ? TRUE : FALSE;
      }
      case WM_ENDSESSION:
        // The session ends and the process with it, without a WM_CLOSE: the
        // unload runs now, so that the per-run folder does not stay behind
        // (unless an operation's tools still work in it).
        if (wp) {
          // An open dialog closes first, as it closes itself.
          if (HWND dialog = OpenModalWindow()) SendMessageW(dialog, WM_CLOSE, 0, 0);
          events_.OnEndSession();
        } else {
          SetShutdownBlockReason(hwnd_, "");  // the end was called off
        }
        return 0;
      case WM_DESTROY:
        RemovePropW(hwnd_, kFocusProperty);
        PostQuitMessage(0);
        return 0;
      default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wp, lp);
  }

 private:
  MainWindowEvents& events_;
  std::unique_ptr<ProgressBarWindow> progressBar1_;
  std::vector<HWND> children_;
  HFONT font_ = nullptr;
  HFONT ownFont_ = nullptr;
  std::string fontName_;
  int dpi_ = 96;
  std::map<TimerId, Timer> timers_;
  std::map<int, bool> checks_;
};

}  // namespace
}  // namespace win32

std::unique_ptr<MainWindow> CreateMainWindow(MainWindowEvents& events) {
  return std::make_unique<win32::Win32MainWindow>(events);
}

}  // namespace os
