// Starting outside programs: start and wait, and start only. Every start
// is logged (sys/log_records.h): the command line when it starts, or why it
// could not; its exit code and duration when a wait here sees it end.
//
// Public functions: ShellWait(), ShellNoWait(), ShellStart(), WaitWithEvents().
#pragma once

#include <cstdint>
#include <string_view>

#include "os/process.h"

namespace sys {

// Starts the command line as given (the first token names the program, found
// by the system's usual search; a batch file runs through the command
// interpreter) with the show-window value `windowStyle`, and waits until the
// process has ended, handling window events meanwhile, so timers keep firing
// and the window repaints. For a process that WOW64 redirects (whatever
// version the system reports) file-system redirection is off for the start
// alone, so that a program named in System32 is the native one.
//
// True when the program was started; false when it could not be, and then
// *error (when given) holds the Windows error number. The program's exit
// code is not reported: callers judge by what it leaves behind; every run
// goes into the command record (sys/command_record.h) with its exit code.
// The wait has no time limit: a format, an unpack or a partition tool's
// copy lasts as long as the disk and the package need, and an emulator as
// long as the user tests; a program that hangs is ended by the user.
bool ShellWait(std::string_view commandLine, uint16_t windowStyle = 0, uint32_t* error = nullptr);

// The same start, returning as soon as the program runs.
bool ShellNoWait(std::string_view commandLine, uint16_t windowStyle = 0, uint32_t* error = nullptr);

// The same start, handing the running process to the caller, who may wait
// for it later or end it. Not valid when the program could not be started.
os::Process ShellStart(std::string_view commandLine, uint16_t windowStyle = 0, uint32_t* error = nullptr);

// Waits until a started process has ended, handling window events
// meanwhile, for at most `timeoutMs` (os::kInfinite: no limit). True when it
// has ended (or was never started); false when the time ran out first.
bool WaitWithEvents(const os::Process& process, uint32_t timeoutMs);

}  // namespace sys
