#include "disk/disk_identity.h"

#include <array>
#include <cstdio>
#include <optional>
#include <vector>

#include "disk/device_identity.h"
#include "disk/device_path.h"
#include "disk/device_requests.h"
#include "disk/disk_size.h"
#include "os/device.h"

namespace disk {
namespace {

std::string BusText(int32_t bus) {
  switch (bus) {
    case 1: return "SCSI";
    case 2: return "ATAPI";
    case 3: return "ATA";
    case 7: return "USB";
    case 11: return "SATA";
    case 12: return "SD";
    case 17: return "NVMe";
    default: return "bus " + std::to_string(bus);
  }
}

std::string SizeText(uint64_t bytes) {
  char text[48];
  double gb = static_cast<double>(bytes) / (1ull << 30);
  if (gb >= 1) snprintf(text, sizeof text, "%.2f GB", gb);
  else snprintf(text, sizeof text, "%.2f MB", static_cast<double>(bytes) / (1ull << 20));
  return text;
}

}  // namespace

DiskIdentity DecodeDiskIdentity(int number, std::span<const uint8_t> descriptor, uint64_t sizeBytes) {
  DeviceIdentity device = DecodeDeviceIdentity(descriptor);
  DiskIdentity id;
  id.present = true;
  id.number = number;
  id.busType = device.busType;
  id.vendor = device.vendorId;
  id.product = device.productId;
  id.revision = device.productRevision;
  if (uint32_t offset = ReadLe32(descriptor, 24); offset > 0) id.serial = ReadAnsiZ(descriptor, offset);
  id.sizeBytes = sizeBytes;
  return id;
}

DiskIdentity ReadDiskIdentity(int number) {
  DiskIdentity none;
  none.number = number;
  if (number < 0) return none;
  os::Device device = os::OpenDevice(PhysicalDrivePath(number), 0, kDeviceShare);
  if (!device.IsOpen()) return none;
  std::vector<uint8_t> answer(kIdentityAnswerBytes, 0);
  auto query = StandardDevicePropertyQuery();
  uint32_t returned = 0;
  if (!os::DeviceControl(device, kIoctlStorageQueryProperty, query, answer, &returned) || returned < 8) return none;
  answer.resize(returned);

  std::optional<uint64_t> length = DiskLengthBytes(device);
  if (!length) {
    os::Device reading = os::OpenDevice(PhysicalDrivePath(number), os::kGenericRead, kDeviceShare);
    if (reading.IsOpen()) length = DiskLengthBytes(reading);
  }
  uint64_t size = length ? *length : DiskSizeBytes(GetDriveGeometry(device));
  return DecodeDiskIdentity(number, answer, size);
}

bool SameDisk(const DiskIdentity& chosen, const DiskIdentity& now) {
  if (!chosen.present || !now.present) return false;
  if (!chosen.serial.empty() && !now.serial.empty() && chosen.serial != now.serial) return false;
  return chosen.number == now.number && chosen.busType == now.busType && chosen.vendor == now.vendor &&
         chosen.product == now.product && chosen.revision == now.revision && chosen.sizeBytes == now.sizeBytes;
}

std::string DescribeDiskIdentity(const DiskIdentity& id) {
  std::string text = "disk " + std::to_string(id.number);
  if (!id.present) return text + " (not there)";
  std::string model = id.vendor;
  for (const std::string* part : {&id.product, &id.revision})
    if (!part->empty()) model += (model.empty() ? "" : " ") + *part;
  text += " (" + BusText(id.busType);
  if (!model.empty()) text += ", " + model;
  text += id.serial.empty() ? ", no serial" : ", serial " + id.serial;
  return text + ", " + SizeText(id.sizeBytes) + ")";
}

}  // namespace disk
