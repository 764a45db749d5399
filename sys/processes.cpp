#include "sys/processes.h"

#include "os/process.h"
#include "sys/text.h"

namespace sys {

uint32_t FindProcess(std::string_view name) {
  std::string wanted = LowerAscii(name);
  uint32_t found = 0;
  for (const os::ProcessEntry& p : os::ListProcesses()) {
    std::string exe = p.exeName.substr(0, p.exeName.find('\0'));
    if (LowerAscii(exe).find(wanted) != std::string::npos) found = p.id;
  }
  return found;
}

int32_t ProcessAlive(uint32_t id) {
  if (id == 0) return 0;
  // The least access there is: a program running as a service or at a
  // higher level is still found. Systems before Vista know only the full
  // query right.
  return os::CanOpenProcess(id, os::kProcessQueryLimitedInformation) ||
                 os::CanOpenProcess(id, os::kProcessQueryInformation)
             ? 1
             : 0;
}

}  // namespace sys
