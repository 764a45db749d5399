// Finding a running program by name before disk work starts.
//
// Public functions: FindProcess(), ProcessAlive().
#pragma once

#include <cstdint>
#include <string_view>

namespace sys {

// The id of the last running process (in enumeration order) whose
// executable name contains `name`, compared in lower case; 0 when none.
// The empty name matches every process.
uint32_t FindProcess(std::string_view name);

// 1 when the process can be opened with full access, else 0 (also for id 0).
int32_t ProcessAlive(uint32_t id);

}  // namespace sys
