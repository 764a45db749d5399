// Running host programs from a stand-in: the real 7-Zip, which unpacks the
// packages that the stand-ins load, and the host's disk tools and emulator
// that the boot test uses.
//
// Public: RunHost(), RunHostQuiet(), FindHostProgram().
#pragma once

#include <string>
#include <vector>

namespace tvtool {

// Runs argv[0] (searched in PATH) and waits, its output going to the
// stand-in's own; its exit code, or -1 when it could not be started or
// ended by a signal.
int RunHost(const std::vector<std::string>& argv);

// The same, keeping what the program printed (standard output and error) in
// *output instead.
int RunHostQuiet(const std::vector<std::string>& argv, std::string* output);

// The path of a host program: searched in PATH, then in /usr/sbin and /sbin
// (where Debian puts the file-system tools); empty when it is not installed.
std::string FindHostProgram(const std::string& name);

}  // namespace tvtool
