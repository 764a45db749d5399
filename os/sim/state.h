// Per-process state of the simulated machine's calls: what Windows keeps per
// thread or per process (the thread locale, the WOW64 redirection switch,
// the error mode).
//
// Public: struct ProcessState, State(), CommandLineText().
#pragma once

#include <cstdint>
#include <string>

namespace os::sim {

struct ProcessState {
  uint32_t threadLocale = 0;      // 0: not set, the system default applies
  bool redirectionOff = false;    // WOW64 file-system redirection switched off
  uint32_t errorMode = 0;         // SetErrorMode's flags
};

ProcessState& State();
std::string CommandLineText();

}  // namespace os::sim
