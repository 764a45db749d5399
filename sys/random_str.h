// Random folder names.
//
// Public function: RandomStr().
#pragma once

#include <cstdint>
#include <string>

namespace sys {

// n letters drawn uniformly from A-Z and a-z; the generator is seeded from
// the clock on every call.
std::string RandomStr(int32_t n);

}  // namespace sys
