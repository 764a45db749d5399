// A simulated machine ready for the main job: the sample PE package laid out
// as the program folder C:\Tarnvale (Tarnvale.exe beside Data and PE), and
// one empty 16 GB USB stick as disk 1 with its FAT32 volume E:.
//
// Public: SampleMachine(), MakeSampleMachine(), DefaultSampleFolder().
#pragma once

#include <string>

#include "os/sim/machine.h"

namespace tvtool {

// The description of that machine.
os::sim::Machine SampleMachine();

// Writes the machine into `folder`, which must be new or empty, and copies
// the sample program folder into it. On failure *error says why, and a
// folder that held anything before is left as it was.
bool MakeSampleMachine(const std::string& folder, const std::string& sampleProgramFolder, std::string* error);

// Where the build puts the sample program folder: <build>/sample/program,
// found from the folder of the build's programs.
std::string DefaultSampleFolder();

}  // namespace tvtool
