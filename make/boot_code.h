// The boot code of a made disk, read back through the system and judged:
// the master boot record (boot signature, boot code, the partition table
// agreeing with the disk's layout) and, where the make writes one, the
// active partition's boot sector (boot signature and boot code).
//
// What a make writes: the UD layout's UD format writes the UD boot code into
// the master boot record; in the other layouts a PE image with grldr gets the
// loader installer's master boot record, one with bootmgr gets bootsect's
// master boot record and the boot sector of the EFI partition, which is the
// active one; an image with neither gets no boot code.
//
// Public: enum class BootCodeNeed, BootCodeFor(), JudgeMasterBootRecord(),
//         JudgeBootSector(), CheckBootCode().
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "disk/drive_layout.h"
#include "make/make_request.h"
#include "make/package_listing.h"

namespace make {

enum class BootCodeNeed {
  kNone,              // no boot code is written: signature and table only
  kMasterBootRecord,  // boot code in the master boot record
  kActiveBootSector,  // that, and the active partition's boot sector
};

// What the make writes for this layout and PE image (its listing; without
// one, the image's boot files are unknown and only the UD layout's need is).
BootCodeNeed BootCodeFor(Layout layout, const std::optional<std::vector<PackageFile>>& peFiles);

// A disk's first sector judged against its layout as Windows reports it:
// "" when right, else what is wrong, in English for a log and the failure
// line. A sector that is not 512 bytes is wrong.
std::string JudgeMasterBootRecord(std::span<const uint8_t> sector, const disk::DriveLayout& table, bool needCode);

// A partition's first sector: "" when it has the boot signature and boot code.
std::string JudgeBootSector(std::span<const uint8_t> sector);

// Reads the master boot record of disk `diskNumber` and, when needed, the
// active partition's boot sector (from the disk, at the partition's place,
// so that a hidden partition is read as well) and judges them. Every finding,
// the first being the reason; none when the boot code is right.
std::vector<std::string> CheckBootCode(int diskNumber, const disk::DriveLayout& table, BootCodeNeed need);

}  // namespace make
