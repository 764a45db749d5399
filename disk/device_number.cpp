#include "disk/device_number.h"

#include <array>

#include "disk/device_path.h"
#include "disk/device_requests.h"
#include "os/device.h"
#include "sys/text.h"

namespace disk {

DeviceNumberTexts GetDeviceNumber(std::string_view path) {
  DeviceNumberTexts texts;
  os::Device device = OpenDevicePath(path, false);
  if (!device.IsOpen()) return texts;
  std::array<uint8_t, 16> raw{};
  if (!os::DeviceControl(device, kIoctlStorageGetDeviceNumber, {}, raw)) return texts;
  uint32_t type = ReadLe32(raw, 0);
  uint32_t number = ReadLe32(raw, 4);
  // The partition number is signed: -1 marks a device without partitions.
  int32_t partition = static_cast<int32_t>(ReadLe32(raw, 8));
  if (type == kFileDeviceCdRom || type == kFileDeviceDvd) partition = 0;
  texts = {std::to_string(type), std::to_string(number), std::to_string(partition)};
  return texts;
}

std::string GetDiskNumOfLetter(std::string_view volume, bool wantPartition) {
  DeviceNumberTexts texts = GetDeviceNumber("\\\\.\\" + std::string(volume));
  if (sys::Val(texts[0]) != kFileDeviceDisk || texts[1].empty() || texts[2].empty()) return "";
  return wantPartition ? texts[2] : texts[1];
}

}  // namespace disk
