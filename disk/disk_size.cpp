#include "disk/disk_size.h"

#include <array>

#include "disk/device_requests.h"
#include "os/system.h"

namespace disk {

DiskGeometry GetDriveGeometry(const os::Device& device) {
  DiskGeometry g;
  if (!device.IsOpen()) return g;
  std::array<uint8_t, 24> raw{};
  if (!os::DeviceControl(device, kIoctlDiskGetDriveGeometry, {}, raw)) return g;
  g.cylinders = static_cast<int64_t>(ReadLe64(raw, 0));
  g.mediaType = ReadLe32(raw, 8);
  g.tracksPerCylinder = ReadLe32(raw, 12);
  g.sectorsPerTrack = ReadLe32(raw, 16);
  g.bytesPerSector = ReadLe32(raw, 20);
  return g;
}

uint64_t DiskSizeBytes(const DiskGeometry& g) {
  if (g.cylinders < 0) return 0;
  uint64_t size = static_cast<uint64_t>(g.cylinders);
  for (uint64_t factor : {uint64_t{g.tracksPerCylinder}, uint64_t{g.sectorsPerTrack}, uint64_t{g.bytesPerSector}}) {
    if (__builtin_mul_overflow(size, factor, &size)) return 0;
  }
  return size;
}

std::string ExactQuotientText(uint64_t value, int shift) {
  uint64_t mask = (uint64_t{1} << shift) - 1;
  std::string text = std::to_string(value >> shift);
  uint64_t rest = value & mask;
  if (rest == 0) return text;
  text += '.';
  // Each step moves one decimal digit out of the binary fraction; a
  // fraction of `shift` bits ends after at most `shift` digits. The rest
  // stays below 2^shift, so rest * 10 cannot overflow for shift <= 59.
  while (rest != 0) {
    rest *= 10;
    text += static_cast<char>('0' + (rest >> shift));
    rest &= mask;
  }
  return text;
}

std::string FormatDiskSize(const DiskGeometry& geometry) {
  uint64_t size = DiskSizeBytes(geometry);
  int shift = 40;
  const char* unit = " TB";
  if (size < (uint64_t{1} << 20)) {
    shift = 10;
    unit = " KB";
  } else if (size < (uint64_t{1} << 30)) {
    shift = 20;
    unit = " MB";
  } else if (size < (uint64_t{1} << 40)) {
    shift = 30;
    unit = " GB";
  }
  return os::FormatNumber(ExactQuotientText(size, shift), 2) + unit;
}

}  // namespace disk
