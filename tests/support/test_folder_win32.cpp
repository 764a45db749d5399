// Windows build: a new folder in the real temporary folder.
#include <windows.h>

#include "os/files.h"
#include "os/win32/wide.h"
#include "sys/random_str.h"
#include "tests/support/test_folder.h"

namespace test {

TestFolder::TestFolder() {
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  std::string base = os::win32::Utf8(temp);
  if (!base.empty() && base.back() == '\\') base.pop_back();
  root_ = base + "\\tv-test-" + sys::RandomStr(8);
  os::CreateFolder(root_);
}

TestFolder::~TestFolder() { os::ShellDelete(root_); }

void SetAttributesForTest(const std::string& path, uint32_t attributes) {
  SetFileAttributesW(os::win32::Wide(path).c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
}

ScopedDigitGrouping::ScopedDigitGrouping(const std::string& grouping) {
  wchar_t old[16] = L"3;0";
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, old, 16);
  old_ = os::win32::Utf8(old);
  SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, os::win32::Wide(grouping).c_str());
}

ScopedDigitGrouping::~ScopedDigitGrouping() {
  SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, os::win32::Wide(old_).c_str());
}

}  // namespace test
