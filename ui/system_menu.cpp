#include "ui/system_menu.h"

#include "app/config.h"
#include "app/language.h"
#include "os/main_window.h"

namespace ui {

os::MenuHandle hSysMenu = 0;
os::MenuHandle hTestMenu = 0;
os::MenuHandle hOptionMenu = 0;
os::WindowProcedure pfnOldWndProc = 0;

namespace {

os::MainWindow* g_window = nullptr;
SystemMenuCommand g_command;

bool IsOurs(uintptr_t id) {
  switch (id) {
    case kMenuInstPEToDisk:
    case kMenuLog:
    case kMenuAbout:
    case kMenuBootBios:
    case kMenuBootEfi:
    case kMenuLimitUsbDisk:
    case kMenuMobileHardDisk:
    case kMenuPartitionSizes:
      return true;
    default:
      return false;
  }
}

// The command of an entry chosen from the menu, or 0 for any other message.
// Windows sends WM_SYSCOMMAND for the entries of a system menu; Wine sends
// WM_COMMAND for those of its submenus (a menu's WM_COMMAND has no control
// window and notification 0, unlike a control's or an accelerator's).
uintptr_t ChosenEntry(const os::WindowMessage& m) {
  if (m.message == os::kWmSysCommand) return IsOurs(m.wParam) ? m.wParam : 0;
  if (m.message == os::kWmCommand && m.lParam == 0 && (m.wParam >> 16) == 0 && IsOurs(m.wParam & 0xFFFF))
    return m.wParam & 0xFFFF;
  return 0;
}

}  // namespace

void AddSystemMenu(os::MainWindow& window, SystemMenuCommand command) {
  using app::LangString;
  g_window = &window;
  g_command = std::move(command);
  pfnOldWndProc = os::SubclassWindow(window, &SysMenuProc);

  hSysMenu = os::GetSystemMenu(window);
  hTestMenu = os::CreatePopupMenu();
  hOptionMenu = os::CreatePopupMenu();

  // Each at the top, so the last one inserted stands first.
  os::InsertMenuSeparator(hSysMenu, 0, kMenuSeparator);
  os::InsertMenuEntry(hSysMenu, 0, kMenuAbout, LangString(49) + "(&A)");
  os::InsertMenuEntry(hSysMenu, 0, kMenuLog, LangString(85) + "(&L)\tCtrl+L");
  os::InsertSubmenu(hSysMenu, 0, hOptionMenu, LangString(51));
  os::InsertSubmenu(hSysMenu, 0, hTestMenu, LangString(52));
  bool install = !app::ReadCfg("PEName", app::CfgSection::kInstPEToDisk).empty();
  if (install) os::InsertMenuEntry(hSysMenu, 0, kMenuInstPEToDisk, LangString(53) + "(&I)\tCtrl+I");

  os::AppendMenuEntry(hTestMenu, kMenuBootBios, "BIOS\t\tF5");
  os::AppendMenuEntry(hTestMenu, kMenuBootEfi, "EFI X64");
  os::AppendMenuEntry(hOptionMenu, kMenuLimitUsbDisk, LangString(55));
  os::AppendMenuEntry(hOptionMenu, kMenuMobileHardDisk, LangString(56));
  os::AppendMenuEntry(hOptionMenu, kMenuPartitionSizes, LangString(57));

  if (install) os::SetMenuItemPicture(hSysMenu, kMenuInstPEToDisk, os::MenuPicture::kInstall);
  os::SetMenuItemPicture(hSysMenu, kMenuAbout, os::MenuPicture::kAbout);
  os::SetMenuItemPicture(hSysMenu, hTestMenu, os::MenuPicture::kBootTest);
  os::SetMenuItemPicture(hSysMenu, hOptionMenu, os::MenuPicture::kOptions);
}

intptr_t SysMenuProc(const os::WindowMessage& message) {
  if (!g_window) return 0;
  uintptr_t id = ChosenEntry(message);
  if (!id) return os::CallWindowProcedure(pfnOldWndProc, *g_window, message);
  // A copy: the command may end with the window, which drops the original.
  SystemMenuCommand command = g_command;
  if (command) command(static_cast<int>(id));
  return -1;
}

void RestoreWndProc() {
  if (!g_window || !pfnOldWndProc) return;
  if (os::GetWindowProcedure(*g_window) != pfnOldWndProc) os::SetWindowProcedure(*g_window, pfnOldWndProc);
  pfnOldWndProc = 0;
  g_window = nullptr;
  g_command = nullptr;
}

}  // namespace ui
