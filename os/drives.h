// Drive letters and volumes.
//
// Public functions:
//   DriveType()           GetDriveTypeA
//   VolumeInformation()   GetVolumeInformationA: label and file-system name
//   SetLabel()            SetVolumeLabelA
//   FreeSpace()           GetDiskFreeSpaceA
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace os {

enum DriveKind : uint32_t {
  kDriveUnknown = 0,
  kDriveNoRootDir = 1,
  kDriveRemovable = 2,
  kDriveFixed = 3,
  kDriveRemote = 4,
  kDriveCdrom = 5,
  kDriveRamdisk = 6,
};

struct VolumeInfo {
  std::string label;
  std::string fileSystem;
  uint32_t serial = 0;
  uint32_t maxComponentLength = 0;
  uint32_t flags = 0;
};

struct FreeSpaceInfo {
  uint32_t sectorsPerCluster = 0;
  uint32_t bytesPerSector = 0;
  uint32_t freeClusters = 0;
  uint32_t totalClusters = 0;
};

// root is given as the caller has it: "E:" or "E:\".
uint32_t DriveType(std::string_view root);
bool VolumeInformation(std::string_view root, VolumeInfo& info);
bool SetLabel(std::string_view root, std::string_view label);
bool FreeSpace(std::string_view root, FreeSpaceInfo& info);

}  // namespace os
