// The storage bus of the disk behind a drive letter.
//
// Public functions:
//   GetBusType()   the bus type number as decimal text ("7" for USB)
//   BusTypeOf()    the same field decoded from a raw descriptor answer
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace disk {

// volume is a letter and colon ("E:"). "" when the volume cannot be opened;
// "0" when the device does not answer the storage query.
std::string GetBusType(std::string_view volume);

// BusType of a STORAGE_DEVICE_DESCRIPTOR (offset 28). The whole 32-bit field
// is taken, so a value such as 0x00010007 is not mistaken for USB (7).
int32_t BusTypeOf(std::span<const uint8_t> descriptor);

}  // namespace disk
