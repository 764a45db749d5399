#include <windows.h>

#include "tests/support/platform.h"

namespace test {
bool RunningOnWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
bool HostBuild() { return false; }
}  // namespace test
