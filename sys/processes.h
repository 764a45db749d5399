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

// 1 when the process can be opened for the least query right (the limited
// one, or the full query right where the system has no limited one), else 0
// (also for id 0): a program of a service or another level counts too.
int32_t ProcessAlive(uint32_t id);

}  // namespace sys
