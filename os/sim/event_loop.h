// The window thread's event loop on the host: what os::PumpEvents() and the
// waits of the simulated machine handle. Event sources (the console
// front-end's input, the single-instance socket) and timers register here.
//
// Time runs on the simulated clock: real time multiplied by the machine's
// time scale, so a test of a five-second wait can take a tenth of a second
// and still see its events in the same order.
//
// Public: class EventSource, class EventLoop.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "os/events.h"

namespace os::sim {

class EventSource {
 public:
  virtual ~EventSource() = default;
  // A descriptor to watch for reading, or -1.
  virtual int Fd() const { return -1; }
  // Events that wait without a descriptor (queued input).
  virtual bool Pending() { return false; }
  // Handles what is pending; called when Fd() is readable or Pending().
  virtual void Dispatch() = 0;
};

class EventLoop {
 public:
  static EventLoop& Get();

  void AddSource(EventSource* source);
  void RemoveSource(EventSource* source);

  // A timer fires from Pump() once its interval has passed, then again an
  // interval later; a late timer fires once, as WM_TIMER does. Like WM_TIMER,
  // it also fires inside its own callback when that handles events long
  // enough. Setting a timer that exists restarts it.
  void SetTimer(int id, uint32_t intervalMs, std::function<void()> callback);
  void KillTimer(int id);
  bool HasTimer(int id) const { return timers_.count(id) > 0; }

  void Pump();
  // Waits for the process descriptor (or -1), an event, or the time.
  WaitResult Wait(int processFd, uint32_t timeoutMs);

  // Simulated milliseconds since the loop started.
  uint64_t Now();

 private:
  struct Timer {
    uint32_t interval = 0;
    uint64_t due = 0;
    std::function<void()> callback;
  };
  std::vector<EventSource*> sources_;
  std::map<int, Timer> timers_;
  double scale_ = 0;
  uint64_t realBase_ = 0;  // real microseconds at the last rebase
  double simBase_ = 0;     // simulated milliseconds at the last rebase

  bool TimerDue();
  int64_t RealMsUntilNextTimer();
};

}  // namespace os::sim
