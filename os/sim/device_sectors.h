// The first sectors of the simulated disks and volumes, as bytes that the
// system's own code can judge. The simulated machine keeps boot code as a
// name (mbr= of a disk, boot= of a partition); a read builds the sector:
// - the master boot record (sector 0 of a disk): the boot-code area (bytes
//   0 to 439) holds "boot code: <name>" and zeros, all zeros when the disk
//   has no boot code; the partition table at 446 is built from the
//   partitions (active flag, type id, first sector, length); 0x55AA at 510;
// - a partition's boot sector (sector 0 of a volume, or the partition's first
//   sector on its disk): for a formatted partition a jump (EB 58 90), the OEM
//   name "MSDOS5.0", the boot-code area (bytes 90 to 509) holding
//   "boot code: <name>" or zeros when the partition has none, and 0x55AA; an
//   unformatted partition's sector is all zeros.
// Every other sector reads as zeros.
//
// Public: MasterBootRecord(), PartitionBootSector(), ReadSectors().
#pragma once

#include <cstdint>
#include <vector>

#include "os/sim/device_answers.h"
#include "os/sim/machine.h"

namespace os::sim {

std::vector<uint8_t> MasterBootRecord(const Disk& disk);
std::vector<uint8_t> PartitionBootSector(const Partition& partition);

// `size` bytes from byte `offset` of the device. False when the device has
// no medium, or the range is not on sector boundaries or lies past its end.
bool ReadSectors(const DeviceTarget& target, uint64_t offset, size_t size, std::vector<uint8_t>& out);

}  // namespace os::sim
