#include "sys/random_str.h"

#include <chrono>
#include <random>

namespace sys {

std::string RandomStr(int32_t n) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  if (n <= 0) return "";
  // The clock's nanoseconds, mixed with a counter so that two calls within
  // one clock tick still differ.
  static uint64_t calls = 0;
  auto now = static_cast<uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
  ++calls;
  std::seed_seq seed{static_cast<uint32_t>(now), static_cast<uint32_t>(now >> 32), static_cast<uint32_t>(calls)};
  std::mt19937_64 generator(seed);
  std::uniform_int_distribution<int> pick(0, 51);
  std::string out;
  out.reserve(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) out += kAlphabet[pick(generator)];
  return out;
}

}  // namespace sys
