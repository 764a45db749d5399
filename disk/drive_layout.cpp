#include "disk/drive_layout.h"

#include <algorithm>
#include <array>
#include <string>

#include "disk/device_path.h"
#include "disk/device_requests.h"

namespace disk {
namespace {

constexpr size_t kHeaderBytes = 48;
constexpr size_t kEntryBytes = 144;
constexpr uint32_t kMaxSlots = 128;  // a hostile count never sizes a loop

}  // namespace

std::optional<std::vector<TablePartition>> ParseDriveLayout(std::span<const uint8_t> answer) {
  if (answer.size() < kHeaderBytes) return std::nullopt;
  if (ReadLe32(answer, 0) != 0) return std::nullopt;  // not PARTITION_STYLE_MBR
  uint32_t count = ReadLe32(answer, 4);
  if (count > kMaxSlots || answer.size() < kHeaderBytes + kEntryBytes * count) return std::nullopt;
  std::vector<TablePartition> out;
  for (uint32_t i = 0; i < count; ++i) {
    size_t at = kHeaderBytes + kEntryBytes * i;
    TablePartition p;
    p.startBytes = ReadLe64(answer, at + 8);
    p.lengthBytes = ReadLe64(answer, at + 16);
    p.type = answer[at + 32];
    p.active = answer[at + 33] != 0;
    if (p.type == 0 || p.lengthBytes == 0) continue;
    out.push_back(p);
  }
  return out;
}

std::optional<DriveLayout> ReadDriveLayout(int disk) {
  os::Device device = os::OpenDevice(PhysicalDrivePath(disk), os::kGenericRead, kDeviceShare);
  if (!device.IsOpen()) return std::nullopt;
  std::array<uint8_t, kHeaderBytes + kEntryBytes * 16> raw{};
  uint32_t returned = 0;
  if (!os::DeviceControl(device, kIoctlDiskGetDriveLayoutEx, {}, raw, &returned)) return std::nullopt;
  auto partitions = ParseDriveLayout(std::span<const uint8_t>(raw.data(), std::min<size_t>(returned, raw.size())));
  if (!partitions) return std::nullopt;
  std::optional<uint64_t> length = DiskLengthBytes(device);
  if (!length) return std::nullopt;
  DriveLayout layout;
  layout.diskBytes = *length;
  layout.partitions = std::move(*partitions);
  return layout;
}

}  // namespace disk
