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
// no text of its own for them, by number.
struct BuiltInText {
  int n;
  const char* text;
};
const BuiltInText kBuiltIn[] = {
    // 69: a configuration value of the local install that could run commands
    {69,
     "A value in the [InstPEToDisk] section of the configuration file holds a character that is not allowed "
     "(\" % & | < > ^ or a control character), so nothing was installed. Correct this key and try again: "},
    // 70: the boot entry is missing after bcdedit
    {70,
     "The boot entry could not be created: after bcdedit ran, the Windows boot menu has no entry for the PE "
     "system. The files stay in C:\\WinPE. Run the program as administrator and try again."},
    // 71: the emulator's plug-in could not be unpacked
    {71,
     "The emulator could not be prepared: its plug-in (Data\\Plugins\\qemu.aes) is missing, damaged or has the "
     "wrong password. The boot test was not started."},
    // 93: the About window's guide link, the guide missing beside the program
    {93, "The user guide is missing. This file was not found:"},
};

}  // namespace

const std::string& LangString(int n) {
  static const std::string empty;
  if (n < 0 || n >= kLangStringCount) return empty;
  const std::string& text = LangStrings[static_cast<size_t>(n)];
  if (!text.empty() || n < kFirstAddedLangString) return text;
  static std::array<std::string, kLangStringCount> builtIn = [] {
    std::array<std::string, kLangStringCount> all;
    for (const BuiltInText& b : kBuiltIn) all[static_cast<size_t>(b.n)] = b.text;
    return all;
  }();
  return builtIn[static_cast<size_t>(n)];
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
