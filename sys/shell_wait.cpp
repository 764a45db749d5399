#include "sys/shell_wait.h"

#include <map>

#include "os/events.h"
#include "os/process.h"
#include "sys/command_record.h"
#include "sys/log_records.h"

namespace sys {
namespace {

// The programs started to run on, by process id, until a wait sees their end.
std::map<uint32_t, CommandLogEntry>& RunningOn() {
  static std::map<uint32_t, CommandLogEntry> running;
  return running;
}

os::Process Start(std::string_view commandLine, uint16_t windowStyle, uint32_t* error) {
  uint32_t failure = 0;
  os::Process process;
  {
    // Redirection is off only while the program file is chosen; the guard
    // puts the saved state back before anything else runs on this thread.
    os::Wow64RedirectionOff off(true);
    process = os::StartProcess(commandLine, windowStyle, &failure);
  }
  if (error) *error = failure;
  if (!process.IsValid()) LogCommandFailed(commandLine, failure);
  return process;
}

os::Process StartRunningOn(std::string_view commandLine, uint16_t windowStyle, uint32_t* error) {
  os::Process process = Start(commandLine, windowStyle, error);
  if (process.IsValid()) RunningOn()[process.Id()] = LogCommandStarted(commandLine, true);
  return process;
}

bool WaitForEnd(const os::Process& process, uint32_t timeoutMs) {
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

}  // namespace

// Every run is recorded (command line, duration, exit code) for the made
// disk's check, and logged.
bool ShellWait(std::string_view commandLine, uint16_t windowStyle, uint32_t* error) {
  CommandRun run;
  run.commandLine = std::string(commandLine);
  uint64_t begin = os::TickCount();
  uint32_t startError = 0;
  os::Process process = Start(commandLine, windowStyle, &startError);
  if (error) *error = startError;
  if (!process.IsValid()) {
    run.startError = startError;
    RecordCommand(std::move(run));
    return false;
  }
  CommandLogEntry entry = LogCommandStarted(commandLine);
  // The process handle's signal ends the wait, never the exit code: a program
  // that really exits with 259 (STILL_ACTIVE) must not look alive forever.
  // There is no time limit: a format or an unpack takes as long as the disk
  // and the package need, and a stuck program is ended by the user.
  while (os::WaitProcessOrEvents(process, os::kInfinite) == os::WaitResult::kEventsPending) os::PumpEvents();
  run.started = true;
  run.durationMs = os::TickCount() - begin;
  run.exitCode = os::ExitCode(process);
  LogCommandEnded(entry, run.exitCode);
  RecordCommand(std::move(run));
  return true;
}

bool ShellNoWait(std::string_view commandLine, uint16_t windowStyle, uint32_t* error) {
  return StartRunningOn(commandLine, windowStyle, error).IsValid();
}

os::Process ShellStart(std::string_view commandLine, uint16_t windowStyle, uint32_t* error) {
  return StartRunningOn(commandLine, windowStyle, error);
}

bool WaitWithEvents(const os::Process& process, uint32_t timeoutMs) {
  if (!process.IsValid()) return true;
  bool ended = WaitForEnd(process, timeoutMs);
  if (ended) {
    auto found = RunningOn().find(process.Id());
    if (found != RunningOn().end()) {
      LogCommandEnded(found->second, os::ExitCode(process));
      RunningOn().erase(found);
    }
  }
  return ended;
}

}  // namespace sys
