// The emulator boot test: the chosen disk booted in a PC emulator, in BIOS
// or UEFI mode, with its writes kept in a snapshot.
//
// Public: StartupTest(), EmulatorCommand().
#pragma once

#include <optional>
#include <string>

#include "app/form1.h"

namespace extra {

// mode: 0 or 2020 boots in BIOS mode, 2021 in UEFI mode; any other value
// starts no emulator. The emulator plug-in (Data\Plugins\qemu.aes) is
// unpacked into <sTmpPath>\Qemu on the first test of a run; when it cannot
// be, the user is told and no emulator starts.
void StartupTest(app::Form1& form, int mode);

// The emulator's command line for a mode and a disk number; nothing for a
// mode that starts no emulator. The target disk is the emulator's first hard
// disk, read raw as \\.\PhysicalDrive<n>, its writes kept in a snapshot.
std::optional<std::string> EmulatorCommand(int mode, int disk);

}  // namespace extra
