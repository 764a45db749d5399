// Waiting a while with the window alive.
//
// Public function: PauseWithEvents().
#pragma once

#include <cstdint>

namespace sys {

// Handles window events until `ms` milliseconds have passed on the system's
// monotonic clock, sleeping in between until the next event or the end of the
// pause. A pause of 0 or less handles what is pending and returns.
void PauseWithEvents(int32_t ms);

}  // namespace sys
