// Installing the PE image onto the local system disk, as an extra entry of
// the Windows boot menu.
//
// Public: InstPEToDisk().
#pragma once

#include "app/form1.h"

namespace extra {

// True only when the boot-entry batch file was run.
bool InstPEToDisk(app::Form1& form);

}  // namespace extra
