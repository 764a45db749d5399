#include "tools/tvtool/sample_machine.h"

#include <cstdio>
#include <filesystem>

#include "os/sim/machine_setup.h"
#include "os/sim/sim.h"
#include "tools/tvtool/commands.h"

namespace fs = std::filesystem;

namespace tvtool {

os::sim::Machine SampleMachine() {
  os::sim::Machine m = os::sim::BasicMachine();
  m.program = "C:\\Tarnvale\\Tarnvale.exe";
  os::sim::Disk stick;
  stick.number = 1;
  stick.bus = 7;  // USB
  stick.removable = true;
  stick.vendor = "Generic";
  stick.product = "Flash Disk";
  stick.revision = "8.07";
  stick.sizeBytes = 16ull << 30;
  stick.cylinders = static_cast<int64_t>(stick.sizeBytes / (255ull * 63 * 512));
  stick.mbrCode = "standard";
  os::sim::Partition volume;
  volume.start = 2048;
  volume.sectors = stick.Sectors() - volume.start;
  volume.type = 0x0C;
  volume.fileSystem = "FAT32";
  volume.label = "USB";
  volume.letter = 'E';
  volume.folder = "disks/1/part1";
  stick.partitions.push_back(volume);
  m.disks.push_back(stick);
  return m;
}

bool MakeSampleMachine(const std::string& folder, const std::string& sampleProgramFolder, std::string* error) {
  std::error_code ec;
  if (!fs::is_directory(sampleProgramFolder, ec) || !fs::exists(fs::path(sampleProgramFolder) / "Tarnvale.exe", ec)) {
    *error = "there is no sample program folder at " + sampleProgramFolder + " (build the target sample_package)";
    return false;
  }
  if (fs::exists(folder, ec) && !fs::is_empty(folder, ec)) {
    *error = folder + " is not empty; name a new folder for the machine";
    return false;
  }
  os::sim::Machine m = SampleMachine();
  if (!os::sim::CreateMachine(folder, m, error)) return false;
  fs::create_directories(fs::path(folder) / "disks/1/part1", ec);
  fs::path program = fs::path(folder) / "drives/C/Tarnvale";
  fs::create_directories(program, ec);
  fs::copy(sampleProgramFolder, program, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
  if (ec) {
    *error = "cannot copy the sample into " + program.string() + ": " + ec.message();
    return false;
  }
  return true;
}

std::string DefaultSampleFolder() { return os::sim::ToolsFolder() + "/../sample/program"; }

int RunMachineSample(const Args& args) {
  if (args.empty() || args.size() > 2) {
    fprintf(stderr, "usage: tvtool machine-sample <new machine folder> [<sample program folder>]\n");
    return 2;
  }
  std::string error;
  std::string sample = args.size() > 1 ? args[1] : DefaultSampleFolder();
  if (!MakeSampleMachine(args[0], sample, &error)) {
    fprintf(stderr, "tvtool: %s\n", error.c_str());
    return 1;
  }
  printf("A simulated machine with the sample package in C:\\Tarnvale and a 16 GB USB stick (disk 1, E:) is in %s\n",
         args[0].c_str());
  return 0;
}

}  // namespace tvtool
