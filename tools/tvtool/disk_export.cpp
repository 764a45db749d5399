#include "tools/tvtool/disk_export.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "os/sim/volumes.h"
#include "tools/tvtool/disk_edit.h"
#include "tools/tvtool/fs_writers.h"

namespace tvtool {
namespace {

using os::sim::kSectorBytes;

// Closes a file descriptor at the end of a scope.
struct Fd {
  int fd;
  explicit Fd(int f) : fd(f) {}
  ~Fd() {
    if (fd >= 0) close(fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
};

void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Cylinder, head and sector of a sector as an MBR entry keeps them (255
// heads, 63 sectors a track; past cylinder 1023 the entry holds the maximum).
void PutChs(uint8_t* p, uint64_t lba) {
  uint64_t c = lba / (255 * 63), h = (lba / 63) % 255, s = lba % 63 + 1;
  if (c > 1023) c = 1023, h = 254, s = 63;
  p[0] = static_cast<uint8_t>(h);
  p[1] = static_cast<uint8_t>(s | ((c >> 2) & 0xC0));
  p[2] = static_cast<uint8_t>(c & 0xFF);
}

// A disk signature that stays the same for the same disk.
uint32_t Signature(const os::sim::Disk& d) {
  uint32_t h = 2166136261u;
  for (char c : std::to_string(d.number) + d.vendor + d.product + d.serial + std::to_string(d.sizeBytes))
    h = (h ^ static_cast<uint8_t>(c)) * 16777619u;
  return h ? h : 1;
}

std::optional<std::string> CheckLayout(const os::sim::Disk& d) {
  uint64_t sectors = d.Sectors();
  if (sectors == 0) return "the disk has no size";
  if (d.partitions.size() > 4) return "the disk has more than four partitions, more than an MBR table holds";
  std::vector<std::pair<uint64_t, uint64_t>> used;  // [start, end)
  if (d.ud.sizeMB > 0) used.push_back({1, std::min<uint64_t>(sectors, d.ud.sizeMB * kSectorsPerMB)});
  for (size_t i = 0; i < d.partitions.size(); ++i) {
    const os::sim::Partition& p = d.partitions[i];
    std::string which = "partition " + std::to_string(i + 1);
    if (p.sectors == 0) return which + " has no size";
    if (p.start == 0 || p.start > sectors || p.sectors > sectors - p.start)
      return which + " does not lie within the disk";
    if (p.start > 0xFFFFFFFFull || p.sectors > 0xFFFFFFFFull) return which + " lies beyond what an MBR table can address";
    for (auto [s, e] : used)
      if (p.start < e && s < p.start + p.sectors) return which + " overlaps another partition or the UD area";
    used.push_back({p.start, p.start + p.sectors});
  }
  return std::nullopt;
}

bool WriteMbr(int fd, const os::sim::Disk& d) {
  uint8_t mbr[512] = {};
  PutLe32(mbr + 440, Signature(d));
  for (size_t i = 0; i < d.partitions.size(); ++i) {
    const os::sim::Partition& p = d.partitions[i];
    uint8_t* e = mbr + 446 + 16 * i;
    e[0] = p.active ? 0x80 : 0x00;
    PutChs(e + 1, p.start);
    e[4] = p.type;
    PutChs(e + 5, p.start + p.sectors - 1);
    PutLe32(e + 8, static_cast<uint32_t>(p.start));
    PutLe32(e + 12, static_cast<uint32_t>(p.sectors));
  }
  mbr[510] = 0x55;
  mbr[511] = 0xAA;
  return pwrite(fd, mbr, sizeof mbr, 0) == static_cast<ssize_t>(sizeof mbr);
}

// Copies a volume image into the disk image at a byte offset, leaving the
// holes of the volume image holes.
bool Splice(const std::string& volume, int diskFd, uint64_t offset) {
  Fd in(open(volume.c_str(), O_RDONLY));
  if (in.fd < 0) return false;
  off_t end = lseek(in.fd, 0, SEEK_END);
  std::vector<char> buffer(1 << 20);
  static const std::vector<char> zeros(1 << 20, 0);
  for (off_t at = 0; at < end;) {
    off_t data = lseek(in.fd, at, SEEK_DATA);
    if (data < 0) break;  // only a hole is left
    off_t hole = lseek(in.fd, data, SEEK_HOLE);
    if (hole < 0) hole = end;
    for (off_t pos = data; pos < hole;) {
      size_t n = static_cast<size_t>(std::min<off_t>(static_cast<off_t>(buffer.size()), hole - pos));
      if (pread(in.fd, buffer.data(), n, pos) != static_cast<ssize_t>(n)) return false;
      if (memcmp(buffer.data(), zeros.data(), n) != 0 &&
          pwrite(diskFd, buffer.data(), n, static_cast<off_t>(offset) + pos) != static_cast<ssize_t>(n))
        return false;
      pos += static_cast<off_t>(n);
    }
    at = hole;
  }
  return true;
}

std::string HostFolder(const std::string& relative) {
  return relative.empty() ? "" : os::sim::MachineRelative(relative);
}

bool PlaceVolume(int diskFd, const std::string& scratch, const VolumeSpec& spec, std::string* why) {
  bool ok = MakeVolumeImage(scratch, spec, why);
  if (ok && !Splice(scratch, diskFd, spec.firstSector * kSectorBytes)) {
    *why = "cannot write the volume into the disk image";
    ok = false;
  }
  unlink(scratch.c_str());
  return ok;
}

}  // namespace

bool ExportDisk(const os::sim::Disk& d, const std::string& image, std::string* why) {
  if (auto wrong = CheckLayout(d)) {
    *why = "disk " + std::to_string(d.number) + ": " + *wrong;
    return false;
  }
  Fd disk(open(image.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644));
  if (disk.fd < 0 || ftruncate(disk.fd, static_cast<off_t>(d.Sectors() * kSectorBytes)) != 0 || !WriteMbr(disk.fd, d)) {
    *why = "cannot write the disk image " + image;
    return false;
  }
  std::string scratch = image + ".volume";
  for (size_t i = 0; i < d.partitions.size(); ++i) {
    const os::sim::Partition& p = d.partitions[i];
    if (p.fileSystem.empty()) continue;  // not formatted: left empty
    VolumeSpec spec{p.fileSystem, p.label, p.Bytes(), p.start, HostFolder(p.folder)};
    if (!PlaceVolume(disk.fd, scratch, spec, why)) {
      *why = "partition " + std::to_string(i + 1) + ": " + *why;
      return false;
    }
  }
  uint64_t udEnd = std::min<uint64_t>(d.Sectors(), d.ud.sizeMB * kSectorsPerMB);
  if (d.ud.sizeMB > 1 && udEnd > kUdVolumeSector) {
    VolumeSpec spec{"FAT", "UD", (udEnd - kUdVolumeSector) * kSectorBytes, kUdVolumeSector, HostFolder(d.ud.folder)};
    if (!PlaceVolume(disk.fd, scratch, spec, why)) {
      *why = "the UD area: " + *why;
      return false;
    }
  }
  return true;
}

}  // namespace tvtool
