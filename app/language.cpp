#include "app/language.h"

#include "app/globals.h"
#include "app/search_folders.h"
#include "os/files.h"
#include "os/main_window.h"
#include "os/profile.h"
#include "os/system.h"
#include "sys/text.h"

namespace app {

std::string sLangPath;
std::array<std::string, kLangStringCount> LangStrings;

namespace {

constexpr const char* kSection = "Language_Tarnvale";

bool Usable() { return os::PathExists(sLangPath) && !ReadLang("String(0)", kSection).empty(); }

// Locales without a file of their own use the file of their language.
uint32_t MappedLocale(uint32_t id) {
  switch (id) {
    case 2055: case 3079: case 4103: case 5127: return 1031;  // German of Switzerland, Austria, ...
    case 3076: case 5124: return 1028;                         // Chinese of Hong Kong, Macao
    case 4100: return 2052;                                    // Chinese of Singapore
    default: return id;
  }
}

// The font list of the language file, tried in order until the platform
// accepts a name as it is.
void TryLanguageFonts(os::MainWindow& window) {
  if (!sFontName.empty()) return;
  std::string list = ReadLang("font", "Option");
  if (list.empty()) return;
  for (const std::string& name : sys::Split(list, ",")) {
    std::string given = window.SetFontName(name);
    if (sys::EqualsNoCase(given, name)) return;
  }
}

// The English texts of the added strings, shown when the language file has
// no text of its own for them.
const std::string kBuiltIn[kLangStringCount - kFirstAddedLangString] = {
    // 69: a configuration value of the local install that could run commands
    "A value in the [InstPEToDisk] section of the configuration file holds a character that is not allowed "
    "(\" % & | < > ^ or a control character), so nothing was installed. Correct this key and try again: ",
    // 70: the boot entry is missing after bcdedit
    "The boot entry could not be created: after bcdedit ran, the Windows boot menu has no entry for the PE "
    "system. The files stay in C:\\WinPE. Run the program as administrator and try again.",
    // 71: the emulator's plug-in could not be unpacked
    "The emulator could not be prepared: its plug-in (Data\\Plugins\\qemu.aes) is missing, damaged or has the "
    "wrong password. The boot test was not started.",
    // 72: the chosen disk changed or went away during an operation
    "The disk chosen for this work has changed or has been removed: it is no longer the disk you confirmed. "
    "Nothing more was written to any disk. Check the disks, click Refresh and choose the disk again.",
    // 73: the chosen disk holds Windows or the program's own files (after a letter)
    "\xC2\xA0holds the running Windows, this program, its configuration file or its PE package, and is never "
    "used as a target. It holds:",
    // 74: the About window's guide link, the guide missing beside the program
    "The user guide is missing. This file was not found:",
    // 75: the EFI partition lacks files of the PE image
    "The EFI partition lacks %1 of %2 files of the PE image.",
    // 76: the data partition lacks files of the data package
    "The data partition lacks %1 of %2 files of the data package.",
    // 77: the data partition is too small
    "The data partition has %1 MB of %2 MB.",
    // 78: the EFI partition has another size
    "The EFI partition has %1 MB of %2 MB.",
    // 79: the partition table is not the layout's
    "The partitions are not as the layout puts them: %1.",
    // 80: a package the archiver cannot list
    "The archiver cannot read the package %1 (damaged or cut off), so nothing was written. Replace the package and try again.",
    // 81: the exit code of the step that broke the disk
    "%1 ended with exit code %2.",
    // 82: no free letter for the diskpart mode
    "No drive letter is free for the diskpart mode (every letter from F: on is taken, e.g. by network drives), so nothing was written. Free a letter and try again.",
    // 83: a volume label the diskpart script cannot carry
    "The volume label (key Label of the configuration file) holds a double quote or a control character, so nothing was written. Correct the key and try again.",
    // 84: the partition tool's unpack hung
    "The partition tool could not be unpacked within three minutes, so the archiver was ended and the make stopped. Try again.",
    // 85: the system-menu entry that opens the log
    "Log",
    // 86: the shell could not open the log; its path follows
    "The log could not be opened. It lies here:\xC2\xA0",
    // 87: neither folder could be written, so there is no log file
    "There is no log file: neither the program's folder nor the temporary folder can be written to.",
    // 88: the program runs without administrator rights
    "Tarnvale is not running with administrator rights, so it cannot make or restore a disk and offers no "
    "operation. Close it and start it again with \"Run as administrator\".",
    // 89: the reason the session's end waits, while a disk is being made
    "A startup disk is being made. Wait until it is finished, or the disk cannot be used.",
    // 90: a package file that another program still writes
    "A package file is still being written by another program (a copy may not be finished), so the disk was not "
    "touched. Wait until it is complete or close that program, then try again: ",
    // 91: the per-run folder could not be made, so no operation can run
    "The working folder in the Windows temporary folder could not be made, so nothing can be done. "
    "Check that the Windows Temp folder can be written to and start the program again.",
    // 92: the restore found no partition tool and did not touch the disk
    "The partition tool could not be prepared: its plug-in (Data\\Plugins\\pacmd.aes) is missing, damaged or has "
    "the wrong password. The disk was not changed.",
    // 93: the boot code read back from the made disk is missing or damaged
    "The boot code is missing or damaged: %1.",
};

}  // namespace

const std::string& LangString(int n) {
  static const std::string empty;
  if (n < 0 || n >= kLangStringCount) return empty;
  const std::string& text = LangStrings[static_cast<size_t>(n)];
  if (text.empty() && n >= kFirstAddedLangString) return kBuiltIn[n - kFirstAddedLangString];
  return text;
}

std::string LanguageFilePath(uint32_t localeId) {
  return ProgramFolder() + "\\Data\\Lang\\" + std::to_string(localeId) + ".lng";
}

std::string ReadLang(std::string_view key, std::string_view section) {
  std::string value;
  os::ProfileRead(section, key, "", 255, sLangPath, value);
  return sys::TrimSpaces(value.substr(0, value.find('\0')));
}

void ApplyLanguage(os::MainWindow& window) {
  sLangPath = LanguageFilePath(os::ThreadLocale());
  if (!Usable()) {
    uint32_t mapped = MappedLocale(os::ThreadLocale());
    if (mapped != os::ThreadLocale()) os::SetThreadLocaleId(mapped);
    sLangPath = LanguageFilePath(os::ThreadLocale());
    if (!Usable()) {
      // English is the last resort, taken whether its file exists or not.
      os::SetThreadLocaleId(1033);
      sLangPath = LanguageFilePath(1033);
    }
  }
  TryLanguageFonts(window);
  for (int n = 0; n < kLangStringCount; ++n)
    LangStrings[static_cast<size_t>(n)] = ReadLang("String(" + std::to_string(n) + ")", kSection);

  window.SetCaption(os::Control::kLabel3, LangStrings[0]);
  window.SetCaption(os::Control::kLabel0, LangStrings[1]);
  window.SetCaption(os::Control::kLabel1, LangStrings[2]);
  window.SetCaption(os::Control::kStatus, LangStrings[3]);
  window.SetCaption(os::Control::kCommand1, LangStrings[4]);
  window.SetCaption(os::Control::kUReFresh, LangStrings[63]);
}

}  // namespace app
