// The commands of tvtool, one per outside program it plays on the simulated
// machine. Each takes the program's arguments as the machine split them
// from its Windows command line (also in TARNVALE_CMDLINE) and returns the
// program's exit code.
//
// Public: the Run*() functions below, RawCommandLine().
#pragma once

#include <string>
#include <vector>

namespace tvtool {

using Args = std::vector<std::string>;

// The Windows command line this program was started with.
std::string RawCommandLine();

int RunCmd(const Args& args);          // cmd.exe: "/c <command>" and batch files
int RunTestExit(const Args& args);     // test-exit <code>
int RunTestSleep(const Args& args);    // test-sleep <ms> [code]
int RunTestWrite(const Args& args);    // test-write <windows path> <text>

}  // namespace tvtool
