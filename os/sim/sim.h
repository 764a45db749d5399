// The host build's access to the simulated machine that this process runs on.
//
// The machine is named by UseMachine() (the console front-end and the tests)
// or by the environment variable TARNVALE_MACHINE (the stand-in programs that
// the machine starts inherit it).
//
// Public functions:
//   UseMachine(), MachineFolder(), Store(), Current()
//   SetCommandLineText()   the Windows command line GetCommandLine answers
//   ToolsFolder()          host folder of the stand-in programs
//   SetThreadLocaleForTest() and friends live in the per-call files.
#pragma once

#include <string>

#include "os/sim/machine.h"

namespace os::sim {

void UseMachine(const std::string& folder);
const std::string& MachineFolder();
MachineStore& Store();
inline std::shared_ptr<const Machine> Current() { return Store().Get(); }

// The command line that os::CommandLine() returns. Default: the program's
// path in quotes.
void SetCommandLineText(const std::string& line);

// Host folder holding tvtool and the other host programs of the build:
// TARNVALE_TOOLS when set, else the folder of the running executable.
std::string ToolsFolder();

// Resets the per-process state (thread locale, redirection) for a new test.
void ResetProcessState();

}  // namespace os::sim
