#include "os/sim/volumes.h"

#include <sys/stat.h>

#include <cctype>
#include <filesystem>

#include "os/sim/sim.h"

namespace os::sim {

Volume FindVolume(const Machine& machine, char letter) {
  Volume v;
  letter = static_cast<char>(toupper(static_cast<unsigned char>(letter)));
  v.letter = letter;
  for (const Drive& d : machine.drives) {
    if (d.letter != letter) continue;
    v.drive = &d;
    v.kind = d.kind == Drive::Kind::kFixed   ? Volume::Kind::kFixedFolder
             : d.kind == Drive::Kind::kCdrom ? Volume::Kind::kCdrom
                                             : Volume::Kind::kNetwork;
    return v;
  }
  for (const Disk& disk : machine.disks) {
    if (!disk.media) {
      if (disk.emptyLetter == letter) {
        v.kind = Volume::Kind::kEmptySlot;
        v.disk = &disk;
        return v;
      }
      continue;
    }
    for (size_t i = 0; i < disk.partitions.size(); ++i) {
      const Partition& p = disk.partitions[i];
      if (p.letter != letter || p.hidden) continue;
      v.kind = Volume::Kind::kPartition;
      v.disk = &disk;
      v.partition = &p;
      v.partitionNumber = static_cast<int>(i) + 1;
      return v;
    }
  }
  return v;
}

std::string MachineRelative(const std::string& relative) {
  if (!relative.empty() && relative[0] == '/') return relative;
  return MachineFolder() + "/" + relative;
}

std::optional<std::string> VolumeHostFolder(const Volume& v) {
  std::string folder;
  switch (v.kind) {
    case Volume::Kind::kFixedFolder:
    case Volume::Kind::kCdrom:
    case Volume::Kind::kNetwork:
      folder = v.drive->folder;
      break;
    case Volume::Kind::kPartition:
      // A partition that was never formatted has no file system to hold files.
      if (v.partition->fileSystem.empty()) return std::nullopt;
      folder = v.partition->folder;
      break;
    default:
      return std::nullopt;
  }
  if (folder.empty()) return std::nullopt;
  std::string host = MachineRelative(folder);
  std::error_code ec;
  std::filesystem::create_directories(host, ec);
  return host;
}

uint64_t VolumeTotalBytes(const Volume& v) {
  if (v.kind == Volume::Kind::kPartition) return v.partition->Bytes();
  if (v.drive) return v.drive->sizeBytes;
  return 0;
}

uint64_t VolumeUsedBytes(const Volume& v) {
  auto folder = VolumeHostFolder(v);
  if (!folder) return 0;
  uint64_t used = 0;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(*folder, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    uint64_t size = it->is_regular_file(ec) ? it->file_size(ec) : 0;
    used += (size + 4095) / 4096 * 4096;
  }
  return used;
}

}  // namespace os::sim
