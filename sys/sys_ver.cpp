#include "sys/sys_ver.h"

#include "os/system.h"

namespace sys {

int16_t GetSysVer() {
  auto version = os::QueryVersion();
  if (!version || version->major > 0x7FFF) return 0;
  return static_cast<int16_t>(version->major);
}

}  // namespace sys
