// tv_probe.exe: reads and drives Tarnvale's main window from outside, for
// the test that runs the Windows program under Wine. It runs inside Wine's
// virtual desktop beside the program, where it is started without waiting,
// so it leaves its answer in a file that appears whole when it is done:
//
//   tv_probe <answer file> read          the caption, control texts and list
//                                         entries, UTF-8, "name=value" lines
//   tv_probe <answer file> count         how many visible main windows exist
//   tv_probe <answer file> processes [name]  how many Tarnvale.exe (or name) processes run
//   tv_probe <answer file> key <key> [ctrl]   presses a key in the main window as
//                                         the keyboard does: F1..F24, a letter or
//                                         digit, or a virtual-key code (0x74)
//   tv_probe <answer file> iconic        1 when the first visible main window is minimised
//   tv_probe <answer file> minimize | restore | close
//   tv_probe <answer file> progress      ProgressBar1: the classes of its
//                                         container and bar window, the bar's
//                                         style, position and range, and
//                                         whether it fills the container
//   tv_probe <answer file> endsession    logoff: the answer to WM_QUERYENDSESSION
//                                         (1 or 0); when it was 1, WM_ENDSESSION and
//                                         then the end of the process, as Windows does
//   tv_probe <answer file> endsession-force   the same, but WM_ENDSESSION and the end of
//                                         the process follow whatever the answer was
//                                         (a forced shutdown)
//   tv_probe <answer file> start-elsewhere <folder>
//                                         copies the folder to a sibling whose name is
//                                         outside code page 1252 ("Программа 程序") and
//                                         starts its Tarnvale.exe; answers the new path
//   tv_probe <answer file> screenshot <bmp file>
//   tv_probe <answer file> click <Command1|UReFresh>   press a button (posted:
//                                         the probe does not wait for it)
//   tv_probe <answer file> message        the open message box of the main
//                                         window: title=, text=, buttons=
//   tv_probe <answer file> answer <ok|cancel>   presses that box's button
//   tv_probe <answer file> sysmenu       the system menu's entries, "menu.<n>=<id>|<text>"
//                                         with "[x]" before a checked entry's id and a
//                                         submenu's entries as "menu.<n>.<m>=..."
//   tv_probe <answer file> keys <key>...  presses keys one after another through the keyboard's
//                                         input queue, into whatever has the input (the main window
//                                         is brought to the front first unless a dialog of it is
//                                         open): alt+space, down, up, left, right, enter, escape,
//                                         tab, a digit or a letter (a menu entry's mnemonic)
//   tv_probe <answer file> focus         the control of the program that has the focus:
//                                         focus=<control id> (0 for none or a window itself)
//   tv_probe <answer file> pictures      the system menu's pictures, measured and drawn by the
//                                         main window into a highlighted 40x24 row:
//                                         "picture.<n>.size=<w>x<h>", ".corner=" (the pixel at the
//                                         picture's top left, where its background is), ".row=" (the
//                                         row's colour), ".drawn=" and ".outside=" (pixels that differ
//                                         from the row's colour, inside and outside the picture)
//   tv_probe <answer file> form2fits     for each label and field of the size dialog, 1 when its
//                                         text fits it: "fits.<name>=1"
//   tv_probe <answer file> form2         the partition size dialog's caption, texts and tops
//   tv_probe <answer file> form2type <UD|EFI> <text>   types characters into a field
//   tv_probe <answer file> form2paste <UD|EFI>         pastes (the clipboard) into a field
//   tv_probe <answer file> about         the About window's caption, labels, the logo's
//                                         top (pixels), Prog1's classes (container and
//                                         bar window), visibility, value and upper end
//   tv_probe <answer file> aboutclick <logo|<n>>   clicks the logo or Label1(n)
//   tv_probe <answer file> messagebox    an open message box: message=<title>, text=<its text>;
//                                         nothing when none is open
// Commands on the window wait up to thirty seconds for it to be shown. The answer file's
// last line is "ok", or "failed" when the command could not be done.
//
// Started as "tv_probe x ..." it plays an archiver that never finishes: it
// leaves a file "started" beside itself and waits to be ended. Started as
// "tv_probe e ..." it plays an archiver that extracts until it is let go:
// it leaves a file "extracting" beside itself and ends once a file
// "release" is there.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>

#include "os/about_window.h"
#include "os/win32/control_ids.h"
#include "os/win32/dialog_ids.h"
#include "os/win32/wide.h"

using namespace os::win32;

namespace {

// Only visible main windows count: a second instance makes its main window
// hidden before it hands over to the first and ends.
bool IsVisibleMain(HWND h) {
  wchar_t cls[64];
  return GetClassNameW(h, cls, 64) && std::wstring(cls) == kMainWindowClass && IsWindowVisible(h);
}

BOOL CALLBACK FirstOne(HWND h, LPARAM found) {
  if (!IsVisibleMain(h)) return TRUE;
  *reinterpret_cast<HWND*>(found) = h;
  return FALSE;
}

HWND FindMain() {
  for (int i = 0; i < 300; ++i) {
    HWND h = nullptr;
    EnumWindows(&FirstOne, reinterpret_cast<LPARAM>(&h));
    if (h) return h;
    Sleep(100);
  }
  return nullptr;
}

BOOL CALLBACK CountOne(HWND h, LPARAM counter) {
  if (IsVisibleMain(h)) ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

std::wstring Text(HWND h) {
  wchar_t buffer[1024] = {};
  SendMessageW(h, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

void Line(FILE* out, const std::string& name, const std::wstring& value) {
  fprintf(out, "%s=%s\n", name.c_str(), Utf8(value).c_str());
}

int CountProcesses(const std::wstring& name) {
  int count = 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W e{};
  e.dwSize = sizeof e;
  if (Process32FirstW(snapshot, &e)) {
    do {
      if (lstrcmpiW(e.szExeFile, name.c_str()) == 0) ++count;
    } while (Process32NextW(snapshot, &e));
  }
  CloseHandle(snapshot);
  return count;
}

// The virtual-key code of "F5", "I" or "0x74"; 0 when it names none.
int VirtualKey(const std::string& name) {
  auto digits = [](const std::string& text, int base) {
    int value = 0;
    for (char c : text) {
      int d = c >= '0' && c <= '9'   ? c - '0'
              : c >= 'a' && c <= 'f' ? c - 'a' + 10
              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                     : 99;
      if (d >= base || value > 255) return 0;
      value = value * base + d;
    }
    return value < 256 ? value : 0;
  };
  if (name.size() == 1 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9'))) return name[0];
  if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') return name[0] - 'a' + 'A';
  if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
    int n = digits(name.substr(1), 10);
    return n >= 1 && n <= 24 ? VK_F1 + n - 1 : 0;
  }
  if (name.rfind("0x", 0) == 0) return digits(name.substr(2), 16);
  return digits(name, 10);
}

// One key going down or up, as the keyboard sends it.
INPUT KeyInput(int key, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = static_cast<WORD>(key);
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

// Presses the key into the main window brought to the front, through the
// keyboard's input queue, so the program's own test of the modifier keys
// (GetKeyState) sees Ctrl held.
bool PressKey(HWND main, int vk, bool ctrl) {
  SetForegroundWindow(main);
  std::vector<INPUT> inputs;
  auto add = [&](int key, bool up) { inputs.push_back(KeyInput(key, up)); };
  if (ctrl) add(VK_CONTROL, false);
  add(vk, false);
  add(vk, true);
  if (ctrl) add(VK_CONTROL, true);
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

bool Read(HWND main, FILE* out) {
  Line(out, "title", Text(main));
  const std::pair<const char*, int> captions[] = {{"Label3", kIdLabel3}, {"Label0", kIdLabel0}, {"Label1", kIdLabel1},
                                                  {"UReFresh", kIdUReFresh}, {"Command1", kIdCommand1},
                                                  {"Status", kIdStatus}};
  for (const auto& [name, id] : captions) Line(out, name, Text(GetDlgItem(main, id)));
  for (const auto& [name, id] : captions)
    fprintf(out, "%s.enabled=%d\n", name, IsWindowEnabled(GetDlgItem(main, id)) ? 1 : 0);
  const std::pair<const char*, int> lists[] = {{"RDriver", kIdRDriver}, {"Fsys", kIdFsys}, {"FSFor", kIdFSFor}};
  for (const auto& [name, id] : lists) {
    HWND list = GetDlgItem(main, id);
    int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    fprintf(out, "%s.count=%d\n", name, count);
    for (int i = 0; i < count; ++i) {
      wchar_t item[1024] = {};
      SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
      Line(out, std::string(name) + "." + std::to_string(i), item);
    }
    int selected = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    fprintf(out, "%s.selected=%d\n", name, selected);
    fprintf(out, "%s.enabled=%d\n", name, IsWindowEnabled(list) ? 1 : 0);
  }
  return true;
}

bool ReadProgress(HWND main, FILE* out) {
  HWND container = GetDlgItem(main, kIdProgressBar1);
  HWND bar = container ? GetDlgItem(container, 1) : nullptr;
  if (!bar) return false;
  wchar_t cls[64] = {};
  GetClassNameW(container, cls, 64);
  Line(out, "container.class", cls);
  GetClassNameW(bar, cls, 64);
  Line(out, "bar.class", cls);
  fprintf(out, "bar.style=%08lx\n", static_cast<unsigned long>(GetWindowLongW(bar, GWL_STYLE)));
  fprintf(out, "bar.pos=%d\n", static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0)));
  fprintf(out, "bar.min=%d\n", static_cast<int>(SendMessageW(bar, PBM_GETRANGE, TRUE, 0)));
  fprintf(out, "bar.max=%d\n", static_cast<int>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0)));
  RECT client, r;
  GetClientRect(container, &client);
  GetWindowRect(bar, &r);
  MapWindowPoints(HWND_DESKTOP, container, reinterpret_cast<POINT*>(&r), 2);
  fprintf(out, "bar.fills=%d\n", EqualRect(&client, &r) ? 1 : 0);
  return true;
}

bool Screenshot(const char* file) {
  HWND desktop = GetDesktopWindow();
  RECT r;
  GetWindowRect(desktop, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
  BITMAPINFOHEADER bi{};
  bi.biSize = sizeof bi;
  bi.biWidth = w;
  bi.biHeight = h;
  bi.biPlanes = 1;
  bi.biBitCount = 24;
  bi.biCompression = BI_RGB;
  int stride = (w * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<size_t>(stride) * h);
  GetDIBits(mem, bmp, 0, static_cast<UINT>(h), pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER bf{};
  bf.bfType = 0x4D42;
  bf.bfOffBits = sizeof bf + sizeof bi;
  bf.bfSize = bf.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* out = fopen(file, "wb");
  if (!out) return false;
  fwrite(&bf, sizeof bf, 1, out);
  fwrite(&bi, sizeof bi, 1, out);
  fwrite(pixels.data(), 1, pixels.size(), out);
  fclose(out);
  return true;
}

HWND FindWindowOf(const wchar_t* cls) {
  for (int i = 0; i < 300; ++i) {
    if (HWND h = FindWindowW(cls, nullptr)) return h;
    Sleep(100);
  }
  return nullptr;
}

// The message box that the main window shows: a dialog owned by it. Waits up
// to thirty seconds for one to appear.
HWND FindMessageBox(HWND main) {
  for (int i = 0; i < 300; ++i) {
    HWND box = nullptr;
    while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr)
      if (GetWindow(box, GW_OWNER) == main && IsWindowVisible(box)) return box;
    Sleep(100);
  }
  return nullptr;
}

// The menu, its pictures and the size dialog's labels are read inside
// Tarnvale's process by tv_probe_hook.dll, which lies beside the probe: the
// request is a registered message, the answer a file beside the DLL.
bool AskHook(HWND main, const wchar_t* request, const wchar_t* answerName, FILE* out) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder = self;
  folder = folder.substr(0, folder.find_last_of(L'\\') + 1);
  std::wstring answer = folder + answerName;
  DeleteFileW(answer.c_str());
  HMODULE hook = LoadLibraryW((folder + L"tv_probe_hook.dll").c_str());
  auto proc = hook ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(hook, "GetMsgProc"))) : nullptr;
  if (!proc) return false;
  DWORD thread = GetWindowThreadProcessId(main, nullptr);
  HHOOK h = SetWindowsHookExW(WH_GETMESSAGE, proc, hook, thread);
  if (!h) return false;
  PostMessageW(main, RegisterWindowMessageW(request), 0, 0);
  bool ok = false;
  for (int i = 0; i < 100 && !ok; ++i) {
    Sleep(100);
    FILE* in = _wfopen(answer.c_str(), L"rb");
    if (!in) continue;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, in)) > 0) fwrite(buffer, 1, n, out);
    fclose(in);
    ok = true;
  }
  UnhookWindowsHookEx(h);
  return ok;
}

bool ReadSystemMenu(HWND main, FILE* out) { return AskHook(main, L"TarnvaleProbeSysMenu", L"sysmenu.txt", out); }

// A key by its name in "keys"; 0 for none. Alt+Space is the one chord.
int KeyOf(const std::string& name) {
  const std::pair<const char*, int> keys[] = {{"down", VK_DOWN}, {"up", VK_UP}, {"left", VK_LEFT},
                                              {"right", VK_RIGHT}, {"enter", VK_RETURN}, {"escape", VK_ESCAPE},
                                              {"tab", VK_TAB}, {"alt+space", VK_SPACE}};
  for (const auto& [n, vk] : keys)
    if (name == n) return vk;
  if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') return name[0];
  if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') return name[0] - 'a' + 'A';
  return 0;
}

bool PressKeys(HWND main, int argc, char** argv) {
  // The program's window in front, unless one of its dialogs is: that keeps
  // the input.
  if (!FindWindowW(kForm2Class, nullptr) && !FindWindowW(kAboutClass, nullptr)) SetForegroundWindow(main);
  Sleep(200);
  for (int i = 3; i < argc; ++i) {
    std::string name = argv[i];
    int vk = KeyOf(name);
    if (!vk) return false;
    std::vector<INPUT> inputs;
    auto add = [&](int key, bool up) { inputs.push_back(KeyInput(key, up)); };
    bool alt = name == "alt+space";
    if (alt) add(VK_MENU, false);
    add(vk, false);
    add(vk, true);
    if (alt) add(VK_MENU, true);
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size()) return false;
    Sleep(300);
  }
  return true;
}

bool ReadFocus(HWND main, FILE* out) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info)) return false;
  HWND focus = info.hwndFocus;
  int id = focus && GetParent(focus) ? GetDlgCtrlID(focus) : 0;
  // A combo box's edit part counts as the combo box.
  if (focus && GetParent(focus) && GetParent(focus) != main && GetParent(GetParent(focus)) == main)
    id = GetDlgCtrlID(GetParent(focus));
  return fprintf(out, "focus=%d\n", id) > 0;
}

HWND Field(HWND form2, const std::string& name) {
  return GetDlgItem(form2, name == "EFI" ? kIdForm2Text2 : kIdForm2Text1);
}

int TopOf(HWND parent, int id) {
  RECT r;
  GetWindowRect(GetDlgItem(parent, id), &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r.top;
}

bool RunDialog(const std::string& command, int argc, char** argv, FILE* out) {
  if (command == "form2" || command == "form2type" || command == "form2paste") {
    HWND form2 = FindWindowOf(kForm2Class);
    if (!form2) return false;
    if (command == "form2type" || command == "form2paste") {
      if (argc < 4) return false;
      HWND field = Field(form2, argv[3]);
      if (command == "form2paste") {
        // "777" on the clipboard, then the paste.
        if (!OpenClipboard(nullptr)) return false;
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 4 * sizeof(wchar_t));
        if (memory) {
          wcscpy(static_cast<wchar_t*>(GlobalLock(memory)), L"777");
          GlobalUnlock(memory);
          SetClipboardData(CF_UNICODETEXT, memory);
        }
        CloseClipboard();
        SendMessageW(field, WM_PASTE, 0, 0);
        return true;
      }
      std::wstring text = argc > 4 ? Wide(argv[4]) : L"";
      for (wchar_t c : text) SendMessageW(field, WM_CHAR, c, 0);
      return true;
    }
    Line(out, "title", Text(form2));
    const std::pair<const char*, int> items[] = {{"Label1", kIdForm2Label1}, {"Text1", kIdForm2Text1},
                                                 {"Label11", kIdForm2Label11}, {"Label2", kIdForm2Label2},
                                                 {"Text2", kIdForm2Text2}, {"Label22", kIdForm2Label22}};
    for (const auto& [name, id] : items) {
      Line(out, name, Text(GetDlgItem(form2, id)));
      fprintf(out, "%s.top=%d\n", name, TopOf(form2, id));
    }
    return true;
  }
  HWND about = FindWindowOf(kAboutClass);
  if (!about) return false;
  if (command == "aboutclick") {
    if (argc < 4) return false;
    std::string what = argv[3];
    HWND target = GetDlgItem(about, what == "logo" ? kIdAboutImage1 : kIdAboutLabel0 + atoi(what.c_str()));
    if (!target) return false;
    PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    return true;
  }
  Line(out, "title", Text(about));
  for (int i = 0; i < os::kAboutLabelCount; ++i) {
    HWND label = GetDlgItem(about, kIdAboutLabel0 + i);
    Line(out, "Label1." + std::to_string(i), Text(label));
    fprintf(out, "Label1.%d.visible=%d\n", i, IsWindowVisible(label) ? 1 : 0);
  }
  fprintf(out, "Image1.top=%d\n", TopOf(about, kIdAboutImage1));
  // Prog1 is a progress bar control: a container with the bar window in it.
  HWND container = GetDlgItem(about, kIdAboutProg1);
  HWND bar = container ? GetDlgItem(container, 1) : nullptr;
  wchar_t cls[64] = {};
  GetClassNameW(container, cls, 64);
  Line(out, "Prog1.class", cls);
  GetClassNameW(bar, cls, 64);
  Line(out, "Prog1.bar.class", cls);
  fprintf(out, "Prog1.visible=%d\n", IsWindowVisible(container) ? 1 : 0);
  fprintf(out, "Prog1.value=%d\n", static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0)));
  fprintf(out, "Prog1.max=%d\n", static_cast<int>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0)));
  return true;
}

BOOL CALLBACK FindBox(HWND h, LPARAM found) {
  wchar_t cls[16];
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (IsWindowVisible(h) && GetClassNameW(h, cls, 16) && std::wstring(cls) == L"#32770" && pid != GetCurrentProcessId()) {
    *reinterpret_cast<HWND*>(found) = h;
    return FALSE;
  }
  return TRUE;
}

struct BoxParts {
  std::wstring text;     // the static control that holds text (the icon's holds none)
  std::wstring buttons;  // the button captions, joined by ","
};

BOOL CALLBACK AddPart(HWND h, LPARAM parts) {
  BoxParts& p = *reinterpret_cast<BoxParts*>(parts);
  wchar_t cls[64];
  if (!GetClassNameW(h, cls, 64) || !IsWindowVisible(h)) return TRUE;
  if (lstrcmpiW(cls, L"Static") == 0 && p.text.empty()) p.text = Text(h);
  if (lstrcmpiW(cls, L"Button") == 0) {
    if (!p.buttons.empty()) p.buttons += L",";
    p.buttons += Text(h);
  }
  return TRUE;
}

bool ReadMessageBox(HWND main, FILE* out) {
  HWND box = FindMessageBox(main);
  if (!box) return false;
  BoxParts parts;
  EnumChildWindows(box, &AddPart, reinterpret_cast<LPARAM>(&parts));
  Line(out, "title", Text(box));
  Line(out, "text", parts.text);
  Line(out, "buttons", parts.buttons);
  return true;
}

bool Answer(HWND main, const std::string& which) {
  HWND box = FindMessageBox(main);
  int id = which == "ok" ? IDOK : which == "cancel" ? IDCANCEL : 0;
  if (!box || !id || !GetDlgItem(box, id)) return false;
  return PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id))) !=
         FALSE;
}

bool Click(HWND main, const std::string& name) {
  int id = name == "Command1" ? kIdCommand1 : name == "UReFresh" ? kIdUReFresh : 0;
  HWND button = id ? GetDlgItem(main, id) : nullptr;
  if (!button) return false;
  // A disabled button takes no click.
  if (!IsWindowEnabled(button)) return true;
  return PostMessageW(main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)) != FALSE;
}

// A folder name outside code page 1252, made here: a Unix command line under
// a plain locale could not carry it.
const wchar_t kElsewhere[] = L"\u041f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u0430 \u7a0b\u5e8f";

bool CopyTree(const std::wstring& from, const std::wstring& to) {
  if (!CreateDirectoryW(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((from + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  do {
    std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ok = ok && CopyTree(from + L"\\" + name, to + L"\\" + name);
    else ok = ok && CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return ok;
}

bool StartElsewhere(const std::string& folder, FILE* out) {
  std::wstring from = Wide(folder);
  std::wstring to = from.substr(0, from.rfind(L'\\') + 1) + kElsewhere;
  if (!CopyTree(from, to)) return fprintf(out, "copy error %lu\n", GetLastError()) < 0;
  std::wstring line = L"\"" + to + L"\\Tarnvale.exe\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, to.c_str(), &si, &pi))
    return fprintf(out, "start error %lu\n", GetLastError()) < 0;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  Line(out, "folder", to);
  return true;
}

bool Run(const std::string& command, int argc, char** argv, FILE* out) {
  if (command == "messagebox") {
    HWND box = nullptr;
    EnumWindows(&FindBox, reinterpret_cast<LPARAM>(&box));
    if (box) {
      BoxParts parts;
      EnumChildWindows(box, &AddPart, reinterpret_cast<LPARAM>(&parts));
      Line(out, "message", Text(box));
      Line(out, "text", parts.text);
    }
    return true;
  }
  if ((command.rfind("form2", 0) == 0 && command != "form2fits") || command.rfind("about", 0) == 0)
    return RunDialog(command, argc, argv, out);
  if (command == "screenshot") return argc > 3 && Screenshot(argv[3]);
  if (command == "start-elsewhere") return argc > 3 && StartElsewhere(argv[3], out);
  if (command == "processes")
    return fprintf(out, "%d\n", CountProcesses(argc > 3 ? Wide(argv[3]) : L"Tarnvale.exe")) > 0;
  if (command == "count") {
    int count = 0;
    EnumWindows(&CountOne, reinterpret_cast<LPARAM>(&count));
    return fprintf(out, "%d\n", count) > 0;
  }
  HWND main = FindMain();
  if (!main) return false;
  if (command == "key") {
    int vk = argc > 3 ? VirtualKey(argv[3]) : 0;
    return vk != 0 && PressKey(main, vk, argc > 4 && std::string(argv[4]) == "ctrl");
  }
  if (command == "read") return Read(main, out);
  if (command == "progress") return ReadProgress(main, out);
  if (command == "minimize") {
    ShowWindow(main, SW_MINIMIZE);
    return true;
  }
  if (command == "restore") {
    ShowWindow(main, SW_RESTORE);
    return true;
  }
  if (command == "iconic") return fprintf(out, "%d\n", IsIconic(main) ? 1 : 0) > 0;
  if (command == "close") return PostMessageW(main, WM_CLOSE, 0, 0) != FALSE;
  if (command == "click") return argc > 3 && Click(main, argv[3]);
  if (command == "message") return ReadMessageBox(main, out);
  if (command == "answer") return argc > 3 && Answer(main, argv[3]);
  if (command == "sysmenu") return ReadSystemMenu(main, out);
  if (command == "keys") return PressKeys(main, argc, argv);
  if (command == "focus") return ReadFocus(main, out);
  if (command == "pictures") return AskHook(main, L"TarnvaleProbePictures", L"pictures.txt", out);
  if (command == "form2fits") return AskHook(main, L"TarnvaleProbeFits", L"fits.txt", out);
  if (command == "endsession" || command == "endsession-force") {
    LRESULT allowed = SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    if (allowed || command == "endsession-force") {
      SendMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
      DWORD id = 0;
      GetWindowThreadProcessId(main, &id);
      if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
      }
    }
    return fprintf(out, "%d\n", allowed ? 1 : 0) > 0;
  }
  return false;
}

}  // namespace

// The archiver that never finishes.
int PlayHangingArchiver() {
  wchar_t self[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder(self, n);
  folder.resize(folder.rfind(L'\\') + 1);
  if (FILE* f = _wfopen((folder + L"started").c_str(), L"wb")) fclose(f);
  Sleep(INFINITE);
  return 0;
}

// The archiver that works until the test lets it go.
int PlayHeldArchiver() {
  wchar_t self[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder(self, n);
  folder.resize(folder.rfind(L'\\') + 1);
  if (FILE* f = _wfopen((folder + L"extracting").c_str(), L"wb")) fclose(f);
  while (GetFileAttributesW((folder + L"release").c_str()) == INVALID_FILE_ATTRIBUTES) Sleep(100);
  return 0;
}

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "x") return PlayHangingArchiver();
  if (argc > 1 && std::string(argv[1]) == "e") return PlayHeldArchiver();
  if (argc < 3) return 2;
  std::string answer = argv[1];
  std::string temp = answer + ".part";
  FILE* out = fopen(temp.c_str(), "wb");
  if (!out) return 1;
  bool ok = Run(argv[2], argc, argv, out);
  fprintf(out, ok ? "ok\n" : "failed\n");
  fclose(out);
  MoveFileExA(temp.c_str(), answer.c_str(), MOVEFILE_REPLACE_EXISTING);
  return ok ? 0 : 1;
}
