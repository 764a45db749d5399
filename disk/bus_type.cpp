#include "disk/bus_type.h"

#include <vector>

#include "disk/device_requests.h"
#include "os/device.h"

namespace disk {
namespace {

constexpr size_t kBusTypeAnswerBytes = 1024;

}  // namespace

int32_t BusTypeOf(std::span<const uint8_t> descriptor) {
  return static_cast<int32_t>(ReadLe32(descriptor, 28));
}

std::string GetBusType(std::string_view volume) {
  // No read access: the query needs none, and a volume opened for reading
  // is mounted, every volume on every rebuild of the list.
  os::Device device = os::OpenDevice("\\\\.\\" + std::string(volume), 0, kDeviceShare);
  if (!device.IsOpen()) return "";
  // Only the fixed part of the descriptor is wanted, but the buffer has room
  // for the texts as well: some drivers refuse a buffer the whole descriptor
  // does not fit, others fill what fits and say there is more (which the
  // seam takes as an answer).
  std::vector<uint8_t> descriptor(kBusTypeAnswerBytes, 0);
  auto query = StandardDevicePropertyQuery();
  uint32_t returned = 0;
  // A failed request, or one that did not reach the bus type, reads as bus
  // type zero (unknown), whatever it may have left in the buffer.
  if (!os::DeviceControl(device, kIoctlStorageQueryProperty, query, descriptor, &returned) || returned < 32)
    return "0";
  return std::to_string(BusTypeOf(descriptor));
}

}  // namespace disk
