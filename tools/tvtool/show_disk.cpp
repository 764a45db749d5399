// "tvtool show-disk <machine folder> <disk number>": a disk of a simulated
// machine, readably: its model, size and bus, the boot code in its master
// boot record, the UD area, and each partition in disk order with its
// letter, size, place, type id, flags, file system, label, boot sector code
// and the top-level files and folders on it. A host command for people and
// scripts (scripts/run-sim.sh shows the disk the main job made).
//
// Public: DescribeDisk(), RunShowDisk() (commands.h).
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "os/sim/bus_names.h"
#include "os/sim/host_files.h"
#include "os/sim/machine.h"
#include "os/sim/paths.h"
#include "tools/tvtool/commands.h"
#include "tools/tvtool/disk_edit.h"

namespace fs = std::filesystem;

namespace tvtool {
namespace {

// What the master boot record's code does, for the reader.
std::string BootCodeText(const std::string& code, bool mbr) {
  if (code.empty()) return "none";
  if (mbr && code == "standard") return "standard (starts the active partition)";
  if (mbr && code == "nt60") return "nt60 (starts the active partition)";
  if (mbr && code == "grldr") return "grldr boot code (finds grldr on the partitions)";
  if (mbr && code == "ud") return "UD boot code (starts the UD area)";
  if (!mbr && code == "nt60") return "nt60 (starts bootmgr)";
  return code;
}

// Top-level names of a host folder in name order, folders marked with "\".
std::string TopLevel(const std::string& hostFolder) {
  std::error_code ec;
  if (hostFolder.empty() || !fs::is_directory(hostFolder, ec)) return "(no files)";
  std::string out;
  for (const std::string& name : os::sim::SortedFolderNames(hostFolder)) {
    if (name == os::sim::kAttributeFile) continue;
    if (!out.empty()) out += "  ";
    out += name + (fs::is_directory(fs::path(hostFolder) / name, ec) ? "\\" : "");
  }
  return out.empty() ? "(no files)" : out;
}

}  // namespace

std::string DescribeDisk(const std::string& machineFolder, const os::sim::Machine& m, int number) {
  const os::sim::Disk* d = m.FindDisk(number);
  if (!d) return "There is no disk " + std::to_string(number) + " on this machine.\n";
  std::string model = d->vendor.empty() ? d->product : d->vendor + " " + d->product;
  std::string out = "Disk " + std::to_string(d->number) + ": " + model + ", " + SizeText(d->sizeBytes) + ", " +
                    os::sim::BusName(d->bus) + ", " + (d->removable ? "removable" : "fixed") + "\n";
  if (!d->media) return out + "  no medium\n";
  auto folder = [&](const std::string& relative) {
    return relative.empty() ? std::string() : machineFolder + "/" + relative;
  };
  out += "  master boot record: " + BootCodeText(d->mbrCode, true) + "\n";
  if (d->ud.sizeMB) {
    out += "  UD area: " + std::to_string(d->ud.sizeMB) + " MB\n";
    out += "      " + TopLevel(folder(d->ud.folder)) + "\n";
  } else {
    out += "  UD area: none\n";
  }
  if (d->partitions.empty()) out += "  no partitions\n";
  int index = 0;
  for (size_t i : DiskOrder(*d)) {
    const os::sim::Partition& p = d->partitions[i];
    char type[8];
    snprintf(type, sizeof type, "%02X", p.type);
    out += "  partition " + std::to_string(index++) + ": " +
           (p.letter ? std::string(1, p.letter) + ":" : std::string("no letter")) + ", " +
           std::to_string(p.Bytes() >> 20) + " MB at " + std::to_string(p.start / kSectorsPerMB) + " MB, type " + type;
    if (p.active) out += ", active";
    if (p.hidden) out += ", hidden";
    if (p.fileSystem.empty()) {
      out += ", not formatted\n";
      continue;
    }
    out += ", " + p.fileSystem + ", label \"" + p.label + "\", boot sector: " + BootCodeText(p.bootCode, false) +
           "\n";
    out += "      " + TopLevel(folder(p.folder)) + "\n";
  }
  return out;
}

int RunShowDisk(const Args& args) {
  if (args.size() != 2 || args[1].empty() || args[1].find_first_not_of("0123456789") != std::string::npos ||
      args[1].size() > 5) {
    fprintf(stderr, "usage: tvtool show-disk <machine folder> <disk number>\n");
    return 2;
  }
  std::string error;
  auto machine = os::sim::LoadMachine(args[0], &error);
  if (!machine) {
    fprintf(stderr, "tvtool: %s\n", error.c_str());
    return 1;
  }
  int number = std::stoi(args[1]);
  if (!machine->FindDisk(number)) {
    fprintf(stderr, "tvtool: there is no disk %d on the machine in %s\n", number, args[0].c_str());
    return 1;
  }
  printf("%s", DescribeDisk(args[0], *machine, number).c_str());
  return 0;
}

}  // namespace tvtool
