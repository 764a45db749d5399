// The commands of tvtool, one per outside program it plays on the simulated
// machine. Each takes the program's arguments as the machine split them
// from its Windows command line (also in TARNVALE_CMDLINE) and returns the
// program's exit code. docs/stand-ins.md describes each of them.
//
// Public: the Run*() functions below, RawCommandLine(), DescribeDisk().
#pragma once

#include <string>
#include <vector>

#include "os/sim/machine.h"

namespace tvtool {

using Args = std::vector<std::string>;

// The Windows command line this program was started with.
std::string RawCommandLine();

int RunCmd(const Args& args);          // cmd.exe: "/c <command>" and batch files
int RunPartAssist(const Args& args);   // PartAssist.exe, the partition manager
int RunAes(const Args& args);          // Data\Bin\aes.dll, the UD tool
int RunFormat(const Args& args);       // format.com
int RunDiskPart(const Args& args);     // diskpart.exe /S <script>
int RunBootsect(const Args& args);     // bootsect.exe
int RunGinst(const Args& args);        // ginst.exe, the loader installer
int RunBcdedit(const Args& args);      // bcdedit.exe on the machine's boot store
int RunQemu(const Args& args);         // qemu.exe, the emulator
int RunArchiver(const Args& args);     // the archiver while a fault switch is set for it
int RunTestExit(const Args& args);     // test-exit <code>
int RunTestKeep(const Args& args);     // test-keep ... <windows path>: copies it to <path>.kept
int RunTestSleep(const Args& args);    // test-sleep <ms> [code]
int RunTestWrite(const Args& args);    // test-write <windows path> <text>

// Host commands, not programs of the machine.
int RunMachineSample(const Args& args);  // machine-sample <folder> [<program folder>]
int RunExportDisk(const Args& args);     // export-disk <machine folder> <disk number> <image>
int RunShowDisk(const Args& args);       // show-disk <machine folder> <disk number>

// A disk of a machine as show-disk prints it (host folders relative to
// machineFolder).
std::string DescribeDisk(const std::string& machineFolder, const os::sim::Machine& m, int number);

}  // namespace tvtool
