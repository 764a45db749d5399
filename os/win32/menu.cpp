// Menus by handle on Windows: the wide menu calls with UTF-8 texts, and the
// four system-menu pictures from the program's resources.
#include "os/menu.h"

#include <windows.h>

#include <array>

#include "os/main_window.h"
#include "os/win32/dialogs.h"
#include "os/win32/resource_ids.h"
#include "os/win32/wide.h"

namespace os {
namespace {

HMENU H(MenuHandle m) { return reinterpret_cast<HMENU>(m); }

// A picture's bitmap as the menu draws it: the magenta of the resource
// becomes the menu's own colour, and the picture is scaled to the size of
// a check mark when that is not 16x16.
HBITMAP LoadPicture(int resource) {
  HBITMAP source = static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!source) return nullptr;
  DIBSECTION dib{};
  if (GetObjectW(source, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBitsPixel == 24 && dib.dsBm.bmBits) {
    GdiFlush();
    COLORREF menu = GetSysColor(COLOR_MENU);
    auto* bits = static_cast<unsigned char*>(dib.dsBm.bmBits);
    for (LONG y = 0; y < dib.dsBm.bmHeight; ++y) {
      unsigned char* row = bits + static_cast<size_t>(y) * static_cast<size_t>(dib.dsBm.bmWidthBytes);
      for (LONG x = 0; x < dib.dsBm.bmWidth; ++x) {
        unsigned char* p = row + x * 3;  // blue, green, red
        if (p[0] == 0xFF && p[1] == 0x00 && p[2] == 0xFF) {
          p[0] = GetBValue(menu);
          p[1] = GetGValue(menu);
          p[2] = GetRValue(menu);
        }
      }
    }
  }
  int cx = GetSystemMetrics(SM_CXMENUCHECK), cy = GetSystemMetrics(SM_CYMENUCHECK);
  if (cx <= 0 || cy <= 0 || (cx == dib.dsBm.bmWidth && cy == dib.dsBm.bmHeight)) return source;
  HDC screen = GetDC(nullptr);
  HDC from = CreateCompatibleDC(screen);
  HDC to = CreateCompatibleDC(screen);
  HBITMAP scaled = CreateCompatibleBitmap(screen, cx, cy);
  HGDIOBJ oldFrom = SelectObject(from, source);
  HGDIOBJ oldTo = SelectObject(to, scaled);
  SetStretchBltMode(to, HALFTONE);
  SetBrushOrgEx(to, 0, 0, nullptr);
  StretchBlt(to, 0, 0, cx, cy, from, 0, 0, dib.dsBm.bmWidth, dib.dsBm.bmHeight, SRCCOPY);
  SelectObject(from, oldFrom);
  SelectObject(to, oldTo);
  DeleteDC(from);
  DeleteDC(to);
  ReleaseDC(nullptr, screen);
  DeleteObject(source);
  return scaled;
}

// The pictures live as long as the program: the menus show them until the
// window has gone.
class Pictures {
 public:
  ~Pictures() {
    for (auto& b : bitmaps_) b.Reset();
  }
  HBITMAP Get(MenuPicture p) {
    size_t i = static_cast<size_t>(p);
    if (i >= bitmaps_.size()) return nullptr;
    if (!bitmaps_[i].get()) {
      static const int kResources[] = {TV_RES_MENU_INSTALL, TV_RES_MENU_ABOUT, TV_RES_MENU_BOOT_TEST,
                                       TV_RES_MENU_OPTIONS};
      bitmaps_[i].Reset(LoadPicture(kResources[i]));
    }
    return bitmaps_[i].get();
  }
  int Find(HBITMAP b) const {
    for (size_t i = 0; i < bitmaps_.size(); ++i)
      if (b && bitmaps_[i].get() == b) return static_cast<int>(i);
    return -1;
  }

 private:
  std::array<win32::GdiObject<HBITMAP>, 4> bitmaps_;
};

Pictures& ThePictures() {
  static Pictures pictures;
  return pictures;
}

}  // namespace

MenuHandle GetSystemMenu(const MainWindow& window) {
  HWND h = reinterpret_cast<HWND>(window.NativeHandle());
  return h ? reinterpret_cast<MenuHandle>(::GetSystemMenu(h, FALSE)) : 0;
}

MenuHandle CreatePopupMenu() { return reinterpret_cast<MenuHandle>(::CreatePopupMenu()); }

bool InsertMenuEntry(MenuHandle menu, uint32_t position, uintptr_t id, std::string_view text) {
  return InsertMenuW(H(menu), position, MF_BYPOSITION | MF_STRING, id, win32::Wide(text).c_str()) != FALSE;
}

bool InsertSubmenu(MenuHandle menu, uint32_t position, MenuHandle submenu, std::string_view text) {
  return InsertMenuW(H(menu), position, MF_BYPOSITION | MF_STRING | MF_POPUP, submenu, win32::Wide(text).c_str()) !=
         FALSE;
}

bool InsertMenuSeparator(MenuHandle menu, uint32_t position, uintptr_t id) {
  return InsertMenuW(H(menu), position, MF_BYPOSITION | MF_SEPARATOR, id, nullptr) != FALSE;
}

bool AppendMenuEntry(MenuHandle menu, uintptr_t id, std::string_view text) {
  return AppendMenuW(H(menu), MF_STRING, id, win32::Wide(text).c_str()) != FALSE;
}

bool SetMenuItemPicture(MenuHandle menu, uintptr_t id, MenuPicture picture) {
  HBITMAP b = ThePictures().Get(picture);
  if (!b) return false;
  return SetMenuItemBitmaps(H(menu), static_cast<UINT>(id), MF_BYCOMMAND, b, b) != FALSE;
}

int32_t CheckMenuEntry(MenuHandle menu, uintptr_t id, bool checked) {
  DWORD r = CheckMenuItem(H(menu), static_cast<UINT>(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
  return static_cast<int32_t>(r);
}

int32_t GetMenuState(MenuHandle menu, uintptr_t id) {
  return static_cast<int32_t>(::GetMenuState(H(menu), static_cast<UINT>(id), MF_BYCOMMAND));
}

std::vector<MenuEntry> MenuEntries(MenuHandle menu) {
  std::vector<MenuEntry> out;
  int count = GetMenuItemCount(H(menu));
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STATE | MIIM_FTYPE | MIIM_STRING | MIIM_CHECKMARKS;
    if (!GetMenuItemInfoW(H(menu), static_cast<UINT>(i), TRUE, &info)) continue;
    std::wstring text(info.cch + 1, L'\0');
    info.dwTypeData = text.data();
    info.cch += 1;
    GetMenuItemInfoW(H(menu), static_cast<UINT>(i), TRUE, &info);
    text.resize(wcsnlen(text.c_str(), text.size()));
    MenuEntry e;
    e.submenu = reinterpret_cast<MenuHandle>(info.hSubMenu);
    e.id = e.submenu ? e.submenu : info.wID;
    e.text = win32::Utf8(text);
    e.state = static_cast<int32_t>(info.fState & (MFS_CHECKED | MFS_DISABLED)) |
              ((info.fType & MFT_SEPARATOR) ? kMfSeparator : 0) | (e.submenu ? kMfPopup : 0);
    e.picture = ThePictures().Find(info.hbmpChecked);
    out.push_back(e);
  }
  return out;
}

}  // namespace os
