// Filling the partitions of a made disk: the UD package into the UD area,
// the PE image's files with their boot code onto the EFI partition (found or
// given a letter, formatted, written, hidden), and the data package onto the
// data partition, which the new-make mode formats and labels first. The make
// procedure runs these steps in its order and writes the step marker around
// them; the steps that write through a drive letter check first that the
// letter's volume lies on the target disk, and run nothing when it does not.
//
// Public: UdClear(), UdLoad(), UnhideEfi(), EarlyWhide(), EfiLetterSearch(),
//         FormatEfi(), UnpackPe(), FindDataLetter(), InstallBootCode(), WriteEfi(),
//         DataLetterBack(), FormatData(), SetDataLabel(), RemoveStaging(),
//         UnpackData(), ClosingWhide().
#pragma once

#include "make/make_request.h"

namespace make {

// The UD area emptied, and the UD package loaded into it, through
// app::sDataLetter. False when that volume is not on the target disk.
bool UdClear();
bool UdLoad();

// The EFI partition visible again (update and diskpart modes).
void UnhideEfi(const MakeRequest& r);

// Systems before Windows 7: two /whide:1 calls without a folder.
void EarlyWhide();

// Finds the EFI partition by its place on the target disk (the partition
// number the layout gives it), with its label "EFI" and a FAT file system as
// a further check; when none is found, asks the partition tool once for a letter
// and looks again. Step markers 22 and 23 around each search.
void EfiLetterSearch(const MakeRequest& r);

// format.com FAT32 of app::sEfiLetter, then the label "EFI". False when the
// volume is not on the target disk.
bool FormatEfi();

// The PE image's files into the staging folder <sTmpPath>\EFI, emptied
// first.
void UnpackPe();

// app::sDataLetter becomes the letter of the volume at the data partition's
// place on the target disk. False, with the letter unchanged, when that
// partition has no letter.
bool FindDataLetter(const MakeRequest& r);

// The boot code of the staged image (layouts other than UD+DATA+UEFI): the
// loader installer for grldr, else bootsect for bootmgr when the EFI
// partition has a letter. Step markers 251 to 254. False when bootsect
// would write to a volume that is not on the target disk.
bool InstallBootCode(const MakeRequest& r);

// The staging folder written onto the EFI partition, which is then hidden
// when EFIHide is "1" (layouts other than UEFI+DATA).
void WriteEfi(const MakeRequest& r);

// Systems before Windows 7: partition 0 gets app::sDataLetter again.
void DataLetterBack();

// The new-make mode's data format by the file-system list's index (0 NTFS,
// 1 FAT32, 2 exFAT, anything else none), then the volume label. False, with
// nothing run, when app::sDataLetter's volume is not on the target disk.
bool FormatData(const MakeRequest& r, int fileSystemIndex);

// The volume label of app::sDataLetter. False when the volume is not on the
// target disk.
bool SetDataLabel(const MakeRequest& r);

// The staging folder and everything in it deleted.
void RemoveStaging();

// The data package unpacked into the root of app::sDataLetter. False, with
// nothing run, when the volume is not on the target disk.
bool UnpackData();

// Layout UEFI+DATA: the closing /whide:1 call.
void ClosingWhide();

}  // namespace make
