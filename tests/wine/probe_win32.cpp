// tv_probe.exe: reads and drives Tarnvale's main window from outside, for
// the test that runs the Windows program under Wine. It runs inside Wine's
// virtual desktop beside the program, where it is started without waiting,
// so it leaves its answer in a file that appears whole when it is done:
//
//   tv_probe <answer file> read          the caption, control texts and list
//                                         entries, UTF-8, "name=value" lines
//   tv_probe <answer file> count         how many visible main windows exist
//   tv_probe <answer file> processes [name]  how many Tarnvale.exe (or name) processes run
//   tv_probe <answer file> iconic        1 when the first visible main window is minimised
//   tv_probe <answer file> minimize | close
//   tv_probe <answer file> endsession    logoff: the answer to WM_QUERYENDSESSION
//                                         (1 or 0); when it was 1, WM_ENDSESSION and
//                                         then the end of the process, as Windows does
//   tv_probe <answer file> start-elsewhere <folder>
//                                         copies the folder to a sibling whose name is
//                                         outside code page 1252 ("Программа 程序") and
//                                         starts its Tarnvale.exe; answers the new path
//   tv_probe <answer file> screenshot <bmp file>
// Commands on the window wait up to thirty seconds for it. The answer file's
// last line is "ok", or "failed" when the command could not be done.
//
// Started as "tv_probe x ..." it plays an archiver that never finishes: it
// leaves a file "started" beside itself and waits to be ended.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>

#include "os/win32/control_ids.h"
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

bool Read(HWND main, FILE* out) {
  Line(out, "title", Text(main));
  const std::pair<const char*, int> captions[] = {{"Label3", kIdLabel3}, {"Label0", kIdLabel0}, {"Label1", kIdLabel1},
                                                  {"UReFresh", kIdUReFresh}, {"Command1", kIdCommand1},
                                                  {"Status", kIdStatus}};
  for (const auto& [name, id] : captions) Line(out, name, Text(GetDlgItem(main, id)));
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
  }
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
  if (command == "read") return Read(main, out);
  if (command == "minimize") {
    ShowWindow(main, SW_MINIMIZE);
    return true;
  }
  if (command == "iconic") return fprintf(out, "%d\n", IsIconic(main) ? 1 : 0) > 0;
  if (command == "close") return PostMessageW(main, WM_CLOSE, 0, 0) != FALSE;
  if (command == "endsession") {
    LRESULT allowed = SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    if (allowed) {
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

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "x") return PlayHangingArchiver();
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
