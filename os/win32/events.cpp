// The message pump that every wait of the system runs while it waits.
#include "os/events.h"

#include <windows.h>

#include "os/win32/message_loop.h"

namespace os {
namespace win32 {
namespace {
MessageFilter g_filter = nullptr;
// A WM_QUIT taken out of the queue by a pump inside a wait: the outer loop
// ends with it once the wait is over. (Posting it again would wake every
// later wait at once and make it spin.)
bool g_quit = false;
int g_quitCode = 0;
}  // namespace

void SetMessageFilter(MessageFilter filter) { g_filter = filter; }

void DispatchOne(MSG& msg) {
  if (g_filter && g_filter(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

int RunMessageLoop() {
  MSG msg;
  while (!g_quit && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchOne(msg);
  return g_quit ? g_quitCode : static_cast<int>(msg.wParam);
}

}  // namespace win32

void PumpEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      win32::g_quit = true;
      win32::g_quitCode = static_cast<int>(msg.wParam);
      return;
    }
    win32::DispatchOne(msg);
  }
}

WaitResult WaitForEvents(uint32_t timeoutMs) {
  DWORD r = MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs, QS_ALLINPUT);
  if (r == WAIT_OBJECT_0) return WaitResult::kEventsPending;
  if (r == WAIT_TIMEOUT) return WaitResult::kTimedOut;
  return WaitResult::kFailed;
}

uint64_t TickCount() { return GetTickCount64(); }

}  // namespace os
