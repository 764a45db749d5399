// The one guard against running an operation inside another.
//
// The window keeps handling events while an operation waits for an outside
// program: every wait pumps the message queue, so timers tick and the window
// repaints. That same pumping lets a key (F2, F5, Ctrl+I), a system-menu
// command or a click arrive in the middle of a make, a restore, a local
// install or a boot test. Locking the controls (ButtonEnable) is not enough:
// keys and menu commands bypass them, and only the make sets the start
// button captions that block the keys. So every entry point of an operation
// runs through this guard: while one operation runs, starting another is
// refused and nothing happens.
//
// Public: class OperationGuard.
#pragma once

namespace app {

class OperationGuard {
 public:
  bool Busy() const { return busy_; }

  // Runs `operation` unless one is running already; true when it ran.
  template <typename F>
  bool Run(F&& operation) {
    if (busy_) return false;
    busy_ = true;
    struct Release {
      bool& flag;
      ~Release() { flag = false; }
    } release{busy_};
    operation();
    return true;
  }

 private:
  bool busy_ = false;
};

}  // namespace app
