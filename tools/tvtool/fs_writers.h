// Real file systems for the boot test's disk image: makes one in a volume
// image with the host's tools and copies a host folder's files into it.
//   FAT32, FAT   mkfs.fat, then mtools (mmd, mcopy, mattrib)
//   exFAT        mkfs.exfat, then our own writer (exfat_writer.h)
//   NTFS         mkntfs, then tvntfs (through ntfs-3g's library)
// None of them mounts anything.
//
// Public: struct VolumeSpec, MakeVolumeImage(), MissingVolumeTools().
#pragma once

#include <cstdint>
#include <string>

namespace tvtool {

struct VolumeSpec {
  std::string fileSystem;  // "FAT32", "FAT", "exFAT" or "NTFS"
  std::string label;
  uint64_t bytes = 0;        // size of the volume
  uint64_t firstSector = 0;  // where it lies on its disk (the boot sector's hidden sectors)
  std::string hostFolder;    // files to copy in; "" for none
};

// Makes `image` (created or replaced, sparse) a volume as `spec` describes
// it, with the folder's files. False with *why naming what failed.
bool MakeVolumeImage(const std::string& image, const VolumeSpec& spec, std::string* why);

// The host programs a file system needs that are not installed, joined by
// ", "; empty when all are there.
std::string MissingVolumeTools(const std::string& fileSystem);

}  // namespace tvtool
