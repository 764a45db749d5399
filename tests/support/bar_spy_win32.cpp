#include <windows.h>

#include "tests/support/bar_spy.h"

namespace test {

struct BarSpy::Impl {
  HWND container = nullptr;
  HHOOK cbt = nullptr;
  HHOOK calls = nullptr;
  std::vector<std::string> lines;
};

namespace {

// The one spy that listens on this thread.
BarSpy::Impl* g_spy = nullptr;

bool InContainer(HWND window) { return g_spy && window && GetParent(window) == g_spy->container; }

LRESULT CALLBACK CbtHook(int code, WPARAM wp, LPARAM lp) {
  if (g_spy && code == HCBT_CREATEWND) {
    auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lp);
    if (create->lpcs->hwndParent == g_spy->container)
      g_spy->lines.push_back(BarCreateLine(static_cast<uint32_t>(create->lpcs->style), create->lpcs->cx,
                                           create->lpcs->cy));
  } else if (code == HCBT_DESTROYWND && InContainer(reinterpret_cast<HWND>(wp))) {
    g_spy->lines.push_back("destroy");
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK CallHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION) {
    auto* call = reinterpret_cast<CWPSTRUCT*>(lp);
    if (InContainer(call->hwnd)) {
      std::string line = BarMessageLine(call->message, call->wParam, call->lParam);
      if (!line.empty()) g_spy->lines.push_back(line);
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

BarSpy::BarSpy(os::ProgressBarWindow& container) {
  impl_ = new Impl;
  impl_->container = reinterpret_cast<HWND>(container.Handle());
  g_spy = impl_;
  impl_->cbt = SetWindowsHookExW(WH_CBT, &CbtHook, nullptr, GetCurrentThreadId());
  impl_->calls = SetWindowsHookExW(WH_CALLWNDPROC, &CallHook, nullptr, GetCurrentThreadId());
}

BarSpy::~BarSpy() {
  if (impl_->cbt) UnhookWindowsHookEx(impl_->cbt);
  if (impl_->calls) UnhookWindowsHookEx(impl_->calls);
  if (g_spy == impl_) g_spy = nullptr;
  delete impl_;
}

std::vector<std::string> BarSpy::Take() {
  std::vector<std::string> lines;
  lines.swap(impl_->lines);
  return lines;
}

}  // namespace test
