// The language file: every text the user sees, chosen per run from the
// thread locale (the system default, or the "/lng:" switch).
//
// Public:
//   sLangPath        the chosen file: <program folder>\Data\Lang\<locale id>.lng
//   LangStrings      the language strings, read once at start-up
//   LangString(n)    language string n ("" when out of range); for the
//                    strings added after the first 69, a built-in English
//                    text when the language file lacks them
//   kLangStringCount, kFirstAddedLangString
//   ReadLang()       one value of the language file, trimmed, comments kept
//   ApplyLanguage()  chooses the file, reads the strings, sets the captions
//   LanguageFilePath()
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace os {
class MainWindow;
}

namespace app {

constexpr int kLangStringCount = 94;
// Strings 69 and up came after the first language files were written: a file
// that lacks one shows its built-in English text.
constexpr int kFirstAddedLangString = 69;
extern std::string sLangPath;
extern std::array<std::string, kLangStringCount> LangStrings;

const std::string& LangString(int n);

// The language file of a locale id.
std::string LanguageFilePath(uint32_t localeId);

// GetPrivateProfileStringA from sLangPath into 255 characters, cut at the
// first NUL and trimmed of spaces; "//" and tabs stay.
std::string ReadLang(std::string_view key, std::string_view section);

// For the main window: picks the language file by the thread locale (with
// its fallback chain, which changes the thread locale), tries the file's
// font list when the caption font is unknown, reads the strings and sets
// the window's captions.
void ApplyLanguage(os::MainWindow& window);

}  // namespace app
