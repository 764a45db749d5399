// Loading and saving machine.txt. Writers hold an exclusive lock on
// machine.lock for the whole read-modify-write and replace the file by
// renaming a finished copy over it; readers never lock, since a rename is
// atomic and a reader sees either the old or the new description.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "os/sim/machine.h"

namespace os::sim {
namespace {

std::string DescriptionPath(const std::string& folder) { return folder + "/machine.txt"; }

// Identity of the file as it is now: a rename gives a new inode. Asked on
// every call of the system, so it is built without allocating: the raw
// inode, size and time, or nothing when the file is missing.
struct StampBytes {
  char bytes[4 * sizeof(int64_t)] = {};
  size_t size = 0;
  std::string_view view() const { return {bytes, size}; }
};

StampBytes Stamp(const std::string& path) {
  StampBytes s;
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return s;
  const int64_t fields[] = {static_cast<int64_t>(st.st_ino), static_cast<int64_t>(st.st_size),
                            static_cast<int64_t>(st.st_mtim.tv_sec), static_cast<int64_t>(st.st_mtim.tv_nsec)};
  memcpy(s.bytes, fields, sizeof fields);
  s.size = sizeof fields;
  return s;
}

class FolderLock {
 public:
  explicit FolderLock(const std::string& folder) {
    fd_ = open((folder + "/machine.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ >= 0 && flock(fd_, LOCK_EX) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~FolderLock() {
    if (fd_ >= 0) close(fd_);  // closing releases the lock
  }
  bool ok() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

bool WriteDescription(const std::string& folder, const Machine& machine, std::string* error) {
  std::string path = DescriptionPath(folder);
  std::string temp = path + ".new." + std::to_string(getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << FormatMachine(machine);
    if (!out.good()) {
      if (error) *error = "cannot write " + temp;
      return false;
    }
  }
  if (rename(temp.c_str(), path.c_str()) != 0) {
    if (error) *error = "cannot replace " + path;
    unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace

std::optional<Machine> LoadMachine(const std::string& folder, std::string* error) {
  std::ifstream in(DescriptionPath(folder), std::ios::binary);
  if (!in) {
    if (error) *error = "no machine description at " + DescriptionPath(folder);
    return std::nullopt;
  }
  std::stringstream text;
  text << in.rdbuf();
  return ParseMachine(text.str(), error);
}

bool SaveMachine(const std::string& folder, const Machine& machine, std::string* error) {
  FolderLock lock(folder);
  if (!lock.ok()) {
    if (error) *error = "cannot lock the machine folder " + folder;
    return false;
  }
  return WriteDescription(folder, machine, error);
}

MachineStore::MachineStore(std::string folder) : folder_(std::move(folder)) {}

std::shared_ptr<const Machine> MachineStore::Get() {
  StampBytes stamp = Stamp(folder_ + "/machine.txt");
  if (machine_ && stamp.size && stamp.view() == stamp_) return machine_;
  std::string error;
  auto loaded = LoadMachine(folder_, &error);
  if (loaded) {
    machine_ = std::make_shared<const Machine>(std::move(*loaded));
    lastError_.clear();
  } else {
    machine_ = std::make_shared<const Machine>();
    if (error != lastError_) fprintf(stderr, "tarnvale: %s\n", error.c_str());
    lastError_ = error;
  }
  stamp_ = std::string(stamp.view());
  return machine_;
}

bool MachineStore::UpdateWith(const std::function<void(Machine&)>& change, std::string* error) {
  FolderLock lock(folder_);
  if (!lock.ok()) {
    if (error) *error = "cannot lock the machine folder " + folder_;
    return false;
  }
  auto current = LoadMachine(folder_, error);
  if (!current) return false;
  change(*current);
  if (!WriteDescription(folder_, *current, error)) return false;
  stamp_.clear();  // load the new file on the next Get()
  return true;
}

}  // namespace os::sim
