// Devices opened by path ("\\.\E:") and their I/O control requests.
//
// Public: class Device (an open handle that closes itself), OpenDevice(), DeviceControl(),
//         ReadDevice(), kSectorBytes.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace os {

enum : uint32_t {
  kGenericRead = 0x80000000u,
  kShareRead = 0x1,
  kShareWrite = 0x2,
};

class Device {
 public:
  Device();
  ~Device();
  Device(Device&&) noexcept;
  Device& operator=(Device&&) noexcept;
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  bool IsOpen() const;
  void Close();

  struct Impl;
  explicit Device(std::unique_ptr<Impl> impl);
  Impl* impl() const { return impl_.get(); }

 private:
  std::unique_ptr<Impl> impl_;
};

// CreateFile with OPEN_EXISTING and no flags. Not open on failure.
Device OpenDevice(std::string_view path, uint32_t access, uint32_t share);

// DeviceIoControl: sends `in`, receives at most out.size() bytes into `out`.
// *returned gets the byte count the device reported. A device that fills
// the buffer and says there is more (ERROR_MORE_DATA) has answered: true,
// with *returned the bytes it filled.
bool DeviceControl(const Device& device, uint32_t code, std::span<const uint8_t> in,
                   std::span<uint8_t> out, uint32_t* returned = nullptr);

constexpr size_t kSectorBytes = 512;

// ReadFile of out.size() bytes (a whole number of sectors) from the byte
// `offset` (a sector boundary) of a disk ("\\.\PhysicalDriveN") or volume
// ("\\.\E:") device opened with kGenericRead. True only when every byte
// was read; `out` is unchanged otherwise.
bool ReadDevice(const Device& device, uint64_t offset, std::span<uint8_t> out);

}  // namespace os
