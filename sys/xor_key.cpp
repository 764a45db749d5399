#include "sys/xor_key.h"

#include <cstring>

namespace sys {

XorKey MakeXorKey(std::string_view ansiPassword) {
  XorKey key;
  key.fill(kXorPadByte);
  for (size_t k = 0; k < key.size() && k < ansiPassword.size(); ++k) key[k] = static_cast<uint8_t>(ansiPassword[k]);
  return key;
}

void XorBytes(uint8_t* data, size_t size, uint64_t offset, const XorKey& key) {
  // The key as it lines up with the data: pattern[i] goes with data[i], data[i + 16], ...
  uint8_t pattern[16];
  for (size_t i = 0; i < 16; ++i) pattern[i] = key[(offset + i + 1) % 16];
  uint64_t lo, hi;
  std::memcpy(&lo, pattern, 8);
  std::memcpy(&hi, pattern + 8, 8);
  size_t i = 0;
  // Sixteen bytes at a time through two words; the compiler widens this further.
  for (; i + 16 <= size; i += 16) {
    uint64_t a, b;
    std::memcpy(&a, data + i, 8);
    std::memcpy(&b, data + i + 8, 8);
    a ^= lo;
    b ^= hi;
    std::memcpy(data + i, &a, 8);
    std::memcpy(data + i + 8, &b, 8);
  }
  for (; i < size; ++i) data[i] ^= pattern[i % 16];
}

}  // namespace sys
