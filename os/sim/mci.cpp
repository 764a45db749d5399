// The multimedia command interface of the simulated machine: the sequencer
// commands the system sends (open, play, status, set, seek, stop, close),
// answered on the simulated clock, and logged in <machine>/mci.log.
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

#include "os/events.h"
#include "os/mci.h"
#include "os/sim/mci_devices.h"
#include "os/sim/midi_length.h"
#include "os/sim/paths.h"
#include "os/sim/sim.h"
#include "os/sim/words.h"

namespace os {
namespace {

enum : uint32_t {
  kMciErrBase = 256,
  kErrUnrecognizedKeyword = kMciErrBase + 3,
  kErrUnrecognizedCommand = kMciErrBase + 5,
  kErrInvalidDeviceName = kMciErrBase + 7,
  kErrMissingParameter = kMciErrBase + 17,
  kErrUnsupportedFunction = kMciErrBase + 18,
  kErrFileNotFound = kMciErrBase + 19,
  kErrExtensionNotFound = kMciErrBase + 25,
  kErrOutOfRange = kMciErrBase + 26,
  kErrDuplicateAlias = kMciErrBase + 33,
  kErrBadTimeFormat = kMciErrBase + 37,
  kErrNoClosingQuote = kMciErrBase + 38,
  kErrInvalidFile = kMciErrBase + 40,
  kErrSeqNoMidiPresent = kMciErrBase + 87,
};

struct Device {
  std::string file;
  uint64_t lengthMs = 0;
  bool playing = false;
  uint64_t startTick = 0;  // simulated clock when play began
  uint64_t startPos = 0;   // position when play began
  uint64_t stoppedPos = 0;

  uint64_t Position() {
    if (!playing) return stoppedPos;
    uint64_t pos = startPos + (TickCount() - startTick);
    if (pos >= lengthMs) {
      // The end of the tune: the sequencer stops there.
      playing = false;
      stoppedPos = lengthMs;
      return lengthMs;
    }
    return pos;
  }
  void Stop() {
    stoppedPos = Position();
    playing = false;
  }
};

struct Devices {
  std::string machine;  // the machine they belong to
  std::map<std::string, Device> byAlias;  // lower-case alias
};

Devices& All() {
  static Devices devices;
  // Another machine (a new test) starts without open devices.
  if (devices.machine != sim::MachineFolder()) {
    devices.byAlias.clear();
    devices.machine = sim::MachineFolder();
  }
  return devices;
}

std::string Lower(std::string_view s) { return sim::LowerAscii(s); }

// A position in milliseconds; nothing for other text or beyond any tune.
std::optional<uint64_t> Number(std::string_view s) {
  if (s.empty() || s.size() > 15) return std::nullopt;
  uint64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  return v;
}

uint32_t Open(const std::vector<std::string>& w) {
  if (w.size() < 2) return kErrMissingParameter;
  std::string file = w[1], alias = w[1], type;
  for (size_t i = 2; i < w.size(); ++i) {
    std::string k = Lower(w[i]);
    if ((k == "alias" || k == "type") && i + 1 < w.size()) {
      (k == "alias" ? alias : type) = w[++i];
    } else if (k != "wait" && k != "shareable") {
      return kErrUnrecognizedKeyword;
    }
  }
  std::string lowerFile = Lower(file);
  bool midiName = lowerFile.size() > 4 && (lowerFile.ends_with(".mid") || lowerFile.ends_with(".rmi"));
  if (type.empty() && !midiName) return kErrExtensionNotFound;
  if (!type.empty() && Lower(type) != "sequencer") return kErrInvalidDeviceName;
  Devices& all = All();
  if (all.byAlias.count(Lower(alias))) return kErrDuplicateAlias;
  auto machine = sim::Current();
  if (machine->faults.count("mci")) return kErrSeqNoMidiPresent;
  auto host = sim::ToHost(*machine, file);
  if (!host) return kErrFileNotFound;
  std::ifstream in(*host, std::ios::binary);
  if (!in) return kErrFileNotFound;
  std::stringstream bytes;
  bytes << in.rdbuf();
  auto length = sim::MidiLengthMs(bytes.str());
  if (!length) return kErrInvalidFile;
  Device d;
  d.file = file;
  d.lengthMs = *length;
  all.byAlias[Lower(alias)] = d;
  return 0;
}

uint32_t OnDevice(const std::vector<std::string>& w, std::string& reply) {
  std::string verb = Lower(w[0]);
  if (w.size() < 2) return kErrMissingParameter;
  Devices& all = All();
  std::string alias = Lower(w[1]);
  if (verb == "close" && alias == "all") {
    all.byAlias.clear();
    return 0;
  }
  auto it = all.byAlias.find(alias);
  if (it == all.byAlias.end()) return kErrInvalidDeviceName;
  Device& d = it->second;
  std::string what = w.size() > 2 ? Lower(w[2]) : "";
  if (verb == "close") {
    all.byAlias.erase(it);
    return 0;
  }
  if (verb == "play") {
    uint64_t from = d.Position();
    if (what == "from") {
      auto n = w.size() > 3 ? Number(w[3]) : std::nullopt;
      if (!n) return kErrMissingParameter;
      from = *n;
    }
    if (from > d.lengthMs) return kErrOutOfRange;
    d.startPos = from;
    d.startTick = TickCount();
    d.stoppedPos = from;
    d.playing = from < d.lengthMs;
    return 0;
  }
  if (verb == "stop" || verb == "pause") {
    d.Stop();
    return 0;
  }
  if (verb == "seek") {
    if (what != "to" || w.size() < 4) return kErrMissingParameter;
    std::string to = Lower(w[3]);
    auto n = to == "start" ? std::optional<uint64_t>(0) : to == "end" ? std::optional<uint64_t>(d.lengthMs) : Number(to);
    if (!n) return kErrMissingParameter;
    uint64_t pos = *n;
    if (pos > d.lengthMs) return kErrOutOfRange;
    d.playing = false;
    d.stoppedPos = pos;
    return 0;
  }
  if (verb == "set") {
    // Only milliseconds, the format the sequencer answers in.
    if (what != "time" || w.size() < 5 || Lower(w[3]) != "format") return kErrMissingParameter;
    std::string format = Lower(w[4]);
    return format == "milliseconds" || format == "ms" ? 0u : static_cast<uint32_t>(kErrBadTimeFormat);
  }
  if (verb == "status") {
    if (what == "length") reply = std::to_string(d.lengthMs);
    else if (what == "position") reply = std::to_string(d.Position());
    else if (what == "mode") reply = d.Position() < d.lengthMs && d.playing ? "playing" : "stopped";
    else if (what == "ready") reply = "true";
    else if (what == "time" && w.size() > 3 && Lower(w[3]) == "format") reply = "milliseconds";
    else return kErrUnsupportedFunction;
    return 0;
  }
  return kErrUnrecognizedCommand;
}

void Log(std::string_view command, uint32_t result, const std::string& reply) {
  if (sim::MachineFolder().empty()) return;
  std::ofstream log(sim::MachineFolder() + "/mci.log", std::ios::app);
  log << command << "\t" << result;
  if (!reply.empty()) log << "\t" << reply;
  log << "\n";
}

}  // namespace

uint32_t MciSendString(std::string_view command, std::string* reply) {
  std::vector<std::string> w;
  std::string answer;
  uint32_t result;
  if (!os::sim::SplitWords(command, w)) result = kErrNoClosingQuote;
  else if (w.empty()) result = kErrUnrecognizedCommand;
  else if (Lower(w[0]) == "open") result = Open(w);
  else result = OnDevice(w, answer);
  Log(command, result, answer);
  if (reply) *reply = result == 0 ? answer : "";
  return result;
}

namespace sim {

std::optional<MciDevice> FindMciDevice(std::string_view alias) {
  Devices& all = All();
  auto it = all.byAlias.find(LowerAscii(alias));
  if (it == all.byAlias.end()) return std::nullopt;
  Device& d = it->second;
  MciDevice out;
  out.file = d.file;
  out.lengthMs = d.lengthMs;
  out.positionMs = d.Position();
  out.playing = d.playing;
  return out;
}

}  // namespace sim
}  // namespace os
