// Programs on the simulated machine: how a command line names its program,
// where the program is found, and what stands behind the file.
//
// A program file of the simulated machine is a small text file whose first
// line is "TARNVALE-STANDIN <name>". <name> is the host program that plays
// it: "7zz" is the real 7-Zip, any other name is a command of the host tool
// tvtool (the stand-in outside programs of tools/). Any other file is not a
// program, as a text file is not one on Windows.
//
// Public: kStandinMarker, struct FoundProgram, FindProgram(), StandinName(),
//         MapArchiverArgument().
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "os/sim/machine.h"

namespace os::sim {

constexpr std::string_view kStandinMarker = "TARNVALE-STANDIN ";

struct FoundProgram {
  std::string windowsPath;  // the program file, as found
  std::string hostPath;
  bool batch = false;       // a .bat or .cmd file, run by the command interpreter
  bool native = false;      // a 64-bit system program (found in System32 of a 64-bit system)
};

// Finds the program of a command line as CreateProcess does with no
// application name: a quoted first token, or the shortest blank-separated
// prefix that names an existing file; ".exe" is added when the name has no
// extension; a name without a folder is searched in the program's folder,
// System32, System, the Windows folder and PATH. `redirected`: a 32-bit
// caller with WOW64 redirection on, which sees SysWOW64 in place of System32.
// On failure *error is the Windows error (2: file not found).
std::optional<FoundProgram> FindProgram(const Machine& machine, std::string_view commandLine, bool redirected,
                                        uint32_t* error);

// The stand-in name of a program file, or nothing when it is not a program.
std::optional<std::string> StandinName(const std::string& hostPath);

// An archiver argument with the Windows paths in it (a path, or a switch such
// as -o followed by a path) turned into host paths. A path on a drive that
// the machine does not have maps below /dev/null, where nothing can be made.
std::string MapArchiverArgument(const Machine& machine, const std::string& argument);

}  // namespace os::sim
