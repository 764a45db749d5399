// The taskbar list object on Windows (under Wine in the tests): made for a
// window, silent until the taskbar announces the window's button, then
// passing the calls on; released with or after its window.
#include <windows.h>

#include <gtest/gtest.h>

#include "os/taskbar_list.h"

namespace {

class TaskbarOnWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    window = CreateWindowExW(0, L"STATIC", L"Taskbar test", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
  }
  void TearDown() override {
    if (IsWindow(window)) DestroyWindow(window);
  }
  void AnnounceButton() { SendMessageW(window, RegisterWindowMessageW(L"TaskbarButtonCreated"), 0, 0); }

  HWND window = nullptr;
};

TEST_F(TaskbarOnWindows, CallsWaitForTheTaskbarButton) {
  auto list = os::CreateTaskbarList(reinterpret_cast<uintptr_t>(window));
  ASSERT_NE(nullptr, list) << "the system's taskbar list object could not be made";
  EXPECT_EQ(os::kTaskbarNotReady, list->SetProgressState(os::kTbpfIndeterminate));
  EXPECT_EQ(os::kTaskbarNotReady, list->SetProgressValue(40, 100));
  AnnounceButton();
  EXPECT_NE(os::kTaskbarNotReady, list->SetProgressState(os::kTbpfIndeterminate));
  EXPECT_NE(os::kTaskbarNotReady, list->SetProgressValue(40, 100));
  EXPECT_NE(os::kTaskbarNotReady, list->SetProgressState(os::kTbpfNoProgress));
}

TEST_F(TaskbarOnWindows, TheObjectOutlivesItsWindowSafely) {
  auto list = os::CreateTaskbarList(reinterpret_cast<uintptr_t>(window));
  ASSERT_NE(nullptr, list);
  AnnounceButton();
  DestroyWindow(window);
  // The window is gone: no more calls reach the taskbar.
  EXPECT_EQ(os::kTaskbarNotReady, list->SetProgressState(os::kTbpfIndeterminate));
  list.reset();
}

TEST_F(TaskbarOnWindows, TwoObjectsInTurnAndNoneForAMissingWindow) {
  for (int i = 0; i < 2; ++i) {
    auto list = os::CreateTaskbarList(reinterpret_cast<uintptr_t>(window));
    ASSERT_NE(nullptr, list);
    AnnounceButton();
    EXPECT_NE(os::kTaskbarNotReady, list->SetProgressValue(100, 100));
  }
  EXPECT_EQ(nullptr, os::CreateTaskbarList(0));
}

}  // namespace
