#include "sys/command_record.h"

#include <algorithm>

#include "sys/text.h"

namespace sys {
namespace {

std::vector<CommandRun>& Record() {
  static std::vector<CommandRun> record;
  return record;
}

// The first word of a command line, its quotes taken off.
std::string FirstWord(std::string_view line, size_t* end) {
  size_t i = line.find_first_not_of(" \t");
  if (i == std::string_view::npos) return *end = line.size(), "";
  if (line[i] == '"') {
    size_t close = line.find('"', i + 1);
    *end = close == std::string_view::npos ? line.size() : close + 1;
    return std::string(line.substr(i + 1, *end - i - 1 - (close == std::string_view::npos ? 0 : 1)));
  }
  size_t blank = line.find_first_of(" \t", i);
  *end = blank == std::string_view::npos ? line.size() : blank;
  return std::string(line.substr(i, *end - i));
}

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string CommandRun::Text() const {
  if (!started) return "not started (error " + std::to_string(startError) + ")";
  if (!exitCode) return "ended without an exit code";
  if (*exitCode == 0) return "ok";
  return "exit code " + std::to_string(*exitCode);
}

void RecordCommand(CommandRun run) {
  std::vector<CommandRun>& record = Record();
  if (record.size() >= kMaxRecordedCommands) record.erase(record.begin());
  record.push_back(std::move(run));
}

const std::vector<CommandRun>& RecordedCommands() { return Record(); }

void ClearCommandRecord() { Record().clear(); }

std::string CommandRecordText() {
  std::string text;
  for (const CommandRun& run : Record())
    text += std::to_string(run.durationMs) + " ms\t" + run.Text() + "\t" + run.commandLine + "\n";
  return text;
}

std::string ProgramName(std::string_view commandLine) {
  size_t end = 0;
  std::string first = FirstWord(commandLine, &end);
  // Through the command interpreter, the program is the one after /c.
  if (LowerAscii(BaseName(first)) == "cmd.exe") {
    std::string_view rest = commandLine.substr(end);
    size_t at = 0;
    std::string sw = LowerAscii(FirstWord(rest, &at));
    bool outerQuotes = false;  // "/s": the line after /c is in quotes of its own
    while (sw == "/s" || sw == "/d" || sw == "/q") {
      outerQuotes |= sw == "/s";
      rest = rest.substr(at);
      sw = LowerAscii(FirstWord(rest, &at));
    }
    if (sw == "/c") {
      std::string_view line = rest.substr(at);
      line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
      // The command interpreter's outer quotes around the whole line.
      if (line.size() > 1 && line[0] == '"' && (outerQuotes || line[1] == '"')) line.remove_prefix(1);
      size_t unused = 0;
      std::string program = FirstWord(line, &unused);
      if (!program.empty()) return BaseName(program);
    }
  }
  return BaseName(first);
}

std::optional<CommandRun> LastFailedRun(const std::function<bool(const std::string&)>& matches) {
  const std::vector<CommandRun>& record = Record();
  for (auto it = record.rbegin(); it != record.rend(); ++it) {
    if (!matches(it->commandLine)) continue;
    if (!it->started || (it->exitCode && *it->exitCode != 0)) return *it;
  }
  return std::nullopt;
}

std::optional<CommandRun> FirstFailedRun(const std::function<bool(const std::string&)>& matches) {
  for (const CommandRun& run : Record()) {
    if (!matches(run.commandLine)) continue;
    if (!run.started || (run.exitCode && *run.exitCode != 0)) return run;
  }
  return std::nullopt;
}

}  // namespace sys
