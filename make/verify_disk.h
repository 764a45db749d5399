// The check of a made disk, after its population and before the report:
// the partitions as the layout puts them (number, order, type ids, active
// and hidden flags, file systems, the EFI partition's size at its place, the
// data partition over the rest of the disk), every file of the PE image
// and of the data package on its partition with its size, and the boot code
// the make writes, read back from the disk (make/boot_code.h). A hidden EFI
// partition is unhidden for the check and hidden again. The UD area is not
// a volume and cannot be read through the system; it is not looked at.
//
// Public: struct DiskExpectation, struct Verdict, JudgeTable(),
//         CountLackingFiles(), VerifyMadeDisk(), LastVerdict(),
//         PartitionStepExitCodeLine(), GroupThousands().
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "disk/drive_layout.h"
#include "make/boot_code.h"
#include "make/make_request.h"
#include "make/package_listing.h"

namespace make {

// What the disk must look like after this make.
struct DiskExpectation {
  Layout layout = Layout::kDataUefi;
  int32_t udSizeMB = 0;         // the UD area in front of the data partition (UD+DATA+UEFI)
  int32_t efiSizeMB = 0;        // the EFI partition's size
  bool efiHidden = false;       // hidden after the make
  std::string dataFileSystem;   // "NTFS", "FAT32", "exFAT"; "" when any will do
  std::optional<std::vector<PackageFile>> peFiles;
  bool hasDataPackage = false;
  std::optional<std::vector<PackageFile>> dataFiles;
  BootCodeNeed bootCode = BootCodeNeed::kNone;  // what the make writes (BootCodeFor())
};

// The outcome: passed, or the line that says what is wrong (language
// strings 75 to 81, 93). `findings` lists, in English for a log, everything the
// check found wrong, the first one being the reason given.
struct Verdict {
  bool passed = false;
  std::string failureLine;
  std::vector<std::string> findings;
  uint64_t durationMs = 0;  // how long the check took, on the system's clock
  // "passed" or "failed", then each finding, one a line.
  std::string Text() const;
};

// How far a partition may lie from its place, or its size from the
// configured one: the partition tools align to a cylinder (under 8 MB).
constexpr uint64_t kAlignmentSlack = 8 * disk::kMiB;

// The partition table and the file systems (from the partition tool's list,
// in table order, UD row left out) judged against the expectation. The
// findings are appended; the first finding's failure line is returned, ""
// when the table is right.
std::string JudgeTable(const disk::DriveLayout& table, const std::vector<std::string>& fileSystems,
                       const DiskExpectation& expect, std::vector<std::string>& findings);

// How many of the files are missing under `root` ("E:") or have another size.
size_t CountLackingFiles(const std::string& root, const std::vector<PackageFile>& files);

// The whole check of disk app::iDiskNum, through the system and the
// partition tool (whose list of the disk must be in <sTmpPath>\PACMD\usee.txt
// from the final layout check).
// The verdict is also kept, for a log, until the next check.
Verdict VerifyMadeDisk(const DiskExpectation& expect);
const Verdict& LastVerdict();

// The line (string 81) that names the exit code of the first failed step
// that makes or changes partitions, such as "PartAssist.exe ended with exit
// code 1."; "" when none failed.
std::string PartitionStepExitCodeLine();

// "15000" gives "15,000".
std::string GroupThousands(uint64_t n);

}  // namespace make
