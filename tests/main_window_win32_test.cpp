// The Windows build's main window itself (it needs a display: the Windows
// tests run under a private X server): the font it starts with, and a
// change of font, which its controls take before the old font is deleted.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "os/main_window.h"
#include "os/win32/control_ids.h"

namespace {

class NoEvents : public os::MainWindowEvents {
 public:
  void OnClick(os::Control) override {}
  void OnDropDown(os::Control) override {}
  void OnKeyDown(int, os::KeyModifiers) override {}
  void OnTimer(os::TimerId) override {}
  void OnResize(os::WindowState) override {}
  void OnSysCommand(int) override {}
  void OnInstanceCommand(const std::string&) override {}
  bool OnCloseRequest() override { return true; }
  void OnUnload() override {}
};

BOOL CALLBACK FindMain(HWND h, LPARAM out) {
  wchar_t cls[64];
  if (GetClassNameW(h, cls, 64) && std::wstring(cls) == os::win32::kMainWindowClass) {
    *reinterpret_cast<HWND*>(out) = h;
    return FALSE;
  }
  return TRUE;
}

HWND MainOfThisThread() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindMain, reinterpret_cast<LPARAM>(&found));
  return found;
}

// A control that, whenever it is given a new font, notes whether the font
// it had until then still exists.
WNDPROC g_buttonProc = nullptr;
int g_fontChanges = 0, g_deletedBeforeTheChange = 0;
LRESULT CALLBACK WatchFont(HWND h, UINT message, WPARAM wp, LPARAM lp) {
  if (message == WM_SETFONT) {
    HGDIOBJ current = reinterpret_cast<HGDIOBJ>(CallWindowProcW(g_buttonProc, h, WM_GETFONT, 0, 0));
    ++g_fontChanges;
    if (current && GetObjectType(current) != OBJ_FONT) ++g_deletedBeforeTheChange;
  }
  return CallWindowProcW(g_buttonProc, h, message, wp, lp);
}

TEST(MainWindowWin32, NamesTheFaceOfItsDesignFont) {
  NoEvents events;
  std::unique_ptr<os::MainWindow> window = os::CreateMainWindow(events);
  ASSERT_TRUE(MainOfThisThread()) << "no main window: is there a display?";
  // Start-up gives the window that face again, in character set 1 and 9
  // points, when the system's caption font cannot be read.
  EXPECT_NE("", window->FontName());
}

TEST(MainWindowWin32, ControlsTakeANewFontBeforeTheOldOneIsDeleted) {
  NoEvents events;
  std::unique_ptr<os::MainWindow> window = os::CreateMainWindow(events);
  HWND main = MainOfThisThread();
  ASSERT_TRUE(main) << "no main window: is there a display?";
  HWND button = GetDlgItem(main, os::win32::kIdCommand1);
  window->SetFontName("Arial");
  g_fontChanges = g_deletedBeforeTheChange = 0;
  g_buttonProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchFont)));
  window->SetFontName("Tahoma");
  window->SetFontName("Arial");
  SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_buttonProc));
  EXPECT_EQ(2, g_fontChanges);
  EXPECT_EQ(0, g_deletedBeforeTheChange);
  HGDIOBJ now = reinterpret_cast<HGDIOBJ>(SendMessageW(button, WM_GETFONT, 0, 0));
  EXPECT_EQ(OBJ_FONT, static_cast<int>(GetObjectType(now)));
}

}  // namespace
