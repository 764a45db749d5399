// Starting outside programs: start and wait, and start only.
//
// Public functions: ShellWait(), ShellNoWait().
#pragma once

#include <cstdint>
#include <string_view>

namespace sys {

// Starts the command line as given (the first token names the program, found
// by the system's usual search; a batch file runs through the command
// interpreter) with the show-window value `windowStyle`, and waits until the
// process has ended, handling window events meanwhile, so timers keep firing
// and the window repaints. On systems from Vista on, WOW64 file-system
// redirection is off for the start alone, so that a program named in
// System32 is the native one.
//
// True when the program was started; false when it could not be, and then
// *error (when given) holds the Windows error number. The program's exit
// code is not reported: callers judge by what it leaves behind.
bool ShellWait(std::string_view commandLine, uint16_t windowStyle = 0, uint32_t* error = nullptr);

// The same start, returning as soon as the program runs.
bool ShellNoWait(std::string_view commandLine, uint16_t windowStyle = 0, uint32_t* error = nullptr);

}  // namespace sys
