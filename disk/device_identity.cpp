#include "disk/device_identity.h"

#include <algorithm>
#include <array>
#include <vector>

#include "disk/bus_type.h"
#include "disk/device_requests.h"
#include "os/ansi.h"
#include "os/device.h"
#include "sys/text.h"

namespace disk {

std::string ReadAnsiZ(std::span<const uint8_t> buffer, size_t offset) {
  if (offset >= buffer.size()) return "";
  auto begin = buffer.begin() + static_cast<std::ptrdiff_t>(offset);
  auto end = std::find(begin, buffer.end(), uint8_t{0});
  std::string bytes(begin, end);
  return sys::TrimSpaces(os::FromAnsi(bytes));
}

DeviceIdentity DecodeDeviceIdentity(std::span<const uint8_t> answer) {
  // The fixed part of the descriptor is read from the first 35 bytes only,
  // as the query has always done; the rest of the 40 stays zero.
  std::array<uint8_t, 40> head{};
  std::copy_n(answer.begin(), std::min<size_t>(35, answer.size()), head.begin());

  DeviceIdentity id;
  id.valid = true;
  id.busType = BusTypeOf(head);
  id.removable = head[10] != 0;
  auto text = [&](size_t field, std::string& out) {
    uint32_t offset = ReadLe32(head, field);
    if (offset > 0) out = ReadAnsiZ(answer, offset);
  };
  text(16, id.productId);
  text(20, id.productRevision);
  text(12, id.vendorId);
  text(24, id.serialNumber);
  return id;
}

DeviceIdentity GetDeviceIdentity(std::string_view volume) {
  os::Device device = os::OpenDevice("\\\\.\\" + std::string(volume), 0, kDeviceShare);
  if (!device.IsOpen()) return {};
  std::vector<uint8_t> answer(kIdentityAnswerBytes, 0);
  auto query = StandardDevicePropertyQuery();
  if (!os::DeviceControl(device, kIoctlStorageQueryProperty, query, answer)) return {};
  return DecodeDeviceIdentity(answer);
}

}  // namespace disk
