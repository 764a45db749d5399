// Fault switches of the simulated machine: an outside program that is not
// there, that ends at once, that runs but leaves nothing behind, or that
// does only part of its work. A switch is a statement of the description,
//
//   fault <program> <kind>[@<command>][*<times>]
//
// where <program> is the stand-in name of the program file ("partassist",
// "aes", "format", "diskpart", "bootsect", "ginst", "bcdedit", "qemu", "7zz"),
// <kind> is one of "missing", "exit-early", "no-output", "partial",
// "unplug" (the USB disks are pulled out as the program starts),
// "give-letter" (a repartitioned disk's letter goes to another disk),
// "slow" (the program takes a second longer) and "hang" (the program does
// nothing and does not end until it is ended),
// @<command> limits it to one command of the program (such as "list" of the
// partition tool), and *<times> makes it wear off after that many uses.
// The program starter plays "missing"; the stand-ins play the rest.
//
// Public: struct FaultSwitch, ParseFaultSwitch(), PeekFault(), TakeFault().
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "os/sim/machine.h"

namespace os::sim {

struct FaultSwitch {
  std::string kind;     // "missing", "exit-early", "no-output", "partial", "unplug", "give-letter", "slow", "hang"
  std::string command;  // "" for every command of the program
  int times = -1;       // uses left; -1 for ever
};

// Nothing when the text is not a fault switch.
std::optional<FaultSwitch> ParseFaultSwitch(std::string_view text);

// The switch of `program` that applies to `command`, without using it up.
std::optional<FaultSwitch> PeekFault(const Machine& machine, std::string_view program, std::string_view command);

// The same, using up one of a counted switch (a worn-off switch leaves the
// description). Works on the machine of this process.
std::optional<FaultSwitch> TakeFault(std::string_view program, std::string_view command);

}  // namespace os::sim
