// tvtool: the stand-in outside programs of the host build. The simulated
// machine starts "tvtool <name> <arguments>" for a program file that names
// <name>; see os/sim/programs.h.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "tools/tvtool/commands.h"

namespace tvtool {

std::string RawCommandLine() {
  const char* line = getenv("TARNVALE_CMDLINE");
  return line ? line : "";
}

}  // namespace tvtool

int main(int argc, char** argv) {
  using Runner = int (*)(const tvtool::Args&);
  static const std::map<std::string, Runner> kCommands = {
      {"cmd", tvtool::RunCmd},
      {"test-exit", tvtool::RunTestExit},
      {"test-sleep", tvtool::RunTestSleep},
      {"test-write", tvtool::RunTestWrite},
  };
  if (argc < 2 || !kCommands.count(argv[1])) {
    fprintf(stderr, "tvtool: plays outside programs on a simulated machine.\nusage: tvtool <program> [arguments]\nprograms:");
    for (const auto& [name, run] : kCommands) fprintf(stderr, " %s", name.c_str());
    fprintf(stderr, "\n");
    return 2;
  }
  if (!getenv("TARNVALE_MACHINE")) {
    fprintf(stderr, "tvtool: TARNVALE_MACHINE does not name a simulated machine\n");
    return 2;
  }
  tvtool::Args args(argv + 2, argv + argc);
  return kCommands.at(argv[1])(args);
}
