// The main window's system menu: the program's secondary commands above
// the platform's own entries, and the window procedure put in front of the
// main window's, which carries them out.
//
//   2002  install PE to the local disk (only when PEName is set)
//   ----  boot test:  2020 BIOS, 2021 EFI X64
//   ----  options:    2030 one USB disk only, 2031 USB hard disks too,
//                     2032 the partition size dialog
//   2003  the log (also Ctrl+L)
//   2004  the About window
//   2006  a separator
//
// Public: AddSystemMenu(), SysMenuProc(), RestoreWndProc(), the ids, and
//         the menus and the previous procedure (hSysMenu, hTestMenu,
//         hOptionMenu, pfnOldWndProc).
#pragma once

#include <cstdint>
#include <functional>

#include "os/menu.h"
#include "os/window_procedure.h"

namespace os {
class MainWindow;
}

namespace ui {

enum SystemMenuId : int {
  kMenuInstPEToDisk = 2002,
  kMenuLog = 2003,
  kMenuAbout = 2004,
  kMenuSeparator = 2006,
  kMenuBootBios = 2020,
  kMenuBootEfi = 2021,
  kMenuLimitUsbDisk = 2030,
  kMenuMobileHardDisk = 2031,
  kMenuPartitionSizes = 2032,
};

extern os::MenuHandle hSysMenu;
extern os::MenuHandle hTestMenu;
extern os::MenuHandle hOptionMenu;
extern os::WindowProcedure pfnOldWndProc;

// What the entries do: called with the command id of a chosen entry.
using SystemMenuCommand = std::function<void(int id)>;

// Puts SysMenuProc in front of the window's procedure and adds the entries
// (their texts are language strings; the install entry only when the
// configuration names a PE entry). Run once, at start-up.
void AddSystemMenu(os::MainWindow& window, SystemMenuCommand command);

// The main window's procedure from then on: the program's commands, as
// WM_SYSCOMMAND or as a menu's WM_COMMAND, are carried out and answered with -1; every other message goes on to the
// previous procedure.
intptr_t SysMenuProc(const os::WindowMessage& message);

// Puts the previous procedure back, if another one is in place.
void RestoreWndProc();

}  // namespace ui
