// Who made the disk behind a drive letter: its bus, whether its media are
// removable, and its vendor, product, revision and serial number texts.
//
// Public: struct DeviceIdentity, GetDeviceIdentity(), DecodeDeviceIdentity(),
//         ReadAnsiZ(), kIdentityAnswerBytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace disk {

struct DeviceIdentity {
  bool valid = false;      // the query succeeded
  int32_t busType = 0;     // STORAGE_BUS_TYPE (7 = USB)
  bool removable = false;  // the descriptor's RemovableMedia is non-zero
  std::string vendorId;
  std::string productId;
  std::string productRevision;
  std::string serialNumber;  // "" when the device reports none
};

// The identity query's answer buffer.
constexpr size_t kIdentityAnswerBytes = 10000;

// The NUL-terminated ANSI text that starts at `offset` in `buffer`, in
// UTF-8, without leading and trailing spaces. Reading never leaves the
// buffer: an offset at or past its end gives "", and a text without a NUL
// ends at the buffer's end.
std::string ReadAnsiZ(std::span<const uint8_t> buffer, size_t offset);

// The record out of a STORAGE_DEVICE_DESCRIPTOR answer. A text whose offset
// is 0 stays empty.
DeviceIdentity DecodeDeviceIdentity(std::span<const uint8_t> answer);

// volume is a letter and colon ("E:"). valid is false, and every other field
// empty, when the volume cannot be opened or does not answer.
DeviceIdentity GetDeviceIdentity(std::string_view volume);

}  // namespace disk
