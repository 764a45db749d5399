#include "os/system.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "os/win32/handle.h"
#include "os/win32/wide.h"

namespace os {

std::optional<VersionInfo> QueryVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;  // 148: the ANSI record
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return std::nullopt;
#pragma GCC diagnostic pop
  return VersionInfo{info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

std::optional<std::string> EnvVar(std::string_view name) {
  std::wstring n = win32::Wide(name);
  DWORD size = GetEnvironmentVariableW(n.c_str(), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring value(size, L'\0');
  size = GetEnvironmentVariableW(n.c_str(), value.data(), size);
  value.resize(size);
  return win32::Utf8(value);
}

namespace {

// A folder query that fills a wide buffer and returns its length, or the
// size it needs when the buffer is too small.
template <typename Query>
std::string FolderFrom(Query query) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int tries = 0; tries < 4; ++tries) {
    UINT n = query(buffer.data(), static_cast<UINT>(buffer.size()));
    if (n == 0) return "";
    if (n < buffer.size()) {
      buffer.resize(n);
      return win32::Utf8(buffer);
    }
    buffer.resize(n + 1);
  }
  return "";
}

}  // namespace

std::string WindowsFolder() { return FolderFrom(GetWindowsDirectoryW); }
std::string SystemFolder() { return FolderFrom(GetSystemDirectoryW); }

bool IsElevated() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  win32::Handle token(raw);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  bool known = GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) != FALSE;
  if (known) return elevation.TokenIsElevated != 0;
  // Before Vista there is no elevation: membership of the Administrators
  // group is what counts.
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID admins = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                &admins))
    return false;
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, admins, &member)) member = FALSE;
  FreeSid(admins);
  return member != FALSE;
}

uint32_t SystemDefaultLocale() { return GetSystemDefaultLCID(); }
uint32_t ThreadLocale() { return GetThreadLocale(); }
bool SetThreadLocaleId(uint32_t lcid) { return SetThreadLocale(lcid) != FALSE; }

std::string CommandLine() { return win32::Utf8(GetCommandLineW()); }

std::optional<std::vector<std::string>> SplitCommandLine(std::string_view line) {
  int count = 0;
  std::wstring w = win32::Wide(line);
  LPWSTR* argv = CommandLineToArgvW(w.c_str(), &count);
  if (!argv) return std::nullopt;
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(win32::Utf8(argv[i]));
  LocalFree(argv);
  return args;
}

std::string ModulePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  while (true) {
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n < buffer.size()) {
      buffer.resize(n);
      return win32::Utf8(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
}

namespace {

// The user's digit grouping ("3;0", "3;2;0", "3", ...) as NUMBERFMT wants it:
// the group sizes as the digits of one number, where a final 0 means "repeat
// the last group" and is dropped, and its absence means "no more groups",
// which a trailing 0 says there ("3;2;0" -> 32, "3" -> 30).
UINT GroupingOf(const wchar_t* text) {
  UINT value = 0;
  bool repeat = false;
  int digits = 0;
  for (const wchar_t* p = text; *p; ++p) {
    if (*p < L'0' || *p > L'9') continue;
    repeat = *p == L'0';
    if (repeat || digits >= 8) continue;
    value = value * 10 + static_cast<UINT>(*p - L'0');
    ++digits;
  }
  return repeat || value == 0 ? value : value * 10;
}

}  // namespace

std::string FormatNumber(std::string_view number, int decimals) {
  // The user's settings, with our own number of decimal places.
  wchar_t decimal[8] = L".", thousand[8] = L",", grouping[16] = L"3;0", lzero[4] = L"1", neg[4] = L"1";
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8);
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, thousand, 8);
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, grouping, 16);
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ILZERO, lzero, 4);
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_INEGNUMBER, neg, 4);
  NUMBERFMTW fmt{};
  fmt.NumDigits = static_cast<UINT>(decimals);
  fmt.LeadingZero = static_cast<UINT>(_wtoi(lzero));
  fmt.Grouping = GroupingOf(grouping);
  fmt.lpDecimalSep = decimal;
  fmt.lpThousandSep = thousand;
  fmt.NegativeOrder = static_cast<UINT>(_wtoi(neg));
  std::wstring value = win32::Wide(number);
  wchar_t out[128] = {};
  if (!GetNumberFormatW(LOCALE_USER_DEFAULT, 0, value.c_str(), &fmt, out, 128)) return std::string(number);
  return win32::Utf8(out);
}

void SuppressErrorBoxes() {
  UINT mode = SetErrorMode(0);  // the only way to read it before Vista
  SetErrorMode(mode | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

intptr_t ShellOpen(std::string_view file, std::string_view parameters, std::string_view folder, int show) {
  // Empty parameters and folder are none at all.
  std::wstring p = win32::Wide(parameters), f = win32::Wide(folder);
  HINSTANCE r = ShellExecuteW(nullptr, L"open", win32::Wide(file).c_str(), p.empty() ? nullptr : p.c_str(),
                              f.empty() ? nullptr : f.c_str(), show);
  return reinterpret_cast<intptr_t>(r);
}

LocalTimeValue LocalTime() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return LocalTimeValue{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

std::string TempFolder() {
  std::string folder = FolderFrom([](LPWSTR buffer, UINT size) { return static_cast<UINT>(GetTempPathW(size, buffer)); });
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}

bool Is64BitSystem() {
  SYSTEM_INFO info{};
  GetNativeSystemInfo(&info);
  return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
         info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_ARM64 ||
         info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

}  // namespace os
