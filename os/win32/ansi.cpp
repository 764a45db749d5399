#include "os/ansi.h"

#include <windows.h>

#include "os/win32/wide.h"

namespace os {

unsigned AnsiCodePage() { return GetACP(); }

std::string ToCodePage(unsigned codePage, std::string_view utf8, bool* exact) {
  if (exact) *exact = true;
  std::wstring wide = win32::Wide(utf8);
  if (wide.empty()) return {};
  BOOL usedDefault = FALSE;
  // UTF-7/UTF-8 code pages take no default-character argument.
  bool takesDefault = codePage != CP_UTF8 && codePage != CP_UTF7;
  LPBOOL used = takesDefault ? &usedDefault : nullptr;
  // No "best fit" (U+3000 would become a plain space): a character that the
  // code page lacks becomes '?', as on the simulated machine.
  DWORD flags = takesDefault ? WC_NO_BEST_FIT_CHARS : 0;
  int n = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, used);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, used);
  if (exact && usedDefault) *exact = false;
  // UTF-8 that was not well formed came back with U+FFFD in places.
  if (exact && codePage == CP_UTF8 && out != utf8) *exact = false;
  return out;
}

std::string FromCodePage(unsigned codePage, std::string_view bytes) {
  if (bytes.empty()) return {};
  int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
  return win32::Utf8(wide);
}

}  // namespace os
