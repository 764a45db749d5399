// The log's records of the things a support desk asks about first: the
// outside commands, the checks, the step marker and how an operation ended.
// Each is one call and writes one line through Log() (sys/run_log.h).
//
//   command started: <command line>
//   command ended: exit code <n>, <ms> ms, started <time>: <command line>
//   command could not start (error <n>): <command line>
//   check <name>: passed - <finding>      check <name>: FAILED - <finding>
//   step: BreakPoint = <value>
//   outcome of the <operation>: <the message shown>
//
// A password in a command line (the archiver's "-p" switch) is written as
// "-p***".
//
// A check logs its result with LogCheck(name, passed, finding): the name
// says which check ("target", "layout", "identity", "verification"), the
// finding what it read and why it decided so, in a few plain words, for
// example LogCheck("identity", false, "serial now 1234, recorded 5678").
//
// Public: struct CommandLogEntry, LogCommandStarted(), LogCommandEnded(),
//         LogCommandFailed(), LogCheck(), LogStep(), LastLoggedStep(),
//         LogOutcome(), ExitCodeText().
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "os/system.h"

namespace sys {

// A started command, until its end is logged.
struct CommandLogEntry {
  std::string commandLine;  // as logged
  os::LocalTimeValue started;
  uint64_t startTick = 0;
};

// `background`: the program runs on while the system goes on (its end is
// logged when someone waits for it).
CommandLogEntry LogCommandStarted(std::string_view commandLine, bool background = false);
// The exit code, nothing when it could not be read.
void LogCommandEnded(const CommandLogEntry& entry, std::optional<uint32_t> exitCode);
void LogCommandFailed(std::string_view commandLine, uint32_t error);

// "0"; codes above 0xFFFF also in hex, as Windows writes its status codes.
std::string ExitCodeText(std::optional<uint32_t> exitCode);

void LogCheck(std::string_view name, bool passed, std::string_view finding);

// A value written to the step marker; the last one is kept for the outcome.
void LogStep(std::string_view value);
// The last value LogStep saw; "" before the first one.
std::string LastLoggedStep();

void LogOutcome(std::string_view operation, std::string_view messageShown);

}  // namespace sys
