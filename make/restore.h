// Restoring disk space: a made disk becomes one plain FAT32 partition again.
//
// Public: InitDisk().
#pragma once

#include "app/form1.h"

namespace make {

void InitDisk(app::Form1& form);

}  // namespace make
