// Progress on the program's taskbar button: the system's taskbar list
// object (ITaskbarList3 on Windows 7 and later), bound to one window.
//
// Public: enum of the progress states, class TaskbarList,
//         CreateTaskbarList().
#pragma once

#include <cstdint>
#include <memory>

namespace os {

// TBPF values.
enum : int { kTbpfNoProgress = 0, kTbpfIndeterminate = 1, kTbpfNormal = 2, kTbpfError = 4, kTbpfPaused = 8 };

// The answer of a call made before the taskbar button exists (E_PENDING):
// the call was not made.
constexpr int32_t kTaskbarNotReady = static_cast<int32_t>(0x8000000Au);

class TaskbarList {
 public:
  virtual ~TaskbarList() = default;
  // SetProgressState and SetProgressValue for the window; the method's
  // HRESULT. On Windows the calls wait for the taskbar to announce the
  // window's button (the registered message "TaskbarButtonCreated"):
  // until then they return kTaskbarNotReady.
  virtual int32_t SetProgressState(int state) = 0;
  virtual int32_t SetProgressValue(uint64_t completed, uint64_t total) = 0;
};

// The taskbar list object for the window (a native window handle), made
// and initialised (HrInit) on the window's thread, which it initialises for
// COM; releasing it releases the object and COM. Nothing when the system
// has no such object.
std::unique_ptr<TaskbarList> CreateTaskbarList(uintptr_t window);

}  // namespace os
