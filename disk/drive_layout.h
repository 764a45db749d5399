// The partition table of a disk as Windows reports it (start, length, type
// id and active flag of each used slot, in table order) and the disk's true
// length: what the made disk's check and the one-partition shortcut measure.
//
// Public: struct TablePartition, struct DriveLayout, ParseDriveLayout(),
//         ReadDriveLayout(), kMiB.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace disk {

constexpr uint64_t kMiB = 1ull << 20;

struct TablePartition {
  uint64_t startBytes = 0;
  uint64_t lengthBytes = 0;
  uint8_t type = 0;
  bool active = false;
  uint64_t EndBytes() const { return startBytes + lengthBytes; }
  // A hidden type id: the visible one with 0x10 added (0C -> 1C, 07 -> 17).
  bool Hidden() const { return type == 0x11 || type == 0x14 || type == 0x16 || type == 0x17 || type == 0x1B ||
                               type == 0x1C || type == 0x1E; }
};

struct DriveLayout {
  uint64_t diskBytes = 0;
  std::vector<TablePartition> partitions;  // used slots only, in table order
};

// The partitions of a DRIVE_LAYOUT_INFORMATION_EX answer of an MBR disk.
// Nothing for an answer that is not an MBR layout or is cut short; slots of
// type 0 or length 0 are unused and left out.
std::optional<std::vector<TablePartition>> ParseDriveLayout(std::span<const uint8_t> answer);

// The layout of \\.\PhysicalDrive<disk> with its length. Nothing when the
// disk cannot be opened or does not answer.
std::optional<DriveLayout> ReadDriveLayout(int disk);

}  // namespace disk
