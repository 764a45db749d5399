#include "os/file.h"

#include <windows.h>

#include "os/win32/handle.h"
#include "os/win32/wide.h"

namespace os {

struct File::Impl {
  win32::Handle handle;
};

File::File() = default;
File::~File() { Close(); }
File::File(File&&) noexcept = default;
File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    impl_ = std::move(other.impl_);
  }
  return *this;
}

File File::Open(std::string_view path, Mode mode, uint32_t* error) {
  DWORD access = mode == Mode::kRead ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
  DWORD share = mode == Mode::kRead ? FILE_SHARE_READ : 0;
  DWORD disposition = mode == Mode::kRead ? OPEN_EXISTING : mode == Mode::kCreateTruncate ? CREATE_ALWAYS : OPEN_ALWAYS;
  if (mode == Mode::kAppend) {
    access = FILE_APPEND_DATA | SYNCHRONIZE;
    share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  }
  HANDLE h = CreateFileW(win32::Wide(path).c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  File file;
  if (h == INVALID_HANDLE_VALUE) {
    if (error) *error = GetLastError();
    return file;
  }
  file.impl_ = std::make_unique<Impl>();
  file.impl_->handle = win32::Handle(h);
  if (error) *error = 0;
  return file;
}

bool File::IsOpen() const { return impl_ && impl_->handle.valid(); }

void File::Close() { impl_.reset(); }

bool File::Read(void* buffer, size_t size, size_t* got, uint32_t* error) {
  *got = 0;
  if (!IsOpen()) {
    if (error) *error = ERROR_INVALID_HANDLE;
    return false;
  }
  char* p = static_cast<char*>(buffer);
  while (*got < size) {
    DWORD n = 0;
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - *got, 1u << 30));
    if (!ReadFile(impl_->handle.get(), p + *got, chunk, &n, nullptr)) {
      if (error) *error = GetLastError();
      return false;
    }
    if (n == 0) break;
    *got += n;
  }
  return true;
}

bool File::Write(const void* buffer, size_t size, uint32_t* error) {
  if (!IsOpen()) {
    if (error) *error = ERROR_INVALID_HANDLE;
    return false;
  }
  const char* p = static_cast<const char*>(buffer);
  size_t done = 0;
  while (done < size) {
    DWORD n = 0;
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 30));
    if (!WriteFile(impl_->handle.get(), p + done, chunk, &n, nullptr)) {
      if (error) *error = GetLastError();
      return false;
    }
    done += n;
  }
  return true;
}

bool File::SetLength(uint64_t length, uint32_t* error) {
  LARGE_INTEGER at, old;
  at.QuadPart = static_cast<LONGLONG>(length);
  LARGE_INTEGER zero{};
  if (!IsOpen() || !SetFilePointerEx(impl_->handle.get(), zero, &old, FILE_CURRENT) ||
      !SetFilePointerEx(impl_->handle.get(), at, nullptr, FILE_BEGIN) || !SetEndOfFile(impl_->handle.get())) {
    if (error) *error = GetLastError();
    return false;
  }
  SetFilePointerEx(impl_->handle.get(), old, nullptr, FILE_BEGIN);
  return true;
}

std::optional<uint64_t> File::Size() const {
  LARGE_INTEGER size;
  if (!IsOpen() || !GetFileSizeEx(impl_->handle.get(), &size)) return std::nullopt;
  return static_cast<uint64_t>(size.QuadPart);
}

}  // namespace os
