// The storage requests sent to volume devices: their control codes, the
// standard device-property query, and bounded little-endian readers for the
// raw answers.
//
// Public: CtlCode(), kIoctlStorageQueryProperty, kIoctlDiskGetDriveGeometry,
//         kIoctlStorageGetDeviceNumber, kIoctlDiskGetLengthInfo, kIoctlDiskGetDriveLayoutEx,
//         kDeviceShare, kFileDeviceDisk,
//         kFileDeviceCdRom, kFileDeviceDvd, kBusTypeUsb,
//         StandardDevicePropertyQuery(), ReadLe16(), ReadLe32(), ReadLe64(),
//         DiskLengthBytes().
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "os/device.h"

namespace disk {

// CTL_CODE: deviceType << 16 | access << 14 | function << 2 | method.
constexpr uint32_t CtlCode(uint32_t deviceType, uint32_t function, uint32_t method, uint32_t access) {
  return deviceType << 16 | access << 14 | function << 2 | method;
}

// The bus-type and identity queries (storage device, function 0x500,
// buffered, any access).
constexpr uint32_t kIoctlStorageQueryProperty = CtlCode(0x2D, 0x500, 0, 0);
constexpr uint32_t kIoctlDiskGetDriveGeometry = 0x00070000;
constexpr uint32_t kIoctlStorageGetDeviceNumber = 0x002D1080;
static_assert(kIoctlStorageQueryProperty == 0x002D1400);
// The disk's length in bytes (disk device, function 0x17, buffered, read
// access): one 64-bit value.
constexpr uint32_t kIoctlDiskGetLengthInfo = CtlCode(7, 0x17, 0, 1);
static_assert(kIoctlDiskGetLengthInfo == 0x0007405C);
// The disk's partition table (disk device, function 0x14, buffered, any
// access): DRIVE_LAYOUT_INFORMATION_EX.
constexpr uint32_t kIoctlDiskGetDriveLayoutEx = CtlCode(7, 0x14, 0, 0);
static_assert(kIoctlDiskGetDriveLayoutEx == 0x00070050);

// Volumes are opened so that others may go on reading and writing them.
constexpr uint32_t kDeviceShare = os::kShareRead | os::kShareWrite;

// Device types in a device-number answer.
constexpr uint32_t kFileDeviceCdRom = 2;
constexpr uint32_t kFileDeviceDisk = 7;
constexpr uint32_t kFileDeviceDvd = 0x33;

constexpr int32_t kBusTypeUsb = 7;

// STORAGE_PROPERTY_QUERY: StorageDeviceProperty (0), PropertyStandardQuery
// (0), no additional parameters; 12 bytes.
inline std::array<uint8_t, 12> StandardDevicePropertyQuery() { return {}; }

// Little-endian values out of an answer buffer. Bytes past the end of the
// buffer read as zero, so a short or truncated answer never reads outside it.
inline uint32_t ReadLe(std::span<const uint8_t> bytes, size_t at, int width) {
  uint32_t v = 0;
  for (int i = 0; i < width; ++i) {
    size_t k = at + static_cast<size_t>(i);
    if (k < at || k >= bytes.size()) break;
    v |= static_cast<uint32_t>(bytes[k]) << (8 * i);
  }
  return v;
}
inline uint16_t ReadLe16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(ReadLe(bytes, at, 2));
}
inline uint32_t ReadLe32(std::span<const uint8_t> bytes, size_t at) { return ReadLe(bytes, at, 4); }
inline uint64_t ReadLe64(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint64_t>(ReadLe32(bytes, at)) | static_cast<uint64_t>(ReadLe32(bytes, at + 4)) << 32;
}

// The disk's length in bytes from the length request; nothing when the
// device does not answer it whole.
inline std::optional<uint64_t> DiskLengthBytes(const os::Device& device) {
  std::array<uint8_t, 8> raw{};
  uint32_t returned = 0;
  if (!os::DeviceControl(device, kIoctlDiskGetLengthInfo, {}, raw, &returned) || returned < raw.size())
    return std::nullopt;
  return ReadLe64(raw, 0);
}

}  // namespace disk
