// Device handles of the simulated machine. Volume devices ("\\.\E:") and
// disk devices ("\\.\PhysicalDrive1") answer the storage requests with the
// byte layouts that Windows uses, built from the machine description.
#include "os/device.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "os/sim/device_answers.h"
#include "os/sim/device_sectors.h"
#include "os/sim/paths.h"
#include "os/sim/sim.h"
#include "os/sim/volumes.h"

namespace os {

struct Device::Impl {
  enum class Target { kVolume, kDisk } target = Target::kVolume;
  char letter = 0;
  int diskNumber = -1;
};

Device::Device() = default;
Device::~Device() = default;
Device::Device(Device&&) noexcept = default;
Device& Device::operator=(Device&&) noexcept = default;
Device::Device(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
bool Device::IsOpen() const { return impl_ != nullptr; }
void Device::Close() { impl_.reset(); }

Device OpenDevice(std::string_view path, uint32_t /*access*/, uint32_t /*share*/) {
  std::string p(path);
  if (p.rfind("\\\\.\\", 0) != 0 && p.rfind("\\\\?\\", 0) != 0) return Device();
  std::string name = p.substr(4);
  auto machine = sim::Current();
  auto impl = std::make_unique<Device::Impl>();
  if (name.size() == 2 && name[1] == ':' && isalpha(static_cast<unsigned char>(name[0]))) {
    sim::Volume v = sim::FindVolume(*machine, name[0]);
    // A network drive has no volume device on this machine; the others do,
    // with or without a medium.
    if (!v.Exists() || v.kind == sim::Volume::Kind::kNetwork) return Device();
    impl->letter = static_cast<char>(toupper(static_cast<unsigned char>(name[0])));
    return Device(std::move(impl));
  }
  std::string upper = sim::UpperAscii(name);
  if (upper.rfind("PHYSICALDRIVE", 0) == 0 && upper.size() > 13) {
    std::string digits = upper.substr(13);
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return isdigit(static_cast<unsigned char>(c)); }))
      return Device();
    // A number past any disk's (leading zeros aside) names no device: the open fails.
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
    if (digits.size() > 9) return Device();
    int number = std::stoi(digits);
    if (!machine->FindDisk(number)) return Device();
    impl->target = Device::Impl::Target::kDisk;
    impl->diskNumber = number;
    return Device(std::move(impl));
  }
  return Device();
}

namespace {

sim::DeviceTarget TargetOf(const sim::Machine& machine, const Device& device) {
  sim::DeviceTarget target;
  if (device.impl()->target == Device::Impl::Target::kDisk) {
    target.disk = machine.FindDisk(device.impl()->diskNumber);
  } else {
    target.volume = sim::FindVolume(machine, device.impl()->letter);
    target.disk = target.volume.disk;
  }
  return target;
}

}  // namespace

bool DeviceControl(const Device& device, uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out,
                   uint32_t* returned) {
  if (returned) *returned = 0;
  if (!device.IsOpen()) return false;
  auto machine = sim::Current();
  sim::DeviceTarget target = TargetOf(*machine, device);
  if (device.impl()->target == Device::Impl::Target::kDisk && !target.disk) return false;
  std::vector<uint8_t> answer;
  if (!sim::AnswerRequest(target, code, in, out.size(), answer)) return false;
  size_t n = std::min(answer.size(), out.size());
  std::memcpy(out.data(), answer.data(), n);
  if (returned) *returned = static_cast<uint32_t>(n);
  return true;
}

// The sectors are built from the machine description (os/sim/device_sectors.h).
bool ReadDevice(const Device& device, uint64_t offset, std::span<uint8_t> out) {
  if (!device.IsOpen()) return false;
  auto machine = sim::Current();
  sim::DeviceTarget target = TargetOf(*machine, device);
  std::vector<uint8_t> bytes;
  if (!sim::ReadSectors(target, offset, out.size(), bytes)) return false;
  std::memcpy(out.data(), bytes.data(), out.size());
  return true;
}

}  // namespace os
