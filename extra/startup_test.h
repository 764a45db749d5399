// The emulator boot test: the chosen disk booted in a PC emulator, in BIOS
// or UEFI mode, with its writes kept in a snapshot.
//
// Public: StartupTest().
#pragma once

#include "app/form1.h"

namespace extra {

// mode: 0 or 2020 boots in BIOS mode, 2021 in UEFI mode; any other value
// starts no emulator.
void StartupTest(app::Form1& form, int mode);

}  // namespace extra
