// Size, free and used space of a volume, in whole MB.
//
// Public: enum SpaceKind, GetDiskSpaceMB(), SpaceMB().
#pragma once

#include <cstdint>
#include <string_view>

#include "os/drives.h"

namespace disk {

enum SpaceKind : int { kSpaceTotal = 1, kSpaceFree = 2, kSpaceUsed = 3 };

// root is "E:". Total, free or used MB, rounded down; 0 for any other kind
// and for a volume that cannot be queried. The MB values are taken to four
// decimal places first (halves to even), exactly, and the used space is
// their difference, never below 0. Values beyond 32 bits read as the
// largest one.
int32_t GetDiskSpaceMB(std::string_view root, int kind);

// The same on the answer of a free-space query.
int32_t SpaceMB(const os::FreeSpaceInfo& info, int kind);

}  // namespace disk
