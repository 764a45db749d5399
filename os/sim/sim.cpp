#include "os/sim/sim.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "os/sim/state.h"

namespace os::sim {
namespace {

struct Context {
  std::string folder;
  std::unique_ptr<MachineStore> store;
  std::string commandLine;
  bool commandLineSet = false;
};

Context& Ctx() {
  static Context ctx;
  if (!ctx.store) {
    const char* env = getenv("TARNVALE_MACHINE");
    ctx.folder = env ? env : "";
    ctx.store = std::make_unique<MachineStore>(ctx.folder);
  }
  return ctx;
}

}  // namespace

void UseMachine(const std::string& folder) {
  Context& ctx = Ctx();
  ctx.folder = folder;
  ctx.store = std::make_unique<MachineStore>(folder);
  // Programs that the machine starts work on the same machine.
  setenv("TARNVALE_MACHINE", folder.c_str(), 1);
  ResetProcessState();
}

const std::string& MachineFolder() { return Ctx().folder; }

MachineStore& Store() { return *Ctx().store; }

void SetCommandLineText(const std::string& line) {
  Ctx().commandLine = line;
  Ctx().commandLineSet = true;
}

std::string CommandLineText() {
  if (Ctx().commandLineSet) return Ctx().commandLine;
  return "\"" + Current()->program + "\"";
}

std::string ToolsFolder() {
  if (const char* env = getenv("TARNVALE_TOOLS")) return env;
  // The executable's folder does not change while it runs: read it once.
  static const std::string folder = [] {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return std::string(".");
    std::string self(buf, static_cast<size_t>(n));
    return self.substr(0, self.rfind('/'));
  }();
  return folder;
}

ProcessState& State() {
  static ProcessState state;
  return state;
}

void ResetProcessState() {
  State() = ProcessState{};
}

}  // namespace os::sim
