#include "disk/disk_space.h"

#include <cstdint>
#include <limits>

namespace disk {
namespace {

constexpr uint64_t kMax64 = std::numeric_limits<uint64_t>::max();

uint64_t Bytes(uint32_t clusters, uint32_t bytesPerSector, uint32_t sectorsPerCluster) {
  uint64_t bytes = uint64_t{clusters} * bytesPerSector;
  if (__builtin_mul_overflow(bytes, uint64_t{sectorsPerCluster}, &bytes)) return kMax64;
  return bytes;
}

// bytes / 2^20 in ten-thousandths of a MB, the last place rounded half to
// even. The remainder below 2^20 keeps every product inside 64 bits.
uint64_t TenThousandthsMB(uint64_t bytes) {
  uint64_t whole = bytes >> 20;
  uint64_t rest = bytes & ((uint64_t{1} << 20) - 1);
  uint64_t scaled = rest * 10000;
  uint64_t frac = scaled >> 20;
  uint64_t left = scaled & ((uint64_t{1} << 20) - 1);
  constexpr uint64_t kHalf = uint64_t{1} << 19;
  if (left > kHalf || (left == kHalf && (frac & 1))) ++frac;
  if (whole > (kMax64 - frac) / 10000) return kMax64;
  return whole * 10000 + frac;
}

int32_t WholeMB(uint64_t tenThousandths) {
  uint64_t mb = tenThousandths / 10000;
  return mb > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) ? std::numeric_limits<int32_t>::max()
                                                                         : static_cast<int32_t>(mb);
}

}  // namespace

int32_t SpaceMB(const os::FreeSpaceInfo& info, int kind) {
  uint64_t total = TenThousandthsMB(Bytes(info.totalClusters, info.bytesPerSector, info.sectorsPerCluster));
  uint64_t free = TenThousandthsMB(Bytes(info.freeClusters, info.bytesPerSector, info.sectorsPerCluster));
  switch (kind) {
    case kSpaceTotal: return WholeMB(total);
    case kSpaceFree: return WholeMB(free);
    case kSpaceUsed: return WholeMB(total > free ? total - free : 0);
    default: return 0;
  }
}

int32_t GetDiskSpaceMB(std::string_view root, int kind) {
  os::FreeSpaceInfo info;
  if (!os::FreeSpace(root, info)) info = os::FreeSpaceInfo{};
  return SpaceMB(info, kind);
}

}  // namespace disk
