// Running a host program from a stand-in (the real 7-Zip, which unpacks the
// packages that the stand-ins load), its output going to the stand-in's own.
//
// Public: RunHost().
#pragma once

#include <string>
#include <vector>

namespace tvtool {

// Runs argv[0] (searched in PATH) and waits; its exit code, or -1 when it
// could not be started or ended by a signal.
int RunHost(const std::vector<std::string>& argv);

}  // namespace tvtool
