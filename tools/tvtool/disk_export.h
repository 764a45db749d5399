// A simulated disk as a real raw disk image, for the emulator: the master
// boot record with the machine's partition table, each formatted partition a
// real file system at its place holding the partition's files, and the UD
// area's files. The simulated disk is only read.
//
// The boot code of the master boot record and of the volumes stays a name on
// the simulated machine: the image's boot code areas are left empty, so only
// a UEFI firmware can start it. The UD area has no partition-table entry; its
// files lie in a FAT file system from the area's second MB to its end (at
// sector 2048), which firmware does not look at, as with the real UD tool.
//
// Public: ExportDisk(), kUdVolumeSector.
#pragma once

#include <string>

#include "os/sim/machine.h"

namespace tvtool {

constexpr uint64_t kUdVolumeSector = 2048;

// Writes the disk to `image` (created or replaced; sparse, of the disk's
// size). False with *why when the description cannot be a disk (partitions
// overlapping or past its end, more than four) or a file system could not
// be made.
bool ExportDisk(const os::sim::Disk& disk, const std::string& image, std::string* why);

}  // namespace tvtool
