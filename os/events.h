// The window thread's events: what the system processes while it waits.
//
// Public functions:
//   PumpEvents()      handle every pending window event (timers, input, paint)
//   WaitForEvents()   sleep until an event is pending or the time is up
//   TickCount()       milliseconds on a clock that never goes back
#pragma once

#include <cstdint>

namespace os {

enum class WaitResult {
  kProcessEnded,   // the awaited process has ended
  kEventsPending,  // window events wait to be handled
  kTimedOut,
  kFailed,
};

constexpr uint32_t kInfinite = 0xFFFFFFFFu;

void PumpEvents();
WaitResult WaitForEvents(uint32_t timeoutMs);
uint64_t TickCount();

}  // namespace os
