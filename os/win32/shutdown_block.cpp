#include "os/win32/shutdown_block.h"

#include "os/win32/wide.h"

namespace os::win32 {

void SetShutdownBlockReason(HWND window, const std::string& reason) {
  using CreateFn = BOOL(WINAPI*)(HWND, LPCWSTR);
  using DestroyFn = BOOL(WINAPI*)(HWND);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return;
  if (reason.empty()) {
    auto destroy = reinterpret_cast<DestroyFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ShutdownBlockReasonDestroy")));
    if (destroy) destroy(window);
    return;
  }
  auto create =
      reinterpret_cast<CreateFn>(reinterpret_cast<void*>(GetProcAddress(user32, "ShutdownBlockReasonCreate")));
  if (create) create(window, Wide(reason).c_str());
}

}  // namespace os::win32
