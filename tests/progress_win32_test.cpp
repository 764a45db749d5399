// ProgressBar1 on the Windows build's real main window (under Wine in the
// tests): a msctls_progress32 bar window in the window's container, whose
// position and style are what the form has set, also when TimerProg moves
// it on the window's own WM_TIMER.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/form1.h"
#include "app/globals.h"
#include "os/main_window.h"
#include "os/win32/control_ids.h"
#include "sys/pause_with_events.h"

namespace {

BOOL CALLBACK FindMain(HWND h, LPARAM out) {
  wchar_t cls[64];
  if (GetClassNameW(h, cls, 64) && std::wstring(cls) == os::win32::kMainWindowClass) {
    *reinterpret_cast<HWND*>(out) = h;
    return FALSE;
  }
  return TRUE;
}

class ProgressBar1OnWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    app::iProgCeiling = 0;
    app::iTaskbarProg = 0;
    form = std::make_unique<app::Form1>([](os::MainWindowEvents& events) { return os::CreateMainWindow(events); });
    EnumThreadWindows(GetCurrentThreadId(), &FindMain, reinterpret_cast<LPARAM>(&main));
    ASSERT_TRUE(main) << "no main window: is there a display?";
  }
  void TearDown() override {
    if (form) form->window().SetTimerEnabled(os::TimerId::kTimerProg, false);
    form.reset();
    app::iProgCeiling = 0;
  }

  // The bar window as another program finds it: child 1 of the container.
  HWND Bar() const { return GetDlgItem(GetDlgItem(main, os::win32::kIdProgressBar1), 1); }
  std::wstring BarClass() const {
    wchar_t cls[64] = {};
    GetClassNameW(Bar(), cls, 64);
    return cls;
  }
  unsigned long Style() const { return static_cast<unsigned long>(GetWindowLongW(Bar(), GWL_STYLE)) & 0xFFFF000Ful; }
  LRESULT Pos() const { return SendMessageW(Bar(), PBM_GETPOS, 0, 0); }
  LRESULT High() const { return SendMessageW(Bar(), PBM_GETRANGE, FALSE, 0); }

  std::unique_ptr<app::Form1> form;
  HWND main = nullptr;
};

TEST_F(ProgressBar1OnWindows, TheBarWindowShowsTheValueAndTheMarqueeTheFormSets) {
  ASSERT_EQ(L"msctls_progress32", BarClass());
  EXPECT_EQ(0x50000000ul, Style());
  EXPECT_EQ(0, Pos());
  EXPECT_EQ(100, High());
  form->window().SetProgressValue(42);
  EXPECT_EQ(42, Pos());
  HWND before = Bar();
  form->window().SetProgressMarquee(true);
  EXPECT_NE(before, Bar()) << "the marquee style needs a new bar window";
  EXPECT_EQ(L"msctls_progress32", BarClass());
  EXPECT_EQ(0x50000008ul, Style());
  // (A marquee bar shows no position: the new bar window keeps the range,
  // and the position comes back with the next plain one.)
  EXPECT_EQ(100, High());
  form->window().SetProgressMarquee(false);
  EXPECT_EQ(0x50000000ul, Style());
  EXPECT_EQ(42, Pos());
  EXPECT_EQ(42, form->window().ProgressValue());
}

TEST_F(ProgressBar1OnWindows, TimerProgMovesTheBarUpToTheCeilingOnWmTimer) {
  form->window().SetProgressValue(10);
  app::iProgCeiling = 14;
  form->window().SetTimerInterval(os::TimerId::kTimerProg, 20);
  form->window().SetTimerEnabled(os::TimerId::kTimerProg, true);
  for (int i = 0; i < 400 && form->window().ProgressValue() < 14; ++i) sys::PauseWithEvents(25);
  EXPECT_EQ(14, Pos());
  // At the ceiling the ticks go on and do nothing.
  sys::PauseWithEvents(200);
  EXPECT_EQ(14, Pos());
  EXPECT_EQ(14, form->window().ProgressValue());
}

}  // namespace
