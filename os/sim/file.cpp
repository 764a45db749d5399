// Open files of the simulated machine: a host file descriptor behind a Windows path.
// Opens follow the sharing rules of CreateFile within the process: a file
// open for reading (others may read) can be opened for reading again; a file
// open for writing (others may do nothing) cannot be opened at all, and a
// file open for reading cannot be opened for writing (ERROR_SHARING_VIOLATION).
// A file on a CD drive cannot be opened for writing (ERROR_WRITE_PROTECT).
#include "os/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <vector>

#include "os/files.h"
#include "os/sim/host_files.h"
#include "os/sim/paths.h"
#include "os/sim/sim.h"
#include "os/sim/win_errors.h"

namespace os {

struct File::Impl {
  int fd = -1;
  dev_t device = 0;
  ino_t inode = 0;
  bool writes = false;  // opened for writing, shared with nobody; else for reading, shared for reading
  ~Impl();
};

namespace {

// The files this process holds open.
std::vector<const File::Impl*>& OpenFiles() {
  static std::vector<const File::Impl*> open;
  return open;
}

bool SharingAllows(const struct stat& st, bool writes) {
  for (const File::Impl* other : OpenFiles())
    if (other->device == st.st_dev && other->inode == st.st_ino && (writes || other->writes)) return false;
  return true;
}

// A CD's files are read only, whatever their attributes say.
bool OnCdDrive(const sim::Machine& machine, std::string_view path) {
  if (path.size() < 2 || path[1] != ':') return false;
  char letter = static_cast<char>(toupper(static_cast<unsigned char>(path[0])));
  for (const sim::Drive& drive : machine.drives)
    if (drive.letter == letter) return drive.kind == sim::Drive::Kind::kCdrom;
  return false;
}

}  // namespace

File::Impl::~Impl() {
  auto& open = OpenFiles();
  open.erase(std::remove(open.begin(), open.end(), this), open.end());
}

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
  File file;
  auto fail = [&](uint32_t code) {
    if (error) *error = code;
    return File();
  };
  auto host = sim::ToHost(*sim::Current(), path);
  if (!host) return fail(sim::kErrorPathNotFound);
  std::string parent = host->substr(0, host->rfind('/'));
  if (!sim::HostIsFolder(parent)) return fail(sim::kErrorPathNotFound);
  if (sim::HostIsFolder(*host)) return fail(sim::kErrorAccessDenied);
  bool exists = sim::HostIsFile(*host);
  if (mode == Mode::kRead && !exists) return fail(sim::kErrorFileNotFound);
  if (mode != Mode::kRead && OnCdDrive(*sim::Current(), path)) return fail(sim::kErrorWriteProtect);
  if (mode != Mode::kRead && exists && (sim::HostAttributes(*host) & kAttrReadOnly)) return fail(sim::kErrorAccessDenied);
  struct stat st {};
  bool writes = mode != Mode::kRead;
  if (exists && stat(host->c_str(), &st) == 0 && !SharingAllows(st, writes)) return fail(sim::kErrorSharingViolation);
  int flags = O_CLOEXEC;
  if (mode == Mode::kRead) flags |= O_RDONLY;
  else if (mode == Mode::kReadWrite) flags |= O_RDWR | O_CREAT;
  else if (mode == Mode::kAppend) flags |= O_WRONLY | O_CREAT | O_APPEND;
  else flags |= O_RDWR | O_CREAT | O_TRUNC;
  int fd = open(host->c_str(), flags, 0644);
  if (fd < 0) return fail(errno == ENOENT ? sim::kErrorPathNotFound : sim::kErrorAccessDenied);
  file.impl_ = std::make_unique<Impl>();
  file.impl_->fd = fd;
  file.impl_->writes = writes;
  if (fstat(fd, &st) == 0) {
    file.impl_->device = st.st_dev;
    file.impl_->inode = st.st_ino;
    OpenFiles().push_back(file.impl_.get());
  }
  if (error) *error = 0;
  return file;
}

bool File::IsOpen() const { return impl_ && impl_->fd >= 0; }

void File::Close() {
  if (IsOpen()) close(impl_->fd);
  impl_.reset();
}

bool File::Read(void* buffer, size_t size, size_t* got, uint32_t* error) {
  *got = 0;
  if (!IsOpen()) {
    if (error) *error = sim::kErrorInvalidHandle;
    return false;
  }
  char* p = static_cast<char*>(buffer);
  while (*got < size) {
    ssize_t n = read(impl_->fd, p + *got, size - *got);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (error) *error = sim::kErrorReadFault;
      return false;
    }
    if (n == 0) break;
    *got += static_cast<size_t>(n);
  }
  return true;
}

bool File::Write(const void* buffer, size_t size, uint32_t* error) {
  if (!IsOpen()) {
    if (error) *error = sim::kErrorInvalidHandle;
    return false;
  }
  const char* p = static_cast<const char*>(buffer);
  size_t done = 0;
  while (done < size) {
    ssize_t n = write(impl_->fd, p + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (error) *error = errno == ENOSPC ? sim::kErrorDiskFull : sim::kErrorWriteFault;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

bool File::SetLength(uint64_t length, uint32_t* error) {
  if (!IsOpen() || ftruncate(impl_->fd, static_cast<off_t>(length)) != 0) {
    if (error) *error = sim::kErrorAccessDenied;
    return false;
  }
  return true;
}

std::optional<uint64_t> File::Size() const {
  struct stat st {};
  if (!IsOpen() || fstat(impl_->fd, &st) != 0) return std::nullopt;
  return static_cast<uint64_t>(st.st_size);
}

}  // namespace os
