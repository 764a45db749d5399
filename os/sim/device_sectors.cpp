#include "os/sim/device_sectors.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace os::sim {
namespace {

void PutLe32(std::vector<uint8_t>& s, size_t at, uint64_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void PutCode(std::vector<uint8_t>& s, size_t at, size_t end, const std::string& name) {
  if (name.empty()) return;
  std::string text = "boot code: " + name;
  std::memcpy(s.data() + at, text.data(), std::min(text.size(), end - at));
}

}  // namespace

std::vector<uint8_t> MasterBootRecord(const Disk& disk) {
  std::vector<uint8_t> s(kSectorBytes, 0);
  PutCode(s, 0, 440, disk.mbrCode);
  for (size_t i = 0; i < disk.partitions.size() && i < 4; ++i) {
    const Partition& p = disk.partitions[i];
    size_t at = 446 + 16 * i;
    s[at] = p.active ? 0x80 : 0x00;
    s[at + 4] = p.type;
    PutLe32(s, at + 8, p.start);
    PutLe32(s, at + 12, p.sectors);
  }
  s[510] = 0x55;
  s[511] = 0xAA;
  return s;
}

std::vector<uint8_t> PartitionBootSector(const Partition& partition) {
  std::vector<uint8_t> s(kSectorBytes, 0);
  if (partition.fileSystem.empty()) return s;
  s[0] = 0xEB;
  s[1] = 0x58;
  s[2] = 0x90;
  std::memcpy(s.data() + 3, "MSDOS5.0", 8);
  PutCode(s, 90, 510, partition.bootCode);
  s[510] = 0x55;
  s[511] = 0xAA;
  return s;
}

bool ReadSectors(const DeviceTarget& target, uint64_t offset, size_t size, std::vector<uint8_t>& out) {
  if (size == 0 || size % kSectorBytes || offset % kSectorBytes) return false;
  out.assign(size, 0);
  auto place = [&](uint64_t sectorByte, const std::vector<uint8_t>& sector) {
    if (sectorByte >= offset && sectorByte - offset < size)
      std::memcpy(out.data() + (sectorByte - offset), sector.data(), kSectorBytes);
  };
  if (target.volume.kind == Volume::Kind::kPartition) {
    const Partition& p = *target.volume.partition;
    if (offset > p.Bytes() || size > p.Bytes() - offset) return false;
    place(0, PartitionBootSector(p));
    return true;
  }
  if (target.volume.Exists() || !target.disk || !target.disk->media) return false;
  const Disk& d = *target.disk;
  if (offset > d.sizeBytes || size > d.sizeBytes - offset) return false;
  place(0, MasterBootRecord(d));
  for (const Partition& p : d.partitions) place(p.start * kSectorBytes, PartitionBootSector(p));
  return true;
}

}  // namespace os::sim
