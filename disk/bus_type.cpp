#include "disk/bus_type.h"

#include <array>

#include "disk/device_requests.h"
#include "os/device.h"

namespace disk {

int32_t BusTypeOf(std::span<const uint8_t> descriptor) {
  return static_cast<int32_t>(ReadLe32(descriptor, 28));
}

std::string GetBusType(std::string_view volume) {
  os::Device device = os::OpenDevice("\\\\.\\" + std::string(volume), os::kGenericRead, kDeviceShare);
  if (!device.IsOpen()) return "";
  // Only the fixed part of the descriptor is wanted; its texts do not fit.
  std::array<uint8_t, 40> descriptor{};
  descriptor[4] = 40;  // Size
  auto query = StandardDevicePropertyQuery();
  // A failed request reads as bus type zero (unknown), whatever it may have
  // left in the buffer.
  if (!os::DeviceControl(device, kIoctlStorageQueryProperty, query, descriptor)) return "0";
  return std::to_string(BusTypeOf(descriptor));
}

}  // namespace disk
