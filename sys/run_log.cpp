#include "sys/run_log.h"

#include <cstdio>

#include "os/file.h"
#include "os/files.h"
#include "sys/whole_file.h"

namespace sys {
namespace {

// At start the earlier runs keep at most this much, so that a run has room
// before the file must be cut again; a cut in the middle of a run keeps half.
constexpr size_t kKeepAtStart = kLogLimitBytes / 4 * 3;
constexpr size_t kKeepInRun = kLogLimitBytes / 2;
// The file begins with a byte-order mark, so that the text editors of older
// Windows read it as UTF-8 too.
constexpr std::string_view kBom = "\xEF\xBB\xBF";

struct LogState {
  bool started = false;
  bool writing = false;
  std::string path;
  uint64_t size = 0;  // the file's size as this run left it
  std::string run;    // this run's lines
};

LogState& State() {
  static LogState state;
  return state;
}

bool Append(const std::string& path, std::string_view bytes) {
  os::File file = os::File::Open(path, os::File::Mode::kAppend);
  return file.IsOpen() && file.Write(bytes.data(), bytes.size());
}

// Writes the file anew as its cut end followed by `line`.
bool Rewrite(const std::string& path, size_t keep, std::string_view line) {
  std::optional<std::string> old = ReadWholeFile(path);
  if (!old) return false;
  std::string_view lines(*old);
  if (lines.starts_with(kBom)) lines.remove_prefix(kBom.size());
  std::string bytes(kBom);
  bytes += CutLogFront(lines, keep - kBom.size());
  bytes += line;
  if (!WriteWholeFile(path, bytes)) return false;
  State().size = bytes.size();
  return true;
}

// The first line of a run into the file at `path`, after cutting the
// earlier runs when they leave too little room.
bool Begin(const std::string& path, std::string_view line) {
  uint64_t size = os::FileSize(path).value_or(0);
  if (size + line.size() > kKeepAtStart) return Rewrite(path, kKeepAtStart - line.size(), line);
  std::string bytes = size == 0 ? std::string(kBom) + std::string(line) : std::string(line);
  if (!Append(path, bytes)) return false;
  State().size = size + bytes.size();
  return true;
}

std::string Stamped(std::string_view text) {
  return LogTimeText(os::LocalTime()) + "  " + OneLogLine(text) + "\r\n";
}

void Keep(const std::string& line) {
  std::string& run = State().run;
  run += line;
  if (run.size() > kLogLimitBytes) run.erase(0, run.size() - CutLogFront(run, kKeepInRun).size());
}

}  // namespace

std::string_view CutLogFront(std::string_view text, size_t limit) {
  if (text.size() <= limit) return text;
  size_t from = text.size() - limit;
  // The first line that begins at or after `from`.
  size_t lineEnd = text.find('\n', from - 1);
  if (lineEnd == std::string_view::npos) return text.substr(text.size());
  return text.substr(lineEnd + 1);
}

std::string OneLogLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += " / ";
    } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

std::string LogTimeText(const os::LocalTimeValue& t) {
  char text[64];
  snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", unsigned{t.year}, unsigned{t.month},
           unsigned{t.day}, unsigned{t.hour}, unsigned{t.minute}, unsigned{t.second}, unsigned{t.millisecond});
  return text;
}

std::string StartLog(std::string_view programFolder) {
  LogState& s = State();
  s = LogState();
  s.started = true;
  std::string line = Stamped("---- a new run ----");
  Keep(line);
  for (const std::string& folder : {std::string(programFolder), os::TempFolder()}) {
    if (folder.empty()) continue;
    std::string path = folder + "\\" + kLogFileName;
    if (Begin(path, line)) {
      s.path = path;
      s.writing = true;
      break;
    }
  }
  return s.path;
}

void StopLog() {
  LogState& s = State();
  s.started = false;
  s.writing = false;
}

void Log(std::string_view text) {
  LogState& s = State();
  if (!s.started) return;
  std::string line = Stamped(text);
  Keep(line);
  if (!s.writing) return;
  bool cut = s.size + line.size() >= kLogLimitBytes;
  bool written = cut ? Rewrite(s.path, kKeepInRun, line) : Append(s.path, line);
  // One attempt: a file that cannot be written now is left alone for the run.
  if (!written) s.writing = false;
  else if (!cut) s.size += line.size();
}

const std::string& LogPath() { return State().path; }
bool LogWriting() { return State().writing; }
const std::string& ThisRunLog() { return State().run; }

}  // namespace sys
