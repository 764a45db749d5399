#include "os/sim/faults.h"

#include <cstdlib>

#include "os/sim/paths.h"
#include "os/sim/sim.h"

namespace os::sim {
namespace {

bool KnownKind(std::string_view kind) {
  return kind == "missing" || kind == "exit-early" || kind == "no-output" || kind == "partial" ||
         kind == "unplug" || kind == "give-letter" || kind == "slow" || kind == "hang";
}

bool Applies(const FaultSwitch& fault, std::string_view command) {
  return fault.command.empty() || EqualNoCase(fault.command, command);
}

}  // namespace

std::optional<FaultSwitch> ParseFaultSwitch(std::string_view text) {
  FaultSwitch f;
  std::string rest(text);
  size_t star = rest.find('*');
  if (star != std::string::npos) {
    std::string count = rest.substr(star + 1);
    char* end = nullptr;
    long n = strtol(count.c_str(), &end, 10);
    if (count.empty() || *end || n < 1) return std::nullopt;
    f.times = static_cast<int>(n);
    rest.resize(star);
  }
  size_t at = rest.find('@');
  if (at != std::string::npos) {
    f.command = rest.substr(at + 1);
    if (f.command.empty()) return std::nullopt;
    rest.resize(at);
  }
  f.kind = LowerAscii(rest);
  if (!KnownKind(f.kind)) return std::nullopt;
  return f;
}

std::optional<FaultSwitch> PeekFault(const Machine& machine, std::string_view program, std::string_view command) {
  auto it = machine.faults.find(LowerAscii(program));
  if (it == machine.faults.end()) return std::nullopt;
  auto fault = ParseFaultSwitch(it->second);
  if (!fault || !Applies(*fault, command)) return std::nullopt;
  return fault;
}

std::optional<FaultSwitch> TakeFault(std::string_view program, std::string_view command) {
  if (!PeekFault(*Current(), program, command)) return std::nullopt;
  std::optional<FaultSwitch> taken;
  std::string key = LowerAscii(program);
  Store().Update([&](Machine& m) {
    taken = PeekFault(m, program, command);
    if (!taken || taken->times < 0) return;
    FaultSwitch left = *taken;
    if (--left.times == 0) {
      m.faults.erase(key);
      return;
    }
    std::string text = left.kind;
    if (!left.command.empty()) text += "@" + left.command;
    m.faults[key] = text + "*" + std::to_string(left.times);
  });
  return taken;
}

}  // namespace os::sim
