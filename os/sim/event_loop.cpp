#include "os/sim/event_loop.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "os/sim/sim.h"

namespace os::sim {
namespace {

uint64_t RealMicros() {
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count());
}

}  // namespace

EventLoop& EventLoop::Get() {
  static EventLoop loop;
  return loop;
}

void EventLoop::AddSource(EventSource* source) { sources_.push_back(source); }

void EventLoop::RemoveSource(EventSource* source) {
  sources_.erase(std::remove(sources_.begin(), sources_.end(), source), sources_.end());
}

uint64_t EventLoop::Now() {
  double scale = MachineFolder().empty() ? 1.0 : Current()->timeScale;
  if (!(scale > 0) || !std::isfinite(scale)) scale = 1.0;
  uint64_t real = RealMicros();
  if (scale_ == 0) {
    scale_ = scale;
    realBase_ = real;
  } else if (scale != scale_) {
    // Keep the clock continuous when the machine's time scale changes.
    simBase_ += static_cast<double>(real - realBase_) / 1000.0 * scale_;
    realBase_ = real;
    scale_ = scale;
  }
  return static_cast<uint64_t>(simBase_ + static_cast<double>(real - realBase_) / 1000.0 * scale_);
}

void EventLoop::SetTimer(int id, uint32_t intervalMs, std::function<void()> callback) {
  Timer& t = timers_[id];
  t.interval = intervalMs;
  t.due = Now() + intervalMs;
  t.callback = std::move(callback);
}

void EventLoop::KillTimer(int id) { timers_.erase(id); }

bool EventLoop::TimerDue() {
  uint64_t now = Now();
  for (const auto& [id, t] : timers_)
    if (now >= t.due) return true;
  return false;
}

int64_t EventLoop::RealMsUntilNextTimer() {
  uint64_t now = Now();
  int64_t best = -1;
  for (const auto& [id, t] : timers_) {
    int64_t sim = t.due > now ? static_cast<int64_t>(t.due - now) : 0;
    int64_t real = static_cast<int64_t>(std::ceil(static_cast<double>(sim) / scale_));
    if (best < 0 || real < best) best = real;
  }
  return best;
}

void EventLoop::Pump() {
  // Input first, as the window's queue delivers it.
  std::vector<EventSource*> sources = sources_;
  std::vector<pollfd> fds;
  for (EventSource* s : sources)
    if (s->Fd() >= 0) fds.push_back({s->Fd(), POLLIN, 0});
  if (!fds.empty()) poll(fds.data(), fds.size(), 0);
  size_t k = 0;
  for (EventSource* s : sources) {
    // A dispatch may remove sources; skip those that are gone.
    if (std::find(sources_.begin(), sources_.end(), s) == sources_.end()) continue;
    bool readable = false;
    if (s->Fd() >= 0) readable = k < fds.size() && (fds[k++].revents & (POLLIN | POLLHUP)) != 0;
    if (readable || s->Pending()) s->Dispatch();
  }
  // Then the timers that are due, each once. As with WM_TIMER, a timer
  // whose callback is still running (waiting, and handling events as it
  // waits) fires again inside it once its interval has passed.
  std::vector<int> ids;
  for (const auto& [id, t] : timers_) ids.push_back(id);
  for (int id : ids) {
    auto it = timers_.find(id);
    if (it == timers_.end()) continue;
    uint64_t now = Now();
    if (now < it->second.due) continue;
    it->second.due = now + std::max<uint32_t>(it->second.interval, 1);
    auto callback = it->second.callback;  // the timer may be killed or reset inside
    callback();
  }
}

WaitResult EventLoop::Wait(int processFd, uint32_t timeoutMs) {
  Now();  // make sure the clock runs
  uint64_t start = Now();
  while (true) {
    for (EventSource* s : sources_)
      if (s->Pending()) return WaitResult::kEventsPending;
    if (TimerDue()) return WaitResult::kEventsPending;

    std::vector<pollfd> fds;
    if (processFd >= 0) fds.push_back({processFd, POLLIN, 0});
    for (EventSource* s : sources_)
      if (s->Fd() >= 0) fds.push_back({s->Fd(), POLLIN, 0});

    int64_t wait = -1;  // real milliseconds
    if (timeoutMs != kInfinite) {
      uint64_t elapsed = Now() - start;
      if (elapsed >= timeoutMs) return WaitResult::kTimedOut;
      wait = static_cast<int64_t>(std::ceil(static_cast<double>(timeoutMs - elapsed) / scale_));
    }
    int64_t timer = RealMsUntilNextTimer();
    if (timer >= 0 && (wait < 0 || timer < wait)) wait = timer;
    int r = poll(fds.data(), fds.size(), static_cast<int>(std::min<int64_t>(wait, 1 << 30)));
    if (r < 0) continue;  // interrupted
    if (r > 0) {
      if (processFd >= 0 && (fds[0].revents & (POLLIN | POLLHUP))) return WaitResult::kProcessEnded;
      return WaitResult::kEventsPending;
    }
    // Timed out: a timer became due, or the wait itself is over (checked above).
  }
}

}  // namespace os::sim
