// Opening a device by the name a caller has for it.
//
// Public functions:
//   StripTrailingSlash()  the path without one trailing '\' or '/'
//   OpenDevicePath()      opens "E:", "E:\", "\\.\E:", "\\?\..." or
//                         "Volume{...}" / "Disk{...}" for device requests
//   DevicePathOf()        the full device path that OpenDevicePath opens
//   PhysicalDrivePath()   "\\.\PhysicalDrive<n>", the device of disk n
#pragma once

#include <string>
#include <string_view>

#include "os/device.h"

namespace disk {

std::string StripTrailingSlash(std::string_view path);

// Paths that do not begin with "\\.\" or "\\?\" get one of them: "\\?\" for
// the bare names of volume and disk objects (Volume{...}, Disk{...}, any
// case), "\\.\" for everything else. One trailing slash is dropped. With
// wantRead the device is opened for reading, else with no access rights
// (enough for the storage requests). On failure the device is not open.
os::Device OpenDevicePath(std::string_view path, bool wantRead);

// The full device path that OpenDevicePath opens for `path`.
std::string DevicePathOf(std::string_view path);

// The device of the disk with this number: "\\.\PhysicalDrive1".
inline std::string PhysicalDrivePath(int number) { return "\\\\.\\PhysicalDrive" + std::to_string(number); }

}  // namespace disk
