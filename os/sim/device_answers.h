// The answers of simulated devices to I/O control requests, as the bytes
// Windows would place in the output buffer.
//
// Public: struct DeviceTarget, AnswerRequest(), StorageDescriptor().
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "os/sim/machine.h"
#include "os/sim/volumes.h"

namespace os::sim {

constexpr uint32_t kIoctlStorageQueryProperty = 0x002D1400;
constexpr uint32_t kIoctlStorageGetDeviceNumber = 0x002D1080;
constexpr uint32_t kIoctlDiskGetDriveGeometry = 0x00070000;
constexpr uint32_t kIoctlDiskGetDriveLayoutEx = 0x00070050;
constexpr uint32_t kIoctlDiskGetLengthInfo = 0x0007405C;

struct DeviceTarget {
  Volume volume;              // for a volume device
  const Disk* disk = nullptr; // the disk behind it, or the disk device itself
};

// False when the device fails the request (the output is then unchanged).
bool AnswerRequest(const DeviceTarget& target, uint32_t code, std::span<const uint8_t> in, size_t outSize,
                   std::vector<uint8_t>& answer);

// STORAGE_DEVICE_DESCRIPTOR followed by its texts: vendor padded to 8
// characters, product to 16, revision to 4, as devices report them.
std::vector<uint8_t> StorageDescriptor(uint8_t deviceType, bool removable, int bus, const std::string& vendor,
                                       const std::string& product, const std::string& revision,
                                       const std::string& serial);

}  // namespace os::sim
