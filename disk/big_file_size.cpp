#include "disk/big_file_size.h"

#include <limits>

#include "os/files.h"

namespace disk {

int32_t BytesToNearestMB(uint64_t bytes) {
  uint64_t mb = bytes >> 20;
  uint64_t rest = bytes & ((uint64_t{1} << 20) - 1);
  constexpr uint64_t kHalf = uint64_t{1} << 19;
  if (rest > kHalf || (rest == kHalf && (mb & 1))) ++mb;
  constexpr auto kMax = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
  return static_cast<int32_t>(mb > kMax ? kMax : mb);
}

int32_t GetBigFileSizeMB(std::string_view path) { return BytesToNearestMB(os::FileSize(path).value_or(0)); }

}  // namespace disk
