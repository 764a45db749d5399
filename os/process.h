// Processes: starting a command line, waiting for it while window events are
// handled, its exit code, the process list, opening a process by id, and the
// WOW64 file-system redirection around a start.
//
// Public: class Process, StartProcess(), WaitProcessOrEvents(), ExitCode(),
//         TerminateProcess(), ListProcesses(), CanOpenProcess(),
//         IsWow64(), class Wow64RedirectionOff.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os/events.h"

namespace os {

enum : uint32_t {
  kProcessQueryInformation = 0x0400,
  kProcessQueryLimitedInformation = 0x1000,
  kProcessAllAccess = 0x1F0FFF,
  kStillActive = 259,
};

// A started process. Owns its handle and releases it when destroyed; the
// process itself goes on running.
class Process {
 public:
  Process();
  ~Process();
  Process(Process&&) noexcept;
  Process& operator=(Process&&) noexcept;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool IsValid() const;
  uint32_t Id() const;

  struct Impl;
  explicit Process(std::unique_ptr<Impl> impl);
  Impl* impl() const { return impl_.get(); }

 private:
  std::unique_ptr<Impl> impl_;
};

// Starts a command line as CreateProcess does without an application name:
// the first token names the program, found by the system's search rules; a
// batch file runs through the command interpreter. showWindow is a SW_ value;
// a hidden program (0) gets no console window. Every started program
// belongs to one job of this process and ends when this process ends.
// On failure the process is not valid and *error holds the Windows error.
Process StartProcess(std::string_view commandLine, uint16_t showWindow, uint32_t* error = nullptr);

// Waits until the process ends, window events are pending, or the time is up.
// The process handle's signal decides, never the exit code.
WaitResult WaitProcessOrEvents(const Process& process, uint32_t timeoutMs);

// The exit code once the process has ended; kStillActive while it runs.
std::optional<uint32_t> ExitCode(const Process& process);

// Ends the process at once (TerminateProcess); its exit code becomes
// `exitCode`. Like the Windows call it does not wait: the process has ended
// once a wait for it says so. False when the process had ended already or
// cannot be ended.
bool TerminateProcess(const Process& process, uint32_t exitCode);

struct ProcessEntry {
  uint32_t id = 0;
  std::string exeName;
};
// The running processes, as a process snapshot enumerates them.
std::vector<ProcessEntry> ListProcesses();

// Whether OpenProcess with this access succeeds for the id (the handle is closed at once).
bool CanOpenProcess(uint32_t id, uint32_t access);

// Whether this process is a 32-bit one on a 64-bit Windows, whose view of
// the system folder is redirected (IsWow64Process), whatever version the
// system reports.
bool IsWow64();

// Switches WOW64 file-system redirection off for this thread while it lives,
// when `wanted` is true and IsWow64() says the process is redirected; puts
// the saved state back when destroyed.
class Wow64RedirectionOff {
 public:
  explicit Wow64RedirectionOff(bool wanted);
  ~Wow64RedirectionOff();
  Wow64RedirectionOff(const Wow64RedirectionOff&) = delete;
  Wow64RedirectionOff& operator=(const Wow64RedirectionOff&) = delete;
  bool IsOff() const { return off_; }

 private:
  void* saved_ = nullptr;
  bool off_ = false;
};

}  // namespace os
