// tvtool export-disk <machine folder> <disk number> <image>: a disk of a
// simulated machine as a raw disk image with real file systems, as the
// emulator stand-in boots it in UEFI mode (disk_export.h). For people who
// want to look at a made disk with their own tools, and for the tests.
#include <cstdio>
#include <string>

#include "os/sim/sim.h"
#include "tools/tvtool/commands.h"
#include "tools/tvtool/disk_export.h"

namespace tvtool {

int RunExportDisk(const Args& args) {
  if (args.size() != 3 || args[1].empty() || args[1].size() > 4 ||
      args[1].find_first_not_of("0123456789") != std::string::npos) {
    fprintf(stderr, "usage: tvtool export-disk <machine folder> <disk number> <image file>\n");
    return 2;
  }
  std::string error;
  auto machine = os::sim::LoadMachine(args[0], &error);
  if (!machine) {
    fprintf(stderr, "tvtool: %s\n", error.c_str());
    return 1;
  }
  os::sim::UseMachine(args[0]);  // partition folders are named relative to it
  const os::sim::Disk* disk = machine->FindDisk(std::stoi(args[1]));
  if (!disk || !disk->media) {
    fprintf(stderr, "tvtool: the machine has no disk %s with a medium\n", args[1].c_str());
    return 1;
  }
  if (!ExportDisk(*disk, args[2], &error)) {
    fprintf(stderr, "tvtool: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace tvtool
