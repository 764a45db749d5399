// The running system: version, environment, locale ids, the command line,
// the program's own path, regional number format and the shell's "open".
//
// Public functions:
//   QueryVersion()        GetVersionExA
//   EnvVar()              GetEnvironmentVariable
//   WindowsFolder()       GetWindowsDirectoryW: the running Windows's folder
//   SystemFolder()        GetSystemDirectoryW: its System32 folder
//   IsElevated()          the process runs with administrator rights
//   SystemDefaultLocale(), ThreadLocale(), SetThreadLocaleId()
//   CommandLine()         GetCommandLineW, as UTF-8
//   SplitCommandLine()    CommandLineToArgvW
//   ModulePath()          the program file's full path
//   FormatNumber()        GetNumberFormat with the user's regional settings
//   ShellOpen()           ShellExecute "open"
//   SuppressErrorBoxes()  SetErrorMode: no system error boxes
//   LocalTime()           GetLocalTime: the local date and time to the millisecond
//   TempFolder()          GetTempPathW: the user's temporary folder
//   Is64BitSystem()       GetNativeSystemInfo: a 64-bit Windows
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace os {

struct VersionInfo {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
};
std::optional<VersionInfo> QueryVersion();

std::optional<std::string> EnvVar(std::string_view name);

// The folder of the running Windows and its system folder, as the system
// itself gives them ("C:\Windows", "C:\Windows\System32"), never from an
// environment variable: a per-user windir reaches an elevated process.
// Empty when the call fails.
std::string WindowsFolder();
std::string SystemFolder();

// Whether this process holds administrator rights now: its token is
// elevated (TokenElevation), or, on a system without elevation, it belongs
// to the Administrators group. The manifest asks for them, but a start can
// bypass it.
bool IsElevated();

uint32_t SystemDefaultLocale();
uint32_t ThreadLocale();
bool SetThreadLocaleId(uint32_t lcid);

std::string CommandLine();
// Splits by the rules of CommandLineToArgvW. Nothing when the split fails.
std::optional<std::vector<std::string>> SplitCommandLine(std::string_view line);

std::string ModulePath();

// `number` is a plain decimal text ("1234.5"); the result has `decimals`
// decimal places, grouping and decimal sign of the user's regional settings.
std::string FormatNumber(std::string_view number, int decimals);

// ShellExecute(0, "open", file, parameters, folder, show). Values of 32 or
// less are the shell's failure codes.
intptr_t ShellOpen(std::string_view file, std::string_view parameters,
                   std::string_view folder, int show);

// The system shows no error boxes for this process and the programs it
// starts (SetErrorMode SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX):
// probing an empty card reader or CD drive fails quietly instead of asking
// for a disk.
void SuppressErrorBoxes();

enum : uint32_t { kSemFailCriticalErrors = 0x0001, kSemNoOpenFileErrorBox = 0x8000 };

struct LocalTimeValue {
  uint16_t year = 0, month = 0, day = 0;
  uint16_t hour = 0, minute = 0, second = 0, millisecond = 0;
};
LocalTimeValue LocalTime();

// The user's temporary folder (TEMP, TMP or the profile's), without a
// trailing separator; empty when the call fails.
std::string TempFolder();

// Whether the running Windows is a 64-bit one (a 32-bit program then runs
// under WOW64).
bool Is64BitSystem();

}  // namespace os
