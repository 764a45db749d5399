// What stands behind a drive letter of the simulated machine, and where its
// files are on the host.
//
// Public: struct Volume, FindVolume(), VolumeHostFolder(), VolumeUsedBytes().
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "os/sim/machine.h"

namespace os::sim {

struct Volume {
  enum class Kind { kNone, kFixedFolder, kCdrom, kNetwork, kPartition, kEmptySlot };
  Kind kind = Kind::kNone;
  char letter = 0;
  const Drive* drive = nullptr;        // kFixedFolder, kCdrom, kNetwork
  const Disk* disk = nullptr;          // kPartition, kEmptySlot
  const Partition* partition = nullptr;  // kPartition
  int partitionNumber = 0;             // 1-based, kPartition

  bool Exists() const { return kind != Kind::kNone; }
};

// The volume of a letter ('E' or 'e'). Hidden partitions have no letter.
Volume FindVolume(const Machine& machine, char letter);

// Host folder with the volume's files, when it has any.
std::optional<std::string> VolumeHostFolder(const Volume& volume);

// Total and used bytes of the volume (used: its files, in 4 KB clusters).
uint64_t VolumeTotalBytes(const Volume& volume);
uint64_t VolumeUsedBytes(const Volume& volume);

// Host path of a folder named relative to the machine folder.
std::string MachineRelative(const std::string& relative);

}  // namespace os::sim
