// The simulated machine's taskbar: what the taskbar list object was asked
// to show on the program's button. Every call is kept in order in this
// process and written to <machine>/taskbar.log, one line per call:
//   state <n>                 SetProgressState (0 none, 1 busy, ...)
//   value <completed> <total> SetProgressValue
// Windows before 7 (version 6.1) have no ITaskbarList3: no object is made.
//
// Public: struct TaskbarCall, TaskbarCalls(), ClearTaskbarCalls(),
//         TaskbarButton(), SetTaskbarObserver(), TaskbarCallText().
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace os::sim {

struct TaskbarCall {
  uintptr_t window = 0;
  bool isState = true;    // SetProgressState, else SetProgressValue
  int state = 0;          // SetProgressState
  uint64_t completed = 0, total = 0;  // SetProgressValue
};

// The calls of this process, in order.
const std::vector<TaskbarCall>& TaskbarCalls();
void ClearTaskbarCalls();

// What the window's button shows now: "none", "busy" (indeterminate), or
// the percentage ("45" for 45 of 100; also "normal", "error", "paused" for
// those states before any value).
std::string TaskbarButton(uintptr_t window);

// Called after every call (the console prints them).
void SetTaskbarObserver(std::function<void(const TaskbarCall&)> observer);

// "state 1" or "value 45 100", as in taskbar.log.
std::string TaskbarCallText(const TaskbarCall& call);

}  // namespace os::sim
