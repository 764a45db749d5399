// Who a disk is, asked by its disk number: the record that tells the disk
// the user chose from any other disk that later gets the same number.
//
// Public: struct DiskIdentity, DecodeDiskIdentity(), ReadDiskIdentity(),
//         SameDisk(), DescribeDiskIdentity().
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace disk {

struct DiskIdentity {
  bool present = false;  // the disk device opened and answered the storage query
  int number = -1;
  int32_t busType = 0;   // STORAGE_BUS_TYPE (7 = USB)
  std::string vendor, product, revision, serial;
  uint64_t sizeBytes = 0;  // 0 when the disk told no size (no medium)
};

// The record out of a storage descriptor answer and the disk's size.
DiskIdentity DecodeDiskIdentity(int number, std::span<const uint8_t> descriptor, uint64_t sizeBytes);

// Opens \\.\PhysicalDrive<number> with no access rights for the storage
// query. The size is the disk's length; the length query wants read
// access, so the disk is opened once more for reading to ask it, and a disk
// that answers neither gives the capacity of its geometry. present is false
// when there is no such disk or it does not answer the storage query.
DiskIdentity ReadDiskIdentity(int number);

// Whether `now` is the disk `chosen` was. A disk that is gone is not. When
// both carry a serial the serials decide with the rest (a serial that
// differs is another disk, however alike the two are); when either lacks
// one, number, bus, vendor, product, revision and size must all agree.
bool SameDisk(const DiskIdentity& chosen, const DiskIdentity& now);

// The record in plain words: "disk 1 (USB, Generic Flash Disk 8.07, serial
// 0123, 16.00 GB)", or "disk 1 (not there)".
std::string DescribeDiskIdentity(const DiskIdentity& identity);

}  // namespace disk
