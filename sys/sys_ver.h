// The running system's version.
//
// Public function: GetSysVer().
#pragma once

#include <cstdint>

namespace sys {

// The true major version of the running Windows (6 for Vista to 8.1, 10 for
// Windows 10 and 11); 0 when the system cannot tell.
int16_t GetSysVer();

}  // namespace sys
