// The storage descriptor a device answers (STORAGE_DEVICE_DESCRIPTOR): any
// answer decodes without reading past its end, whatever its text offsets say,
// both as a volume's identity and as a disk's (with its serial number), and
// its description is built from whatever the texts hold.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "disk/device_identity.h"
#include "disk/disk_identity.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact copy on the heap, so that a read past the answer is caught.
  std::vector<uint8_t> answer(data, data + size);
  disk::DecodeDeviceIdentity(std::span<const uint8_t>(answer.data(), answer.size()));
  disk::DiskIdentity id = disk::DecodeDiskIdentity(1, std::span<const uint8_t>(answer.data(), answer.size()), size);
  disk::DescribeDiskIdentity(id);
  disk::SameDisk(id, id);
  for (size_t offset : {size_t{0}, size / 2, size, size + 1}) disk::ReadAnsiZ(answer, offset);
  return 0;
}
