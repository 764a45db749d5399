#include "sys/pause_with_events.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "os/events.h"

namespace sys {

void PauseWithEvents(int32_t ms) {
  const uint64_t start = os::TickCount();
  const uint64_t length = ms > 0 ? static_cast<uint64_t>(ms) : 0;
  while (true) {
    os::PumpEvents();
    uint64_t elapsed = os::TickCount() - start;
    if (elapsed >= length) return;
    uint32_t left = static_cast<uint32_t>(length - elapsed);
    if (os::WaitForEvents(left) == os::WaitResult::kFailed) {
      // The wait itself broke: sleep a little rather than spin.
      std::this_thread::sleep_for(std::chrono::milliseconds(std::min<uint32_t>(left, 10)));
    }
  }
}

}  // namespace sys
