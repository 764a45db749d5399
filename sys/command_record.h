// The record of the outside programs run: for each start through ShellWait,
// its command line, how long it ran and how it ended (its exit code, or the
// Windows error that kept it from starting). The system still judges a step
// by what it leaves behind; the record is there so that a failure can name
// the exit code of the step that broke the disk, and so that a log can show
// every command later.
//
// Public: struct CommandRun, RecordCommand(), RecordedCommands(),
//         ClearCommandRecord(), CommandRecordText(), ProgramName(),
//         LastFailedRun(), FirstFailedRun().
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sys {

struct CommandRun {
  std::string commandLine;
  uint64_t durationMs = 0;
  bool started = false;
  uint32_t startError = 0;           // when not started
  std::optional<uint32_t> exitCode;  // when started and ended
  // "ok", "exit code 2", "not started (error 2)": one line of text.
  std::string Text() const;
};

// Appends a run. The record keeps the last kMaxRecordedCommands runs.
void RecordCommand(CommandRun run);
constexpr size_t kMaxRecordedCommands = 1000;

// The runs since the last ClearCommandRecord(), oldest first.
const std::vector<CommandRun>& RecordedCommands();
void ClearCommandRecord();

// The whole record as text, one run a line: "<ms> ms<TAB><Text()><TAB><command line>".
std::string CommandRecordText();

// The program's file name of a command line, for a person to read:
// "cmd.exe /c C:\T\PACMD\PartAssist.exe /hd:1" gives "PartAssist.exe",
// "\"C:\Data\Bin\x86.dll\" x ..." gives "x86.dll".
std::string ProgramName(std::string_view commandLine);

// The latest recorded run whose command line `matches` and that failed
// (ended with a non-zero code, or did not start); nothing when there is none.
std::optional<CommandRun> LastFailedRun(const std::function<bool(const std::string&)>& matches);
// The same, the earliest one: where later runs failed for what the first
// failure left, the first one is the step that broke.
std::optional<CommandRun> FirstFailedRun(const std::function<bool(const std::string&)>& matches);

}  // namespace sys
