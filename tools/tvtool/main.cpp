// tvtool: the stand-in outside programs of the host build. The simulated
// machine starts "tvtool <name> <arguments>" for a program file that names
// <name>; see os/sim/programs.h and docs/stand-ins.md. A few commands are for
// people and scripts on the host (machine-sample, show-disk).
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
  // Programs of the simulated machine, by the name their program file gives.
  static const std::map<std::string, Runner> kPrograms = {
      {"aes", tvtool::RunAes},
      {"archiver", tvtool::RunArchiver},
      {"bcdedit", tvtool::RunBcdedit},
      {"bootsect", tvtool::RunBootsect},
      {"cmd", tvtool::RunCmd},
      {"diskpart", tvtool::RunDiskPart},
      {"format", tvtool::RunFormat},
      {"ginst", tvtool::RunGinst},
      {"partassist", tvtool::RunPartAssist},
      {"qemu", tvtool::RunQemu},
      {"test-exit", tvtool::RunTestExit},
      {"test-keep", tvtool::RunTestKeep},
      {"test-sleep", tvtool::RunTestSleep},
      {"test-write", tvtool::RunTestWrite},
  };
  static const std::map<std::string, Runner> kHostCommands = {
      {"machine-sample", tvtool::RunMachineSample},
      {"export-disk", tvtool::RunExportDisk},
      {"show-disk", tvtool::RunShowDisk},
  };
  std::string name = argc >= 2 ? argv[1] : "";
  tvtool::Args args(argv + (argc >= 2 ? 2 : argc), argv + argc);
  if (kHostCommands.count(name)) return kHostCommands.at(name)(args);
  if (!kPrograms.count(name)) {
    fprintf(stderr,
            "tvtool: plays outside programs on a simulated machine.\n"
            "usage: tvtool <program> [arguments]   (started by the machine)\n"
            "       tvtool machine-sample <new machine folder> [<sample program folder>]\n"
            "       tvtool export-disk <machine folder> <disk number> <image file>\n"
            "       tvtool show-disk <machine folder> <disk number>\n"
            "programs:");
    for (const auto& [program, run] : kPrograms) fprintf(stderr, " %s", program.c_str());
    fprintf(stderr, "\n");
    return 2;
  }
  if (!getenv("TARNVALE_MACHINE")) {
    fprintf(stderr, "tvtool: TARNVALE_MACHINE does not name a simulated machine\n");
    return 2;
  }
  return kPrograms.at(name)(args);
}
