// cmd.exe: runs the command after "/c", and batch files line by line.
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "os/ansi.h"
#include "os/process.h"
#include "os/sim/paths.h"
#include "os/sim/programs.h"
#include "os/sim/sim.h"
#include "os/sim/host_files.h"
#include "sys/text.h"
#include "tools/tvtool/commands.h"

namespace tvtool {
namespace {

// The text after the program name of a command line.
std::string AfterProgram(const std::string& line) {
  size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  if (i < line.size() && line[i] == '"') {
    size_t close = line.find('"', i + 1);
    return close == std::string::npos ? "" : line.substr(close + 1);
  }
  size_t blank = line.find_first_of(" \t", i);
  return blank == std::string::npos ? "" : line.substr(blank);
}

// cmd's quote rule for the text after /c: a quoted text keeps its quotes only
// when it is exactly one quoted program name; otherwise the first and the
// last quote go. With /s they always go.
std::string StripQuotes(std::string rest, bool always) {
  size_t b = rest.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  rest = rest.substr(b);
  if (rest.empty() || rest[0] != '"') return rest;
  if (always) {
    size_t last = rest.rfind('"');
    return rest.substr(1, last - 1) + rest.substr(last + 1);
  }
  size_t quotes = 0;
  for (char c : rest) quotes += c == '"';
  if (quotes == 2 && rest.back() == '"' && rest.find_first_of("&<>()@^|") == std::string::npos) return rest;
  size_t last = rest.rfind('"');
  return rest.substr(1, last - 1) + rest.substr(last + 1);
}

int RunLine(const std::string& line);

int RunBatch(const std::string& hostPath) {
  std::string content;
  if (!os::sim::ReadHostFile(hostPath, content)) return 1;
  std::istringstream in(os::FromAnsi(content));
  std::string raw;
  int code = 0;
  while (std::getline(in, raw)) {
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    std::string line = sys::TrimSpaces(sys::ReplaceAll(raw, "\t", " "));
    if (!line.empty() && line[0] == '@') line = line.substr(1);
    std::string lower = sys::LowerAscii(line);
    if (line.empty() || lower == "rem" || lower.rfind("rem ", 0) == 0 || line.rfind("::", 0) == 0 ||
        lower == "echo off" || lower == "echo on")
      continue;
    if (lower.rfind("echo ", 0) == 0) {
      printf("%s\n", line.substr(5).c_str());
      continue;
    }
    code = RunLine(line);
  }
  return code;
}

// A trailing output redirection "> file" or ">file" (outside quotes) is
// taken off the line; the file's Windows path goes to *target.
std::string TakeRedirection(const std::string& line, std::string* target) {
  bool quoted = false;
  size_t at = std::string::npos;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    else if (line[i] == '>' && !quoted) at = i;
  }
  if (at == std::string::npos) return line;
  std::string file = sys::TrimSpaces(line.substr(at + 1));
  if (file.size() >= 2 && file.front() == '"' && file.back() == '"') file = file.substr(1, file.size() - 2);
  *target = file;
  return sys::TrimSpaces(line.substr(0, at));
}

int RunLine(const std::string& fullLine) {
  auto machine = os::sim::Current();
  std::string target;
  std::string line = TakeRedirection(fullLine, &target);
  std::string hostTarget;
  if (!target.empty()) {
    auto host = os::sim::ToHost(*machine, target);
    if (!host) {
      fprintf(stderr, "The system cannot find the path specified.\n");
      return 1;
    }
    hostTarget = *host;
  }
  uint32_t error = 0;
  bool native = std::string(getenv("TARNVALE_NATIVE") ? getenv("TARNVALE_NATIVE") : "") == "1";
  auto program = os::sim::FindProgram(*machine, line, machine->wow64 && !native, &error);
  if (program && program->batch) return RunBatch(program->hostPath);
  // The started program writes its output into the file (the machine's
  // process start reads TARNVALE_STDOUT).
  if (!hostTarget.empty()) setenv("TARNVALE_STDOUT", hostTarget.c_str(), 1);
  os::Process p = os::StartProcess(line, 0, &error);
  unsetenv("TARNVALE_STDOUT");
  if (!p.IsValid()) {
    fprintf(stderr, "'%s' is not recognized as an internal or external command,\noperable program or batch file.\n",
            line.c_str());
    return 1;
  }
  while (os::WaitProcessOrEvents(p, os::kInfinite) != os::WaitResult::kProcessEnded) {
  }
  return static_cast<int>(os::ExitCode(p).value_or(1) & 0xFF);
}

}  // namespace

int RunCmd(const Args&) {
  std::string rest = AfterProgram(RawCommandLine());
  // Switches before /c (such as /d or /q) are skipped; /s is kept in mind.
  size_t at = 0;
  bool s = false;
  while (true) {
    size_t b = rest.find_first_not_of(" \t", at);
    if (b == std::string::npos) return 0;
    if (rest[b] != '/') return 0;  // no /c: an interactive shell, which has nothing to do here
    char sw = static_cast<char>(tolower(b + 1 < rest.size() ? rest[b + 1] : ' '));
    if (sw == 'c' || sw == 'k') return RunLine(StripQuotes(rest.substr(b + 2), s));
    s = s || sw == 's';
    at = rest.find_first_of(" \t", b);
    if (at == std::string::npos) return 0;
  }
}

}  // namespace tvtool
