// tv_probe_hook.dll: the part of the probe that reads Tarnvale's system menu
// from inside its process (a menu cannot be read from another process under
// Wine). The probe hooks Tarnvale's window thread with the DLL's GetMsgProc
// and posts the registered message "TarnvaleProbeSysMenu" to the main
// window; the hook then writes the menu's entries to sysmenu.txt beside the
// DLL, as UTF-8 lines "menu.<n>=<id>|<text>" ("[x]" before the id of a
// checked entry, "sub" and "sep" for a submenu and a separator, and a
// submenu's entries as "menu.<n>.<m>=...").
#include <windows.h>

#include <cstdio>
#include <string>

#include "os/win32/control_ids.h"
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

void WriteMenu(HWND main) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(g_self, path, MAX_PATH);
  std::wstring file = path;
  file = file.substr(0, file.find_last_of(L'\\') + 1);
  std::wstring part = file + L"sysmenu.part", done = file + L"sysmenu.txt";
  FILE* out = _wfopen(part.c_str(), L"wb");
  if (!out) return;
  if (HMENU menu = GetSystemMenu(main, FALSE)) MenuLines(menu, "menu", out);
  fclose(out);
  MoveFileExW(part.c_str(), done.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK GetMsgProc(int code, WPARAM wp, LPARAM lp) {
  static const UINT request = RegisterWindowMessageW(L"TarnvaleProbeSysMenu");
  if (code == HC_ACTION && wp == PM_REMOVE) {
    MSG* msg = reinterpret_cast<MSG*>(lp);
    if (msg->message == request) WriteMenu(msg->hwnd);
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_self = self;
  return TRUE;
}
