// The storage descriptor a device answers (STORAGE_DEVICE_DESCRIPTOR): any
// answer decodes without reading past its end, whatever its text offsets say.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "disk/device_identity.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact copy on the heap, so that a read past the answer is caught.
  std::vector<uint8_t> answer(data, data + size);
  disk::DecodeDeviceIdentity(std::span<const uint8_t>(answer.data(), answer.size()));
  for (size_t offset : {size_t{0}, size / 2, size, size + 1}) disk::ReadAnsiZ(answer, offset);
  return 0;
}
