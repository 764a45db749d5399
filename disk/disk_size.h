// The geometry of the disk behind an open volume, and its size as text.
//
// Public: struct DiskGeometry, GetDriveGeometry(), DiskSizeBytes(),
//         ExactQuotientText(), FormatDiskSize().
#pragma once

#include <cstdint>
#include <string>

#include "os/device.h"

namespace disk {

// DISK_GEOMETRY as the device reports it.
struct DiskGeometry {
  int64_t cylinders = 0;
  uint32_t mediaType = 0;
  uint32_t tracksPerCylinder = 0;
  uint32_t sectorsPerTrack = 0;
  uint32_t bytesPerSector = 0;
};

// All zero when the device is not open or the request fails.
DiskGeometry GetDriveGeometry(const os::Device& device);

// Cylinders × tracks × sectors × bytes, exactly: the capacity of the whole
// cylinders. A geometry that cannot describe a real disk (negative
// cylinders, or a product beyond 64 bits) counts as no disk at all: 0.
uint64_t DiskSizeBytes(const DiskGeometry& geometry);

// value / 2^shift as an exact plain decimal text ("1023.9990234375"),
// shift 0 to 60.
std::string ExactQuotientText(uint64_t value, int shift);

// The size with two decimals in the user's number format and a 1024-based
// unit: "15.00 GB", "1,024.00 KB", "0.00 KB" for an empty geometry.
std::string FormatDiskSize(const DiskGeometry& geometry);

}  // namespace disk
