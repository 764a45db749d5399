// The steps of a make that create or change partitions: the diskpart pass
// of the diskpart mode (layout UEFI+DATA), the partition pass of the new-make
// mode, the data letter search after either pass, the UD area, the EFI
// partition at the end of the disk, and the partition-type script that
// closes a UEFI+DATA make.
//
// Public: kDiskPartTemplate, kPartitionTypeTemplate, FillDiskPartScript(),
//         FillPartitionTypeScript(), DiskpartPass(), PartitionPass(),
//         DataLetterSearch(), CreateUdArea(), CreateEfiPartition(),
//         RunPartitionTypeScript(), OnePartitionAtLayoutPlace().
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "make/make_request.h"

namespace make {

// lDiskPart, the diskpart script of the diskpart pass, before filling: the
// disk made anew with an active FAT32 EFI partition of %ES% MB at its start,
// which takes the data partition's old letter %EP%, and an exFAT data
// partition labelled %DL% over the rest, with the free letter %DP%.
extern const std::string_view kDiskPartTemplate;
// lDPID1C, the script that gives the EFI partition of a UEFI+DATA disk the
// MBR type 1C (hidden FAT32 with LBA); diskpart counts partitions from 1.
extern const std::string_view kPartitionTypeTemplate;

// The filled template: %DiskID% the disk number, %DP% the free letter (its
// first character; "" when none is free), %EP% the first character of the
// data letter, %DL% the label, %ES% the EFI size, replaced in that order.
std::string FillDiskPartScript(int disk, std::string_view freeLetter, std::string_view dataLetter,
                               std::string_view label, int32_t efiSizeMB);
std::string FillPartitionTypeScript(int disk);

// The diskpart pass: the filled script run by diskpart, the status line set
// to language string 24 just before, then the data letter search for the
// partition number "2".
void DiskpartPass(const MakeRequest& r);

// The partition pass (step markers 5 to 8): both partitions unhidden, the
// disk raw-formatted by the UD tool, initialised by the partition tool, and
// five seconds to settle, handling events.
void PartitionPass(const MakeRequest& r);

// Finds the new data partition's letter: the first target letter whose
// volume is partition `partition` ("1" or "2") of disk app::iDiskNum and
// differs from app::sDataLetter becomes app::sDataLetter. When none does,
// app::sDataLetter keeps its value.
void DataLetterSearch(std::string_view partition);

// The UD area of the UD size in front of a FAT32 data partition, made
// through app::sDataLetter. False when that letter's volume is not on the
// target disk: nothing is run.
bool CreateUdArea(const MakeRequest& r);

// The data partition gives up the EFI size at its end, and a FAT32
// partition labelled EFI (active in the DATA+UEFI layout) takes it. False,
// with nothing run, when app::sDataLetter's volume is not on the target disk.
bool CreateEfiPartition(const MakeRequest& r);

// The EFI partition of a UEFI+DATA disk gets the type 1C.
void RunPartitionTypeScript();

// Whether disk app::iDiskNum holds one partition that starts at the
// layout's offset (1 MB) and reaches the end of the disk, both within the
// partition tools' alignment: the only single partition the layouts can be
// cut from without a partition pass.
bool OnePartitionAtLayoutPlace();

}  // namespace make
