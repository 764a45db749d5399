// The judge of a disk's first sectors read back after a make: any sector,
// judged against any partition table a disk answers, gives a verdict
// without reading past its bytes, and never passes a sector that lacks the
// boot signature. The input is the sector (its first 512 bytes, or all of
// it when shorter) followed by a DRIVE_LAYOUT_INFORMATION_EX answer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "disk/drive_layout.h"
#include "make/boot_code.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t sectorBytes = size < 512 ? size : 512;
  // Exact copies on the heap, so that a read past either is caught.
  std::vector<uint8_t> sector(data, data + sectorBytes);
  std::vector<uint8_t> answer(data + sectorBytes, data + size);
  disk::DriveLayout table;
  table.diskBytes = 16ull << 30;
  if (auto parts = disk::ParseDriveLayout(std::span<const uint8_t>(answer.data(), answer.size())))
    table.partitions = *parts;
  std::span<const uint8_t> s(sector.data(), sector.size());
  bool signed_ = sector.size() == 512 && sector[510] == 0x55 && sector[511] == 0xAA;
  for (bool needCode : {false, true})
    if (make::JudgeMasterBootRecord(s, table, needCode).empty() && !signed_) abort();
  if (make::JudgeBootSector(s).empty() && !signed_) abort();
  return 0;
}
