// The Windows build's partition size dialog (Form2): a small window made in
// code, owned by the main window. The two fields pass every typed character
// and every paste to the shared logic's key filter.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>

#include "os/main_window.h"
#include "os/win32/dialogs.h"
#include "os/win32/dialog_ids.h"
#include "os/win32/wide.h"
#include "os/win32/window_class.h"

namespace os::win32 {
namespace {

using C = SizeDialogControl;

int IdOf(C c) {
  switch (c) {
    case C::kLabel1: return kIdForm2Label1;
    case C::kText1: return kIdForm2Text1;
    case C::kLabel11: return kIdForm2Label11;
    case C::kLabel2: return kIdForm2Label2;
    case C::kText2: return kIdForm2Text2;
    case C::kLabel22: return kIdForm2Label22;
  }
  return 0;
}

std::wstring TextOf(HWND h) {
  int n = GetWindowTextLengthW(h);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(h, s.data(), n + 1);
  s.resize(static_cast<size_t>(n));
  return s;
}

HFONT MakeFont(const wchar_t* face, int points) {
  HDC screen = GetDC(nullptr);
  int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
}

class Win32SizeDialog : public SizeDialog, public ObjectWindow {
 public:
  Win32SizeDialog(HWND owner, SizeDialogEvents& events) : owner_(owner), events_(events) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterObjectClass<Win32SizeDialog>(kForm2Class, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));

    // Not WS_CLIPCHILDREN: the frame is drawn over the dialog's own background.
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT r{0, 0, Px(340), Px(124)};
    AdjustWindowRectEx(&r, style, FALSE, WS_EX_DLGMODALFRAME);
    int w = r.right - r.left, h = r.bottom - r.top;
    POINT at = PlaceOver(owner_, w, h);
    int x = at.x, y = at.y;
    hwnd_ = CreateWindowExW(WS_EX_DLGMODALFRAME, kForm2Class, L"", style, x, y, w, h, owner_, nullptr, instance, this);
    // The dialog keeps its own fonts: its labels in Microsoft YaHei, its fields in Verdana.
    labelFont_.Reset(MakeFont(L"\x5FAE\x8F6F\x96C5\x9ED1", 9));
    fieldFont_.Reset(MakeFont(L"Verdana", 10));
    CreateControls();
  }

  ~Win32SizeDialog() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }

  void SetTitle(std::string_view title) override { SetWindowTextW(hwnd_, Wide(title).c_str()); }
  std::string Title() const override { return Utf8(TextOf(hwnd_)); }
  void UseOwnerIcon() override { UseOwnerIconOn(owner_, hwnd_); }

  void SetText(C c, std::string_view text) override {
    SetWindowTextW(Item(c), Wide(text).c_str());
    if (c != C::kText1 && c != C::kText2) FitColumns();
  }
  std::string Text(C c) const override { return Utf8(TextOf(Item(c))); }
  void SetMaxLength(C field, int characters) override {
    SendMessageW(Item(field), EM_LIMITTEXT, static_cast<WPARAM>(characters > 0 ? characters : 0), 0);
    // The fields are wide enough to show as many digits as they take.
    maxDigits_ = std::max(maxDigits_, characters);
    FitColumns();
  }
  void Select(C field, int start, int length) override {
    SendMessageW(Item(field), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + length));
  }
  void Focus(C field) override {
    focus_ = Item(field);
    if (IsWindowVisible(hwnd_)) SetFocus(focus_);
  }
  void SetTop(C c, int twips) override {
    HWND h = Item(c);
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(h, nullptr, r.left, TwipsToPixels(twips), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A field out of sight is not reached with the Tab key either.
    if (c == C::kText1 || c == C::kText2) {
      LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
      SetWindowLongPtrW(h, GWL_STYLE, twips < 0 ? style & ~static_cast<LONG_PTR>(WS_TABSTOP) : style | WS_TABSTOP);
    }
  }
  int Top(C c) const override {
    RECT r;
    GetWindowRect(Item(c), &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    return PixelsToTwips(r.top);
  }

  void SetTimer(bool enabled, uint32_t intervalMs) override {
    timer_ = enabled;
    if (enabled) ::SetTimer(hwnd_, kTimerIdForm2, intervalMs, nullptr);
    else KillTimer(hwnd_, kTimerIdForm2);
  }
  bool TimerEnabled() const override { return timer_; }

  int ShowMessage(std::string_view text, std::string_view title, uint32_t style) override {
    std::wstring t = title.empty() ? L"Tarnvale" : Wide(title);
    return MessageBoxW(hwnd_, Wide(text).c_str(), t.c_str(), style);
  }

  void ShowModal() override {
    if (focus_) {
      // The field chosen before the dialog was shown gets the focus now.
      ShowWindow(hwnd_, SW_SHOW);
      SetFocus(focus_);
    }
    RunModal(owner_, hwnd_, closed_);
  }

 private:
  int Px(int at96) const { return TwipsToPixels(at96 * 15); }
  HWND Item(C c) const { return GetDlgItem(hwnd_, IdOf(c)); }

  HWND Child(const wchar_t* cls, DWORD style, DWORD exStyle, int id, int x, int y, int w, int h, HFONT font) {
    HWND child = CreateWindowExW(exStyle, cls, L"", WS_CHILD | WS_VISIBLE | style, Px(x), Px(y), Px(w), Px(h), hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
  }

  void CreateControls() {
    HFONT labels = labelFont_.get() ? labelFont_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HFONT fields = fieldFont_.get() ? fieldFont_.get() : labels;
    Child(L"BUTTON", BS_GROUPBOX, 0, kIdForm2Frame1, 10, 4, 320, 110, labels);
    // The UD row above the EFI row: caption, field, bounds.
    const int rows[2] = {30, 72};
    const int captions[2] = {kIdForm2Label1, kIdForm2Label2};
    const int texts[2] = {kIdForm2Text1, kIdForm2Text2};
    const int bounds[2] = {kIdForm2Label11, kIdForm2Label22};
    for (int i = 0; i < 2; ++i) {
      Child(L"STATIC", SS_RIGHT | SS_CENTERIMAGE, 0, captions[i], 18, rows[i], 150, 26, labels);
      HWND edit = Child(L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, texts[i], 174, rows[i], 72, 26, fields);
      SetWindowSubclass(edit, &Win32SizeDialog::FieldProc, static_cast<UINT_PTR>(texts[i]),
                        reinterpret_cast<DWORD_PTR>(this));
      Child(L"STATIC", SS_LEFT | SS_CENTERIMAGE, 0, bounds[i], 250, rows[i], 76, 26, labels);
    }
    // The design texts, before the logic replaces the captions.
    SetText(C::kLabel1, "UD\xE5\x8C\xBA\xE5\xA4\xA7\xE5\xB0\x8F\xEF\xBC\x88MB\xEF\xBC\x89\xEF\xBC\x9A");
    SetText(C::kLabel11, "\xEF\xBC\x88" "10 ~ 4096\xEF\xBC\x89");
    SetText(C::kLabel2, "EFI\xE5\x8C\xBA\xE5\xA4\xA7\xE5\xB0\x8F\xEF\xBC\x88MB\xEF\xBC\x89\xEF\xBC\x9A");
    SetText(C::kLabel22, "\xEF\xBC\x88" "100 ~ \xEF\xBC\x89");
  }

  // The width in pixels of a control's text (or of `text`) in its font.
  int TextWidth(int id, std::wstring text = {}) const {
    HWND h = GetDlgItem(hwnd_, id);
    if (text.empty()) text = TextOf(h);
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)));
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    return r.right - r.left;
  }

  // The columns as wide as their texts in the language shown (the design
  // widths at least): the captions, the fields after them, the bounds, the
  // frame around them and the dialog around the frame.
  void FitColumns() {
    int caption = std::max({Px(150), TextWidth(kIdForm2Label1) + Px(4), TextWidth(kIdForm2Label2) + Px(4)});
    int bounds = std::max({Px(76), TextWidth(kIdForm2Label11) + Px(4), TextWidth(kIdForm2Label22) + Px(4)});
    int field = std::max(Px(72), TextWidth(kIdForm2Text1, std::wstring(static_cast<size_t>(maxDigits_), L'9')) +
                                     GetSystemMetrics(SM_CXEDGE) * 2 + Px(12));
    int fieldLeft = Px(18) + caption + Px(6);
    int boundsLeft = fieldLeft + field + Px(4);
    int frameWidth = boundsLeft + bounds + Px(4) - Px(10);
    auto place = [&](int id, int left, int width) {
      HWND h = GetDlgItem(hwnd_, id);
      RECT r;
      GetWindowRect(h, &r);
      MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
      SetWindowPos(h, nullptr, left, r.top, width, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    for (int id : {kIdForm2Label1, kIdForm2Label2}) place(id, Px(18), caption);
    for (int id : {kIdForm2Text1, kIdForm2Text2}) place(id, fieldLeft, field);
    for (int id : {kIdForm2Label11, kIdForm2Label22}) place(id, boundsLeft, bounds);
    place(kIdForm2Frame1, Px(10), frameWidth);
    DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
    RECT r{0, 0, frameWidth + Px(20), Px(124)};
    AdjustWindowRectEx(&r, style, FALSE, WS_EX_DLGMODALFRAME);
    POINT at = PlaceOver(owner_, r.right - r.left, r.bottom - r.top);
    SetWindowPos(hwnd_, nullptr, at.x, at.y, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }

  static C FieldOf(UINT_PTR id) { return id == kIdForm2Text1 ? C::kText1 : C::kText2; }

  static LRESULT CALLBACK FieldProc(HWND h, UINT message, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data) {
    auto* self = reinterpret_cast<Win32SizeDialog*>(data);
    switch (message) {
      case WM_CHAR:
        if (!self->events_.OnKeyPress(FieldOf(id), static_cast<int>(wp))) return 0;
        break;
      case WM_PASTE:
        if (!self->events_.OnPaste(FieldOf(id))) return 0;
        break;
      case WM_LBUTTONUP: {
        LRESULT r = DefSubclassProc(h, message, wp, lp);
        self->events_.OnFieldClick(FieldOf(id));
        return r;
      }
      case WM_NCDESTROY:
        RemoveWindowSubclass(h, &Win32SizeDialog::FieldProc, id);
        break;
      default:
        break;
    }
    return DefSubclassProc(h, message, wp, lp);
  }

  void Close() {
    if (closing_) return;
    closing_ = true;
    SetTimer(false, 0);
    events_.OnClose();
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
        if (HIWORD(wp) == EN_SETFOCUS && (id == kIdForm2Text1 || id == kIdForm2Text2))
          events_.OnFieldFocus(FieldOf(static_cast<UINT_PTR>(id)));
        return 0;
      }
      case WM_TIMER:
        if (wp == kTimerIdForm2) events_.OnTimer();
        return 0;
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
  SizeDialogEvents& events_;
  HWND focus_ = nullptr;
  GdiObject<HFONT> labelFont_, fieldFont_;
  int maxDigits_ = 1;
  bool timer_ = false;
  bool closing_ = false;
  bool closed_ = false;
};

}  // namespace

std::unique_ptr<SizeDialog> MakeSizeDialog(HWND owner, SizeDialogEvents& events) {
  return std::make_unique<Win32SizeDialog>(owner, events);
}

}  // namespace os::win32
