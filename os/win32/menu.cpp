// Menus by handle on Windows: the wide menu calls with UTF-8 texts, and the
// four system-menu pictures from the program's resources, which the main
// window draws for the menu.
#include "os/menu.h"

#include <windows.h>

#include <array>

#include "os/main_window.h"
#include "os/win32/dialogs.h"
#include "os/win32/menu_pictures.h"
#include "os/win32/resource_ids.h"
#include "os/win32/wide.h"

namespace os {
namespace {

HMENU H(MenuHandle m) { return reinterpret_cast<HMENU>(m); }

// The colour of a picture's background, which stays transparent.
constexpr COLORREF kBackground = RGB(0xFF, 0x00, 0xFF);
// An entry's item data that names one of our pictures: the tag and the
// picture's number.
constexpr ULONG_PTR kPictureTag = 0x7E570000;

HBITMAP LoadPicture(int resource) {
  return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0,
                                         LR_CREATEDIBSECTION));
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
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
  static int Find(HBITMAP item, ULONG_PTR data) {
    if (item != HBMMENU_CALLBACK || (data & 0xFFFF0000) != kPictureTag) return -1;
    size_t i = data & 0xFFFF;
    return i < 4 ? static_cast<int>(i) : -1;
  }

 private:
  std::array<win32::GdiObject<HBITMAP>, 4> bitmaps_;
};

Pictures& ThePictures() {
  static Pictures pictures;
  return pictures;
}

// The menu and position of the entry with command `id` (a submenu's entry
// by the submenu's handle), searched in the submenus too.
bool FindEntry(HMENU menu, uintptr_t id, HMENU& holder, UINT& position) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    HMENU sub = GetSubMenu(menu, i);
    if ((sub && reinterpret_cast<uintptr_t>(sub) == id) || (!sub && GetMenuItemID(menu, i) == id)) {
      holder = menu;
      position = static_cast<UINT>(i);
      return true;
    }
    if (sub && FindEntry(sub, id, holder, position)) return true;
  }
  return false;
}

}  // namespace

namespace win32 {

int MenuPictureSize() { return MulDiv(16, ScreenDpi(), 96); }

bool MeasureMenuPicture(MEASUREITEMSTRUCT& item) {
  if (item.CtlType != ODT_MENU || Pictures::Find(HBMMENU_CALLBACK, item.itemData) < 0) return false;
  item.itemWidth = static_cast<UINT>(MenuPictureSize());
  item.itemHeight = static_cast<UINT>(MenuPictureSize());
  return true;
}

bool DrawMenuPicture(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_MENU) return false;
  int which = Pictures::Find(HBMMENU_CALLBACK, item.itemData);
  if (which < 0) return false;
  HBITMAP picture = ThePictures().Get(static_cast<MenuPicture>(which));
  BITMAP bm{};
  if (!picture || !GetObjectW(picture, sizeof bm, &bm)) return true;
  // At its size, in the middle of the place the menu gives it; the
  // background colour is left out, so the row's own colour (highlighted or
  // not) shows around it.
  int size = MenuPictureSize();
  const RECT& r = item.rcItem;
  int x = r.left + (r.right - r.left - size) / 2, y = r.top + (r.bottom - r.top - size) / 2;
  HDC source = CreateCompatibleDC(item.hDC);
  HGDIOBJ old = SelectObject(source, picture);
  GdiTransparentBlt(item.hDC, x, y, size, size, source, 0, 0, bm.bmWidth, bm.bmHeight, kBackground);
  SelectObject(source, old);
  DeleteDC(source);
  return true;
}

}  // namespace win32

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
  if (!ThePictures().Get(picture)) return false;
  HMENU holder = nullptr;
  UINT position = 0;
  if (!FindEntry(H(menu), id, holder, position)) return false;
  // Drawn by the window (WM_MEASUREITEM, WM_DRAWITEM) through
  // DrawMenuPicture, for its size and its transparent background.
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_BITMAP | MIIM_DATA;
  info.hbmpItem = HBMMENU_CALLBACK;
  info.dwItemData = kPictureTag | static_cast<ULONG_PTR>(picture);
  if (!SetMenuItemInfoW(holder, position, TRUE, &info)) return false;
  // The pictures stand where a check mark would, before the texts, which
  // all begin after them.
  MENUINFO style{};
  style.cbSize = sizeof style;
  style.fMask = MIM_STYLE;
  if (GetMenuInfo(holder, &style) && !(style.dwStyle & MNS_CHECKORBMP)) {
    style.dwStyle |= MNS_CHECKORBMP;
    SetMenuInfo(holder, &style);
  }
  return true;
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
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STATE | MIIM_FTYPE | MIIM_STRING | MIIM_BITMAP | MIIM_DATA;
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
    e.picture = Pictures::Find(info.hbmpItem, info.dwItemData);
    out.push_back(e);
  }
  return out;
}

}  // namespace os
