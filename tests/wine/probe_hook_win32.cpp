// tv_probe_hook.dll: the part of the probe that reads Tarnvale's system menu
// from inside its process (a menu cannot be read from another process under
// Wine). The probe hooks Tarnvale's window thread with the DLL's GetMsgProc
// and posts the registered message "TarnvaleProbeSysMenu" to the main
// window; the hook then writes the menu's entries to sysmenu.txt beside the
// DLL, as UTF-8 lines "menu.<n>=<id>|<text>" ("[x]" before the id of a
// checked entry, "sub" and "sep" for a submenu and a separator, and a
// submenu's entries as "menu.<n>.<m>=..."). Two more requests the same
// way: "TarnvaleProbePictures" has the main window measure and draw each
// picture of the system menu into a highlighted row (pictures.txt), and
// "TarnvaleProbeFits" tells for each label and field of the size dialog
// whether its text fits it (fits.txt).
#include <windows.h>

#include <cstdio>
#include <string>

#include "os/win32/control_ids.h"
#include "os/win32/dialog_ids.h"
#include "os/win32/wide.h"

namespace {

HMODULE g_self = nullptr;

void MenuLines(HMENU menu, const std::string& prefix, FILE* out) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    HMENU sub = GetSubMenu(menu, i);
    std::string name = prefix + "." + std::to_string(i);
    std::string id = sub ? "sub" : (state & MF_SEPARATOR) ? "sep" : std::to_string(GetMenuItemID(menu, i));
    std::string checked = !sub && (state & MF_CHECKED) ? "[x]" : "";
    fprintf(out, "%s=%s%s|%s\n", name.c_str(), checked.c_str(), id.c_str(), os::win32::Utf8(text).c_str());
    if (sub) MenuLines(sub, name, out);
  }
}

// Writes the answer beside the DLL: first <name>.part, then renamed whole.
void Answer(const wchar_t* name, void (*write)(HWND, FILE*), HWND main) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(g_self, path, MAX_PATH);
  std::wstring folder = path;
  folder = folder.substr(0, folder.find_last_of(L'\\') + 1);
  std::wstring part = folder + name + L".part", done = folder + name + L".txt";
  FILE* out = _wfopen(part.c_str(), L"wb");
  if (!out) return;
  write(main, out);
  fclose(out);
  MoveFileExW(part.c_str(), done.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void WriteMenu(HWND main, FILE* out) {
  if (HMENU menu = GetSystemMenu(main, FALSE)) MenuLines(menu, "menu", out);
}

unsigned long Pixel(const unsigned char* bits, int width, int x, int y) {
  const unsigned char* p = bits + (static_cast<size_t>(y) * width + x) * 4;  // blue, green, red, unused
  return (static_cast<unsigned long>(p[2]) << 16) | (p[1] << 8) | p[0];
}

void WritePictures(HWND main, FILE* out) {
  HMENU menu = GetSystemMenu(main, FALSE);
  const int width = 40, height = 24;
  COLORREF row = GetSysColor(COLOR_HIGHLIGHT);
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_BITMAP | MIIM_DATA | MIIM_ID;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info) || info.hbmpItem != HBMMENU_CALLBACK) continue;
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemID = info.wID;
    measure.itemData = info.dwItemData;
    SendMessageW(main, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    fprintf(out, "picture.%d.size=%ux%u\n", i, measure.itemWidth, measure.itemHeight);

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP target = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, target);
    RECT all{0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(row);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemID = info.wID;
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = ODS_SELECTED;
    draw.hwndItem = reinterpret_cast<HWND>(menu);
    draw.hDC = dc;
    draw.rcItem = all;
    draw.itemData = info.dwItemData;
    SendMessageW(main, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    GdiFlush();
    const auto* p = static_cast<const unsigned char*>(bits);
    unsigned long background = (static_cast<unsigned long>(GetRValue(row)) << 16) | (GetGValue(row) << 8) | GetBValue(row);
    int size = static_cast<int>(measure.itemWidth);
    int x0 = (width - size) / 2, y0 = (height - size) / 2;
    int drawn = 0, outside = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        if (Pixel(p, width, x, y) == background) continue;
        bool in = x >= x0 && x < x0 + size && y >= y0 && y < y0 + size;
        ++(in ? drawn : outside);
      }
    fprintf(out, "picture.%d.row=%06lx\npicture.%d.corner=%06lx\npicture.%d.drawn=%d\npicture.%d.outside=%d\n", i,
            background, i, Pixel(p, width, x0, y0), i, drawn, i, outside);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(target);
  }
}

void WriteFits(HWND, FILE* out) {
  HWND form2 = FindWindowW(os::win32::kForm2Class, nullptr);
  if (!form2) return;
  const std::pair<const char*, int> labels[] = {{"Label1", os::win32::kIdForm2Label1},
                                                {"Label11", os::win32::kIdForm2Label11},
                                                {"Label2", os::win32::kIdForm2Label2},
                                                {"Label22", os::win32::kIdForm2Label22},
                                                {"Text1", os::win32::kIdForm2Text1},
                                                {"Text2", os::win32::kIdForm2Text2}};
  for (const auto& [name, id] : labels) {
    HWND label = GetDlgItem(form2, id);
    wchar_t text[256] = {};
    GetWindowTextW(label, text, 256);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT need{0, 0, 0, 0};
    DrawTextW(dc, text, -1, &need, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    RECT has;
    GetClientRect(label, &has);
    // A field shows its text between its margins.
    wchar_t cls[16] = {};
    GetClassNameW(label, cls, 16);
    if (lstrcmpiW(cls, L"Edit") == 0) {
      LRESULT margins = SendMessageW(label, EM_GETMARGINS, 0, 0);
      has.right -= LOWORD(margins) + HIWORD(margins);
    }
    // The labels of a row stay inside the frame, and the frame inside the dialog.
    RECT frame, dialog, r;
    GetWindowRect(GetDlgItem(form2, os::win32::kIdForm2Frame1), &frame);
    GetClientRect(form2, &dialog);
    MapWindowPoints(nullptr, form2, reinterpret_cast<POINT*>(&frame), 2);
    GetWindowRect(label, &r);
    MapWindowPoints(nullptr, form2, reinterpret_cast<POINT*>(&r), 2);
    bool inside = r.right <= frame.right && frame.right <= dialog.right;
    fprintf(out, "fits.%s=%d\n", name, need.right - need.left <= has.right && inside ? 1 : 0);
    fprintf(out, "width.%s=%ld/%ld\n", name, need.right - need.left, has.right);
  }
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK GetMsgProc(int code, WPARAM wp, LPARAM lp) {
  static const UINT menu = RegisterWindowMessageW(L"TarnvaleProbeSysMenu");
  static const UINT pictures = RegisterWindowMessageW(L"TarnvaleProbePictures");
  static const UINT fits = RegisterWindowMessageW(L"TarnvaleProbeFits");
  if (code == HC_ACTION && wp == PM_REMOVE) {
    MSG* msg = reinterpret_cast<MSG*>(lp);
    if (msg->message == menu) Answer(L"sysmenu", &WriteMenu, msg->hwnd);
    else if (msg->message == pictures) Answer(L"pictures", &WritePictures, msg->hwnd);
    else if (msg->message == fits) Answer(L"fits", &WriteFits, msg->hwnd);
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_self = self;
  return TRUE;
}
