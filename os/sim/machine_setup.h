// Making a new simulated machine on disk: its folder, its description, and
// the Windows folder with the system programs it brings (the command
// interpreter, diskpart, format and bcdedit, each a stand-in file).
//
// Public functions: BasicMachine(), CreateMachine(), InstallStandin().
#pragma once

#include <string>

#include "os/sim/machine.h"

namespace os::sim {

// A Windows 10 machine (64-bit, code page 1252, locale 1033) with drive C:
// a fixed drive in the machine folder's "drives/C".
Machine BasicMachine();

// Writes the description into `folder` (created when missing), makes the
// host folders of its fixed drives, the Windows folder with Temp, System32
// and SysWOW64, and puts the system programs in place.
bool CreateMachine(const std::string& folder, const Machine& machine, std::string* error);

// Writes a program file that the host program `standin` plays, at a host path.
bool InstallStandin(const std::string& hostPath, const std::string& standin);

}  // namespace os::sim
