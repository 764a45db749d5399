// Simulated machines for the tests of the stand-in outside programs and the
// layout check (host build only): USB sticks as a shop sells them, the tool
// folders the program unpacks, running a command line to its end, and a
// short text of a disk's layout to compare against.
//
// Public: kTmp, AddStick(), InstallTools(), RunToEnd(), Describe(),
//         PartitionFolder(), WriteFiles().
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "os/sim/machine.h"
#include "tests/support/sim_machine.h"

namespace test {

// The per-run temporary folder the tests use (app::sTmpPath).
constexpr const char* kTmp = "C:\\Windows\\Temp\\TVTESTAB";

// A stick with one FAT32 volume over the whole disk, as sold: 1 MB aligned,
// label "STICK", a standard master boot record.
os::sim::Disk& AddStick(os::sim::Machine& m, int number, char letter, uint64_t sizeBytes = 16ull << 30);

// Sets app::sTmpPath to kTmp and puts the programs where the system finds
// them: Data\Bin\x86.dll and aes.dll in the program folder, PartAssist.exe,
// ginst.exe and bootsect.exe in <tmp>\PACMD.
void InstallTools(const SimMachine& m);

// Starts the command line, waits for its end and returns its exit code;
// 0xFFFFFFFF when it could not be started.
uint32_t RunToEnd(const std::string& commandLine);

// The disk in one line: "ud=300 | FAT32 E: 'LABEL' 15083M | FAT32 - 'EFI'
// 1032M active hidden 1c", partitions in disk order; sizes in whole MB.
std::string Describe(const os::sim::Disk& disk);

// Host folder of the i-th partition (disk order) of a disk.
std::string PartitionFolder(const SimMachine& m, int disk, int index);

// Writes files (relative path -> content) under a host folder.
void WriteFiles(const std::string& hostFolder, const std::map<std::string, std::string>& files);

}  // namespace test
