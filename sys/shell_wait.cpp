#include "sys/shell_wait.h"

#include "os/events.h"
#include "os/process.h"

namespace sys {
namespace {

os::Process Start(std::string_view commandLine, uint16_t windowStyle, uint32_t* error) {
  // Redirection is off only while the program file is chosen; the guard puts
  // the saved state back before anything else runs on this thread.
  os::Wow64RedirectionOff off(true);
  return os::StartProcess(commandLine, windowStyle, error);
}

}  // namespace

bool ShellWait(std::string_view commandLine, uint16_t windowStyle, uint32_t* error) {
  os::Process process = Start(commandLine, windowStyle, error);
  if (!process.IsValid()) return false;
  // The process handle's signal ends the wait, never the exit code: a program
  // that really exits with 259 (STILL_ACTIVE) must not look alive forever.
  while (os::WaitProcessOrEvents(process, os::kInfinite) == os::WaitResult::kEventsPending) os::PumpEvents();
  return true;
}

bool ShellNoWait(std::string_view commandLine, uint16_t windowStyle, uint32_t* error) {
  return Start(commandLine, windowStyle, error).IsValid();
}

os::Process ShellStart(std::string_view commandLine, uint16_t windowStyle, uint32_t* error) {
  return Start(commandLine, windowStyle, error);
}

bool WaitWithEvents(const os::Process& process, uint32_t timeoutMs) {
  if (!process.IsValid()) return true;
  uint64_t end = os::TickCount() + timeoutMs;
  while (true) {
    uint32_t left = os::kInfinite;
    if (timeoutMs != os::kInfinite) {
      uint64_t now = os::TickCount();
      if (now >= end) return os::WaitProcessOrEvents(process, 0) == os::WaitResult::kProcessEnded;
      left = static_cast<uint32_t>(end - now);
    }
    switch (os::WaitProcessOrEvents(process, left)) {
      case os::WaitResult::kProcessEnded:
        return true;
      case os::WaitResult::kEventsPending:
        os::PumpEvents();
        break;
      case os::WaitResult::kTimedOut:
        if (timeoutMs != os::kInfinite) return false;
        break;
      case os::WaitResult::kFailed:
        return true;  // nothing left to wait for
    }
  }
}

}  // namespace sys
