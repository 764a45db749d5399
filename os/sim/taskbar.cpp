#include "os/sim/taskbar.h"

#include <fstream>
#include <map>

#include "os/sim/sim.h"
#include "os/taskbar_list.h"

namespace os {
namespace sim {
namespace {

struct Button {
  int state = kTbpfNoProgress;
  bool hasValue = false;
  uint64_t completed = 0, total = 0;
};

struct Taskbar {
  std::vector<TaskbarCall> calls;
  std::map<uintptr_t, Button> buttons;
  std::function<void(const TaskbarCall&)> observer;
};

Taskbar& Bar() {
  static Taskbar taskbar;
  return taskbar;
}

void Take(const TaskbarCall& call) {
  Taskbar& t = Bar();
  t.calls.push_back(call);
  Button& b = t.buttons[call.window];
  if (call.isState) {
    b.state = call.state;
    // No progress and busy both hide the value; it shows again with the next one.
    if (call.state == kTbpfNoProgress || call.state == kTbpfIndeterminate) b.hasValue = false;
  } else {
    b.hasValue = true;
    b.completed = call.completed;
    b.total = call.total;
    // A value shows the normal state unless the button shows an error or a pause.
    if (b.state != kTbpfError && b.state != kTbpfPaused) b.state = kTbpfNormal;
  }
  if (!MachineFolder().empty()) {
    std::ofstream log(MachineFolder() + "/taskbar.log", std::ios::app);
    log << TaskbarCallText(call) << "\n";
  }
  if (t.observer) t.observer(call);
}

class SimTaskbarList : public TaskbarList {
 public:
  explicit SimTaskbarList(uintptr_t window) : window_(window) {}
  int32_t SetProgressState(int state) override {
    TaskbarCall c;
    c.window = window_;
    c.isState = true;
    c.state = state;
    Take(c);
    return 0;
  }
  int32_t SetProgressValue(uint64_t completed, uint64_t total) override {
    TaskbarCall c;
    c.window = window_;
    c.isState = false;
    c.completed = completed;
    c.total = total;
    Take(c);
    return 0;
  }

 private:
  uintptr_t window_;
};

}  // namespace

const std::vector<TaskbarCall>& TaskbarCalls() { return Bar().calls; }

void ClearTaskbarCalls() {
  Bar().calls.clear();
  Bar().buttons.clear();
}

std::string TaskbarButton(uintptr_t window) {
  auto it = Bar().buttons.find(window);
  if (it == Bar().buttons.end()) return "none";
  const Button& b = it->second;
  if (b.state == kTbpfNoProgress) return "none";
  if (b.state == kTbpfIndeterminate) return "busy";
  if (b.hasValue && b.total > 0) return std::to_string(b.completed * 100 / b.total);
  switch (b.state) {
    case kTbpfError: return "error";
    case kTbpfPaused: return "paused";
    default: return "normal";
  }
}

void SetTaskbarObserver(std::function<void(const TaskbarCall&)> observer) { Bar().observer = std::move(observer); }

std::string TaskbarCallText(const TaskbarCall& call) {
  if (call.isState) return "state " + std::to_string(call.state);
  return "value " + std::to_string(call.completed) + " " + std::to_string(call.total);
}

}  // namespace sim

std::unique_ptr<TaskbarList> CreateTaskbarList(uintptr_t window) {
  // ITaskbarList3 came with Windows 7.
  auto m = sim::Current();
  if (m->windowsMajor < 6 || (m->windowsMajor == 6 && m->windowsMinor < 1)) return nullptr;
  return std::make_unique<sim::SimTaskbarList>(window);
}

}  // namespace os
