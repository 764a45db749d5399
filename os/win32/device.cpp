#include "os/device.h"

#include <windows.h>

#include <cstring>
#include <memory>

#include "os/win32/handle.h"
#include "os/win32/wide.h"

namespace os {

struct Device::Impl {
  win32::Handle handle;
};

Device::Device() = default;
Device::~Device() = default;
Device::Device(Device&&) noexcept = default;
Device& Device::operator=(Device&&) noexcept = default;
Device::Device(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
bool Device::IsOpen() const { return impl_ && impl_->handle.valid(); }
void Device::Close() { impl_.reset(); }

Device OpenDevice(std::string_view path, uint32_t access, uint32_t share) {
  HANDLE h = CreateFileW(win32::Wide(path).c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    SetLastError(0);
    return Device();
  }
  auto impl = std::make_unique<Device::Impl>();
  impl->handle = win32::Handle(h);
  return Device(std::move(impl));
}

bool DeviceControl(const Device& device, uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out,
                   uint32_t* returned) {
  if (returned) *returned = 0;
  if (!device.IsOpen()) return false;
  DWORD n = 0;
  BOOL ok = DeviceIoControl(device.impl()->handle.get(), code, const_cast<uint8_t*>(in.data()),
                            static_cast<DWORD>(in.size()), out.data(), static_cast<DWORD>(out.size()), &n, nullptr);
  // A partly filled answer is an answer: *returned tells how much is there.
  if (!ok && GetLastError() == ERROR_MORE_DATA) ok = TRUE;
  if (returned) *returned = n;
  return ok != FALSE;
}

bool ReadDevice(const Device& device, uint64_t offset, std::span<uint8_t> out) {
  if (!device.IsOpen() || out.empty() || out.size() % kSectorBytes || offset % kSectorBytes) return false;
  if (out.size() > 0x100000) return false;  // a few sectors are read, never more than a MB
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(device.impl()->handle.get(), at, nullptr, FILE_BEGIN)) return false;
  // A raw device wants a buffer on a sector boundary of memory too.
  auto raw = std::make_unique<uint8_t[]>(out.size() + kSectorBytes);
  uintptr_t address = reinterpret_cast<uintptr_t>(raw.get());
  uint8_t* aligned = raw.get() + (kSectorBytes - address % kSectorBytes) % kSectorBytes;
  DWORD n = 0;
  if (!ReadFile(device.impl()->handle.get(), aligned, static_cast<DWORD>(out.size()), &n, nullptr)) return false;
  if (n != out.size()) return false;
  std::memcpy(out.data(), aligned, out.size());
  return true;
}

}  // namespace os
