#include "sys/log_records.h"

#include <cstdio>

#include "os/events.h"
#include "sys/run_log.h"

namespace sys {
namespace {

std::string& LastStep() {
  static std::string step;
  return step;
}

// A password given to the archiver ("-p" and the word after it) is no one
// else's business: the log shows "-p***".
std::string WithoutPassword(std::string_view commandLine) {
  std::string out(commandLine);
  for (size_t at = out.find(" -p"); at != std::string::npos; at = out.find(" -p", at + 3)) {
    size_t end = out.find(' ', at + 3);
    if (end == std::string::npos) end = out.size();
    if (end > at + 3) out.replace(at + 3, end - at - 3, "***");
  }
  return out;
}

// The time of day of a record, "14:03:07.045".
std::string TimeOfDay(const os::LocalTimeValue& time) { return LogTimeText(time).substr(11); }

}  // namespace

CommandLogEntry LogCommandStarted(std::string_view commandLine, bool background) {
  CommandLogEntry entry{WithoutPassword(commandLine), os::LocalTime(), os::TickCount()};
  Log((background ? "command started, runs on: " : "command started: ") + entry.commandLine);
  return entry;
}

void LogCommandEnded(const CommandLogEntry& entry, std::optional<uint32_t> exitCode) {
  uint64_t ms = os::TickCount() - entry.startTick;
  Log("command ended: exit code " + ExitCodeText(exitCode) + ", " + std::to_string(ms) + " ms, started " +
      TimeOfDay(entry.started) + ": " + entry.commandLine);
}

void LogCommandFailed(std::string_view commandLine, uint32_t error) {
  Log("command could not start (error " + std::to_string(error) + "): " + WithoutPassword(commandLine));
}

std::string ExitCodeText(std::optional<uint32_t> exitCode) {
  if (!exitCode) return "unknown";
  if (*exitCode <= 0xFFFF) return std::to_string(*exitCode);
  char hex[16];
  snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(*exitCode));
  return std::to_string(*exitCode) + " (" + hex + ")";
}

void LogCheck(std::string_view name, bool passed, std::string_view finding) {
  std::string line = "check " + std::string(name) + (passed ? ": passed" : ": FAILED");
  if (!finding.empty()) line += " - " + std::string(finding);
  Log(line);
}

void LogStep(std::string_view value) {
  LastStep() = value;
  Log("step: BreakPoint = " + std::string(value));
}

std::string LastLoggedStep() { return LastStep(); }

void LogOutcome(std::string_view operation, std::string_view messageShown) {
  Log("outcome of the " + std::string(operation) + ": " + std::string(messageShown));
}

}  // namespace sys
