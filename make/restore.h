// Restoring disk space: a made disk becomes one plain FAT32 partition again.
// The partitions are unhidden with the partition tool, the UD tool formats
// the whole disk, and the partition tool's list must then show exactly one
// partition. The step marker BreakPoint records how far the work got: 1
// after the confirmation, 2 before the partition tool, 3 before the UD tool,
// 4 and 5 after it, 6 after the list is rebuilt, 0 when idle.
//
// Public: InitDisk().
#pragma once

#include "app/form1.h"

namespace make {

void InitDisk(app::Form1& form);

}  // namespace make
