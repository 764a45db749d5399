#include "make/boot_code.h"

#include <algorithm>

#include "disk/device_path.h"
#include "os/device.h"
#include "sys/text.h"

namespace make {
namespace {

constexpr size_t kMbrCodeEnd = 440;       // the disk signature follows
constexpr size_t kTableAt = 446;
constexpr size_t kBootSectorCodeAt = 90;  // past the largest parameter block (FAT32's)

bool HasSignature(std::span<const uint8_t> s) { return s[510] == 0x55 && s[511] == 0xAA; }

bool AllZero(std::span<const uint8_t> bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; });
}

uint32_t Le32(std::span<const uint8_t> s, size_t at) {
  return static_cast<uint32_t>(s[at]) | static_cast<uint32_t>(s[at + 1]) << 8 |
         static_cast<uint32_t>(s[at + 2]) << 16 | static_cast<uint32_t>(s[at + 3]) << 24;
}

bool HasTopLevelFile(const std::vector<PackageFile>& files, const std::string& name) {
  return std::any_of(files.begin(), files.end(),
                     [&](const PackageFile& f) { return sys::LowerAscii(f.path) == name; });
}

}  // namespace

BootCodeNeed BootCodeFor(Layout layout, const std::optional<std::vector<PackageFile>>& peFiles) {
  if (layout == Layout::kUdDataUefi) return BootCodeNeed::kMasterBootRecord;
  if (!peFiles) return BootCodeNeed::kNone;
  // The make looks for grldr first.
  if (HasTopLevelFile(*peFiles, "grldr")) return BootCodeNeed::kMasterBootRecord;
  if (HasTopLevelFile(*peFiles, "bootmgr")) return BootCodeNeed::kActiveBootSector;
  return BootCodeNeed::kNone;
}

std::string JudgeMasterBootRecord(std::span<const uint8_t> s, const disk::DriveLayout& table, bool needCode) {
  if (s.size() != os::kSectorBytes) return "the master boot record could not be read";
  if (!HasSignature(s)) return "the master boot record has no boot signature";
  if (needCode && AllZero(s.subspan(0, kMbrCodeEnd))) return "the master boot record holds no boot code";
  // The used entries, in table order, are the partitions Windows reports.
  size_t used = 0;
  for (size_t i = 0; i < 4; ++i) {
    std::span<const uint8_t> e = s.subspan(kTableAt + 16 * i, 16);
    std::string entry = "entry " + std::to_string(i + 1) + " of the master boot record's partition table";
    if (e[0] != 0x00 && e[0] != 0x80) return entry + " has an invalid active flag";
    if (e[4] == 0 || Le32(e, 12) == 0) continue;
    if (used >= table.partitions.size()) return entry + " names a partition the disk does not have";
    const disk::TablePartition& p = table.partitions[used++];
    if (e[4] != p.type || (e[0] == 0x80) != p.active || Le32(e, 8) != p.startBytes / os::kSectorBytes ||
        Le32(e, 12) != p.lengthBytes / os::kSectorBytes)
      return entry + " disagrees with partition " + std::to_string(used) + " of the disk";
  }
  if (used != table.partitions.size())
    return "the master boot record's partition table holds " + std::to_string(used) + " of the disk's " +
           std::to_string(table.partitions.size()) + " partitions";
  return "";
}

std::string JudgeBootSector(std::span<const uint8_t> s) {
  if (s.size() != os::kSectorBytes) return "the active partition's boot sector could not be read";
  if (!HasSignature(s)) return "the active partition's boot sector has no boot signature";
  if (AllZero(s.subspan(kBootSectorCodeAt, 510 - kBootSectorCodeAt)))
    return "the active partition's boot sector holds no boot code";
  return "";
}

std::vector<std::string> CheckBootCode(int diskNumber, const disk::DriveLayout& table, BootCodeNeed need) {
  std::vector<std::string> findings;
  os::Device device = os::OpenDevice(disk::PhysicalDrivePath(diskNumber), os::kGenericRead,
                                     os::kShareRead | os::kShareWrite);
  std::vector<uint8_t> sector(os::kSectorBytes);
  if (!os::ReadDevice(device, 0, sector)) {
    findings.push_back("the master boot record could not be read");
    return findings;
  }
  std::string mbr = JudgeMasterBootRecord(sector, table, need != BootCodeNeed::kNone);
  if (!mbr.empty()) findings.push_back(mbr);
  if (need != BootCodeNeed::kActiveBootSector) return findings;
  auto active = std::find_if(table.partitions.begin(), table.partitions.end(),
                             [](const disk::TablePartition& p) { return p.active; });
  if (active == table.partitions.end()) {
    findings.push_back("no partition is active to carry the boot sector");
    return findings;
  }
  if (!os::ReadDevice(device, active->startBytes, sector)) {
    findings.push_back("the active partition's boot sector could not be read");
    return findings;
  }
  std::string boot = JudgeBootSector(sector);
  if (!boot.empty()) findings.push_back(boot);
  return findings;
}

}  // namespace make
