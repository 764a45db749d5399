// Which disk, and which partition of it, holds a volume.
//
// Public: DeviceNumberTexts, GetDeviceNumber(), GetDiskNumOfLetter().
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace disk {

// Device type, device number and partition number, each in decimal; all
// three empty when the query fails. CD and DVD drives report partition 0,
// other devices that cannot be partitioned -1.
using DeviceNumberTexts = std::array<std::string, 3>;

// path is anything OpenDevicePath accepts ("E:", "\\.\E:", ...).
DeviceNumberTexts GetDeviceNumber(std::string_view path);

// volume is a letter and colon ("E:"). The disk number, or with
// wantPartition the partition number, in decimal; "" when the volume is not
// on a disk.
std::string GetDiskNumOfLetter(std::string_view volume, bool wantPartition);

}  // namespace disk
