// Drive letters of the simulated machine: their type, volume information,
// labels and free space, taken from the machine description.
#include "os/drives.h"

#include <algorithm>
#include <cctype>

#include "os/sim/paths.h"
#include "os/sim/sim.h"
#include "os/sim/volumes.h"

namespace os {
namespace {

// The letter of a root such as "E:" or "e:\"; 0 when it is not one.
char RootLetter(std::string_view root) {
  if (root.size() < 2 || root[1] != ':' || !isalpha(static_cast<unsigned char>(root[0]))) return 0;
  if (root.size() > 3 || (root.size() == 3 && root[2] != '\\' && root[2] != '/')) return 0;
  return static_cast<char>(toupper(static_cast<unsigned char>(root[0])));
}

// Labels as the file system stores them: FAT keeps 11 upper-case
// characters, exFAT 11, NTFS 32.
std::string StoredLabel(const std::string& fileSystem, std::string_view label) {
  std::string out(label);
  if (sim::EqualNoCase(fileSystem, "FAT32") || sim::EqualNoCase(fileSystem, "FAT") ||
      sim::EqualNoCase(fileSystem, "FAT16")) {
    out = sim::UpperAscii(out);
    if (out.size() > 11) out.resize(11);
  } else if (sim::EqualNoCase(fileSystem, "exFAT")) {
    if (out.size() > 11) out.resize(11);
  } else if (out.size() > 32) {
    out.resize(32);
  }
  return out;
}

}  // namespace

uint32_t DriveType(std::string_view root) {
  char letter = RootLetter(root);
  if (!letter) return kDriveNoRootDir;
  auto machine = sim::Current();
  sim::Volume v = sim::FindVolume(*machine, letter);
  switch (v.kind) {
    case sim::Volume::Kind::kFixedFolder: return kDriveFixed;
    case sim::Volume::Kind::kCdrom: return kDriveCdrom;
    case sim::Volume::Kind::kNetwork: return kDriveRemote;
    case sim::Volume::Kind::kPartition:
    case sim::Volume::Kind::kEmptySlot: return v.disk->removable ? kDriveRemovable : kDriveFixed;
    default: return kDriveNoRootDir;
  }
}

bool VolumeInformation(std::string_view root, VolumeInfo& info) {
  char letter = RootLetter(root);
  if (!letter) return false;
  auto machine = sim::Current();
  sim::Volume v = sim::FindVolume(*machine, letter);
  info = VolumeInfo{};
  if (v.kind == sim::Volume::Kind::kPartition) {
    if (v.partition->fileSystem.empty()) return false;  // not formatted
    info.label = v.partition->label;
    info.fileSystem = v.partition->fileSystem;
    info.serial = static_cast<uint32_t>(v.disk->number * 0x1000 + v.partitionNumber);
  } else if (v.drive) {
    if (v.kind == sim::Volume::Kind::kCdrom && v.drive->folder.empty()) return false;  // no disc
    info.label = v.drive->label;
    info.fileSystem = v.drive->fileSystem;
    info.serial = static_cast<uint32_t>(letter);
  } else {
    return false;
  }
  info.maxComponentLength = 255;
  return true;
}

bool SetLabel(std::string_view root, std::string_view label) {
  char letter = RootLetter(root);
  if (!letter) return false;
  bool done = false;
  sim::Store().Update([&](sim::Machine& m) {
    for (sim::Drive& d : m.drives) {
      if (d.letter == letter && d.kind == sim::Drive::Kind::kFixed) {
        d.label = StoredLabel(d.fileSystem, label);
        done = true;
      }
    }
    for (sim::Disk& disk : m.disks) {
      if (!disk.media) continue;
      for (sim::Partition& p : disk.partitions) {
        if (p.letter == letter && !p.hidden && !p.fileSystem.empty()) {
          p.label = StoredLabel(p.fileSystem, label);
          done = true;
        }
      }
    }
  });
  return done;
}

bool FreeSpace(std::string_view root, FreeSpaceInfo& info) {
  info = FreeSpaceInfo{};
  char letter = RootLetter(root);
  if (!letter) return false;
  auto machine = sim::Current();
  sim::Volume v = sim::FindVolume(*machine, letter);
  if (!sim::VolumeHostFolder(v)) return false;
  constexpr uint64_t kCluster = 4096;
  uint64_t total = sim::VolumeTotalBytes(v) / kCluster;
  uint64_t used = std::min<uint64_t>(sim::VolumeUsedBytes(v) / kCluster, total);
  info.bytesPerSector = 512;
  info.sectorsPerCluster = kCluster / 512;
  info.totalClusters = static_cast<uint32_t>(std::min<uint64_t>(total, 0xFFFFFFFFu));
  info.freeClusters = static_cast<uint32_t>(std::min<uint64_t>(total - used, 0xFFFFFFFFu));
  return true;
}

}  // namespace os
