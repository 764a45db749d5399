#include "disk/device_path.h"

#include "disk/device_requests.h"
#include "sys/text.h"

namespace disk {
namespace {

bool HasDevicePrefix(std::string_view path) {
  return path.size() >= 4 && path[0] == '\\' && path[1] == '\\' && (path[2] == '.' || path[2] == '?') &&
         path[3] == '\\';
}

// "NAME{" + anything + "}" + anything, on the upper-cased path.
bool IsObjectName(const std::string& upper, std::string_view name) {
  if (upper.compare(0, name.size(), name) != 0) return false;
  return upper.find('}', name.size()) != std::string::npos;
}

}  // namespace

std::string StripTrailingSlash(std::string_view path) {
  if (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.remove_suffix(1);
  return std::string(path);
}

std::string DevicePathOf(std::string_view path) {
  std::string full(path);
  if (!HasDevicePrefix(path)) {
    std::string upper = sys::UpperAscii(path);
    if (IsObjectName(upper, "DISK{") || IsObjectName(upper, "VOLUME{"))
      full = "\\\\?\\" + full;
    else
      full = "\\\\.\\" + full;
  }
  return StripTrailingSlash(full);
}

os::Device OpenDevicePath(std::string_view path, bool wantRead) {
  return os::OpenDevice(DevicePathOf(path), wantRead ? uint32_t{os::kGenericRead} : uint32_t{0}, kDeviceShare);
}

}  // namespace disk
