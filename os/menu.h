// Menus by handle: a window's system menu and the popup menus put into it,
// with their entries, check marks and pictures.
//
// Public functions:
//   GetSystemMenu()        GetSystemMenu(window, FALSE)
//   CreatePopupMenu()      CreatePopupMenu
//   InsertMenuEntry()      InsertMenuW, MF_BYPOSITION | MF_STRING
//   InsertSubmenu()        InsertMenuW, MF_BYPOSITION | MF_POPUP
//   InsertMenuSeparator()  InsertMenuW, MF_BYPOSITION | MF_SEPARATOR
//   AppendMenuEntry()      AppendMenuW, MF_STRING
//   SetMenuItemPicture()   SetMenuItemBitmaps by command, one picture for both states
//   CheckMenuEntry()       CheckMenuItem by command
//   GetMenuState()         GetMenuState by command
//   MenuEntries()          the entries of a menu, for reading it back
// Public: MenuHandle, MenuPicture, the MF_ state bits, struct MenuEntry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace os {

class MainWindow;

// A menu (HMENU); 0 is none. A submenu's handle is also the command id of
// the entry that opens it.
using MenuHandle = uintptr_t;

// The 16x16 pictures of the system menu's entries.
enum class MenuPicture { kInstall, kAbout, kBootTest, kOptions };

// Bits of GetMenuState's answer; kMenuNoEntry when there is no such entry.
enum : int32_t {
  kMfGrayed = 0x01,
  kMfChecked = 0x08,
  kMfPopup = 0x10,
  kMfSeparator = 0x800,
  kMenuNoEntry = -1,
};

// The window's system menu, which may be changed; 0 when it has none.
MenuHandle GetSystemMenu(const MainWindow& window);
MenuHandle CreatePopupMenu();

// `position` counts from 0; an entry inserted at 0 stands above the others.
// Texts are UTF-8. False when the platform refused.
bool InsertMenuEntry(MenuHandle menu, uint32_t position, uintptr_t id, std::string_view text);
bool InsertSubmenu(MenuHandle menu, uint32_t position, MenuHandle submenu, std::string_view text);
bool InsertMenuSeparator(MenuHandle menu, uint32_t position, uintptr_t id);
bool AppendMenuEntry(MenuHandle menu, uintptr_t id, std::string_view text);

// The entry with command `id` (searched in the submenus too; a submenu's
// entry by the submenu's handle) shows `picture` checked and unchecked.
bool SetMenuItemPicture(MenuHandle menu, uintptr_t id, MenuPicture picture);

// By command, searched in the submenus too. CheckMenuEntry returns the
// previous state (kMfChecked or 0), or kMenuNoEntry.
int32_t CheckMenuEntry(MenuHandle menu, uintptr_t id, bool checked);
int32_t GetMenuState(MenuHandle menu, uintptr_t id);

struct MenuEntry {
  uintptr_t id = 0;        // command id; for a submenu its handle
  std::string text;        // UTF-8; empty for a separator
  MenuHandle submenu = 0;  // the submenu it opens, or 0
  int32_t state = 0;       // the MF_ bits
  int picture = -1;        // the MenuPicture it shows, as a number; -1 none
};
// The entries of a menu, top down; empty for a menu that does not exist.
std::vector<MenuEntry> MenuEntries(MenuHandle menu);

}  // namespace os
