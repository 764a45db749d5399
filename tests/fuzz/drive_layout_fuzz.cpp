// The partition table a disk answers (DRIVE_LAYOUT_INFORMATION_EX): any
// answer decodes without reading past its end, whatever its count says.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "disk/drive_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact copy on the heap, so that a read past the answer is caught.
  std::vector<uint8_t> answer(data, data + size);
  auto partitions = disk::ParseDriveLayout(std::span<const uint8_t>(answer.data(), answer.size()));
  if (partitions)
    for (const disk::TablePartition& p : *partitions)
      if (p.type == 0 || p.lengthBytes == 0) abort();
  return 0;
}
