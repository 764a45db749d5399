#include "os/events.h"

#include "os/sim/event_loop.h"

namespace os {

void PumpEvents() { sim::EventLoop::Get().Pump(); }

WaitResult WaitForEvents(uint32_t timeoutMs) { return sim::EventLoop::Get().Wait(-1, timeoutMs); }

uint64_t TickCount() { return sim::EventLoop::Get().Now(); }

}  // namespace os
