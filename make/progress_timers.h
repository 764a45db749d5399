// The main window's two progress timers, as the make procedure drives them
// through iProgCeiling, ProgressBar1's Value and the timers' interval and
// enabled state:
//   TimerProg moves the bar towards the ceiling of the make's current phase:
//     one step per tick, or, in the PE image phase (ceiling 90) and the data
//     package phase (ceiling 100), an estimate from the space written to the
//     target volume since the phase began.
//   Timer1 prepares the partition-tool plug-in once right after start-up
//     (interval 10 ms), and later creeps the bar by one every 3000 ms up to 99.
// Each change of the bar is mirrored on the taskbar button.
//
// Ticks arrive while the window's thread handles events, also inside a wait
// of a tick itself; a tick that arrives while the same timer's tick runs
// does nothing.
//
// Public: class ProgressTimers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace app {
class Form1;
}

namespace make {

class ProgressTimers {
 public:
  explicit ProgressTimers(app::Form1& form) : form_(form) {}

  void TimerProgTick();
  void Timer1Tick();

 private:
  // The estimate phase under way: its ceiling, the volume measured and the
  // used space in MB the volume held when the phase began.
  struct Phase {
    int16_t ceiling = 0;
    std::string volume;
    int32_t usedMB = 0;
  };
  int32_t Estimate(int32_t value, int16_t ceiling);

  app::Form1& form_;
  bool inTimerProg_ = false;
  bool inTimer1_ = false;
  std::optional<Phase> phase_;
  int32_t lastValue_ = 0;  // the bar's value after the last TimerProg tick
};

}  // namespace make
