// The simulated machine's windows: procedures and menus by handle. A
// window's system menu is made on the first GetSystemMenu, with the
// entries Windows gives a window with a minimise box and a fixed frame.
#include "os/sim/windows.h"

#include <map>

#include "os/menu.h"

namespace os {
namespace {

struct SimEntry {
  uintptr_t id = 0;
  std::string text;
  MenuHandle submenu = 0;
  int32_t state = 0;
  int picture = -1;
};

struct SimMenu {
  std::vector<SimEntry> entries;
};

struct SimWindow {
  MenuHandle systemMenu = 0;
  WindowProcedure current = 0;
  std::map<WindowProcedure, MessageHandler> procedures;
  MessageHandler own;
  std::vector<WindowMessage> ownLog;
};

// Every window's own procedure: its class's, the same for all windows.
constexpr WindowProcedure kOwnProcedure = 0x10;

std::map<MenuHandle, SimMenu> g_menus;
MenuHandle g_nextMenu = 0x1000;
std::map<const MainWindow*, SimWindow> g_windows;
WindowProcedure g_nextProcedure = 0x100;

SimWindow& Record(const MainWindow& window) {
  auto [it, made] = g_windows.try_emplace(&window);
  if (made) it->second.current = kOwnProcedure;
  return it->second;
}

MenuHandle NewMenu() {
  MenuHandle h = g_nextMenu++;
  g_menus[h];
  return h;
}

SimMenu* Find(MenuHandle menu) {
  auto it = g_menus.find(menu);
  return it == g_menus.end() ? nullptr : &it->second;
}

// By command: the entries of the menu, a submenu's entries before the entry
// that opens it.
SimEntry* FindByCommand(MenuHandle menu, uintptr_t id, int depth = 0) {
  SimMenu* m = Find(menu);
  if (!m || depth > 8) return nullptr;
  for (SimEntry& e : m->entries) {
    if (e.submenu) {
      if (SimEntry* inner = FindByCommand(e.submenu, id, depth + 1)) return inner;
    }
    if (e.id == id) return &e;
  }
  return nullptr;
}

bool Insert(MenuHandle menu, uint32_t position, SimEntry entry) {
  SimMenu* m = Find(menu);
  if (!m) return false;
  if (position > m->entries.size()) position = static_cast<uint32_t>(m->entries.size());
  m->entries.insert(m->entries.begin() + position, std::move(entry));
  return true;
}

void DestroyTree(MenuHandle menu, int depth = 0) {
  SimMenu* m = Find(menu);
  if (!m || depth > 8) return;
  std::vector<MenuHandle> inner;
  for (const SimEntry& e : m->entries)
    if (e.submenu) inner.push_back(e.submenu);
  g_menus.erase(menu);
  for (MenuHandle h : inner) DestroyTree(h, depth + 1);
}

}  // namespace

// --- menus --------------------------------------------------------------------

MenuHandle GetSystemMenu(const MainWindow& window) {
  SimWindow& w = Record(window);
  if (!w.systemMenu) {
    w.systemMenu = NewMenu();
    SimMenu& m = g_menus[w.systemMenu];
    m.entries = {{kScRestore, "&Restore", 0, kMfGrayed, -1},
                 {kScMove, "&Move", 0, 0, -1},
                 {kScSize, "&Size", 0, kMfGrayed, -1},
                 {kScMinimize, "Mi&nimize", 0, 0, -1},
                 {kScMaximize, "Ma&ximize", 0, kMfGrayed, -1},
                 {0, "", 0, kMfSeparator, -1},
                 {kScClose, "&Close\tAlt+F4", 0, 0, -1}};
  }
  return w.systemMenu;
}

MenuHandle CreatePopupMenu() { return NewMenu(); }

bool InsertMenuEntry(MenuHandle menu, uint32_t position, uintptr_t id, std::string_view text) {
  return Insert(menu, position, {id, std::string(text), 0, 0, -1});
}

bool InsertSubmenu(MenuHandle menu, uint32_t position, MenuHandle submenu, std::string_view text) {
  if (!Find(submenu) || submenu == menu) return false;
  return Insert(menu, position, {submenu, std::string(text), submenu, kMfPopup, -1});
}

bool InsertMenuSeparator(MenuHandle menu, uint32_t position, uintptr_t id) {
  return Insert(menu, position, {id, "", 0, kMfSeparator, -1});
}

bool AppendMenuEntry(MenuHandle menu, uintptr_t id, std::string_view text) {
  return Insert(menu, UINT32_MAX, {id, std::string(text), 0, 0, -1});
}

bool SetMenuItemPicture(MenuHandle menu, uintptr_t id, MenuPicture picture) {
  SimEntry* e = FindByCommand(menu, id);
  if (!e) return false;
  e->picture = static_cast<int>(picture);
  return true;
}

int32_t CheckMenuEntry(MenuHandle menu, uintptr_t id, bool checked) {
  SimEntry* e = FindByCommand(menu, id);
  if (!e) return kMenuNoEntry;
  int32_t before = e->state & kMfChecked;
  e->state = checked ? (e->state | kMfChecked) : (e->state & ~kMfChecked);
  return before;
}

int32_t GetMenuState(MenuHandle menu, uintptr_t id) {
  SimEntry* e = FindByCommand(menu, id);
  return e ? e->state : kMenuNoEntry;
}

std::vector<MenuEntry> MenuEntries(MenuHandle menu) {
  std::vector<MenuEntry> out;
  if (SimMenu* m = Find(menu)) {
    for (const SimEntry& e : m->entries) out.push_back({e.id, e.text, e.submenu, e.state, e.picture});
  }
  return out;
}

// --- window procedures ----------------------------------------------------

WindowProcedure GetWindowProcedure(const MainWindow& window) { return Record(window).current; }

WindowProcedure SubclassWindow(MainWindow& window, MessageHandler handler) {
  SimWindow& w = Record(window);
  WindowProcedure procedure = g_nextProcedure++;
  w.procedures[procedure] = std::move(handler);
  WindowProcedure before = w.current;
  w.current = procedure;
  return before;
}

bool SetWindowProcedure(MainWindow& window, WindowProcedure procedure) {
  if (!procedure) return false;
  Record(window).current = procedure;
  return true;
}

intptr_t CallWindowProcedure(WindowProcedure procedure, MainWindow& window, const WindowMessage& message) {
  SimWindow& w = Record(window);
  if (procedure == kOwnProcedure) {
    if (!w.own) {
      w.ownLog.push_back(message);
      return 0;
    }
    MessageHandler own = w.own;  // the call may replace it
    return own(message);
  }
  auto it = w.procedures.find(procedure);
  if (it == w.procedures.end()) return 0;
  MessageHandler handler = it->second;
  return handler(message);
}

intptr_t SendWindowMessage(MainWindow& window, const WindowMessage& message) {
  return CallWindowProcedure(Record(window).current, window, message);
}

void WindowDestroyed(const MainWindow& window) {
  auto it = g_windows.find(&window);
  if (it == g_windows.end()) return;
  if (it->second.systemMenu) DestroyTree(it->second.systemMenu);
  g_windows.erase(it);
}

namespace sim {

void SetOwnProcedure(const MainWindow& window, MessageHandler procedure) { Record(window).own = std::move(procedure); }

std::vector<WindowMessage> OwnProcedureLog(const MainWindow& window) { return Record(window).ownLog; }

std::string PictureName(int picture) {
  switch (static_cast<MenuPicture>(picture)) {
    case MenuPicture::kInstall: return "install";
    case MenuPicture::kAbout: return "about";
    case MenuPicture::kBootTest: return "boot-test";
    case MenuPicture::kOptions: return "options";
  }
  return "";
}

}  // namespace sim
}  // namespace os
