// One disk of the simulated machine replaced by another, as when a stick is
// pulled out and another USB disk arrives and Windows gives it the free disk
// number and the free drive letters: the spare disk takes the number of the
// pulled disk and, in disk order, the letters of its volumes (and of its
// empty slot). The spare keeps everything else, its partitions, boot code and
// files.
//
// A swap is made at once (the console's "swap" command, or a test), or
// planned in the description ("swap <disk> <spare> after=<program>[@<command>]")
// and made by the stand-in as that outside command ends, so that it comes
// just before the command that follows it.
//
// Public: SwapDisks(), SwapDisksNow(), PlaySwapsAfter().
#pragma once

#include <string>
#include <string_view>

#include "os/sim/machine.h"

namespace os::sim {

// False, with the reason, when either disk is not described.
bool SwapDisks(Machine& machine, int disk, int spare, std::string* why);

// The same on the machine of this process, under its lock.
bool SwapDisksNow(int disk, int spare, std::string* why);

// Makes, and removes from the description, the planned swaps that wait for
// this command of this program.
void PlaySwapsAfter(std::string_view program, std::string_view command);

}  // namespace os::sim
