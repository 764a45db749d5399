// The layout check: which partitions the target disk carries now, as the
// partition tool lists them into usee.txt, judged against the chosen layout
// or against "exactly one partition"; and the volume query that the make
// procedure uses on new volumes.
//
// Public: PartitionRows(), RowSizeMB(), RowFileSystem(), JudgeLayout(),
//         CheckDiskLayout(), GetVolumeText().
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace os {
class MainWindow;
}

namespace disk {

// The partition rows of a partition list file: every line that splits into
// exactly five fields at "|", given as the five fields joined. A line ends at
// CR LF or at a lone CR; a lone LF does not end one.
std::vector<std::string> PartitionRows(std::string_view fileBytes);

// Column 2 of a row split at tabs, in whole MB: its leading number with
// blanks ignored, times 1024 when the column says "GB", rounded halves to
// even. 0 when the column is missing or holds no number.
int32_t RowSizeMB(std::string_view row);
// Column 4 of a row split at tabs, the file system; "" when missing.
std::string RowFileSystem(std::string_view row);

// The judgement on a disk's rows, given the text of the layout list's entry
// (a layout name, " # " and a make-mode text) and the verification phase
// (0 before a make, 1 after it, 2 after a restore). In the update and
// diskpart modes and after a make it tests the named layout and, when the
// row count fits, records the sizes in app::lUDAreaMB, lDataPartMB and
// lEfiPartMB; otherwise it tests for exactly one partition.
bool JudgeLayout(const std::vector<std::string>& rows, std::string_view layoutText, int32_t verifyPhase);

// Lists disk app::iDiskNum with the partition tool into
// <app::sTmpPath>\PACMD\usee.txt and judges the rows (app::iVerifyPhase).
// The file is deleted first, so a tool that writes nothing is never
// answered by the list of an earlier call. False without listing anything
// when the disk is no longer the chosen one (TargetStillChosen).
bool CheckDiskLayout(std::string_view layoutText);
// The same with the layout list's text taken from the window.
bool CheckDiskLayout(const os::MainWindow& window);

// The volume's file-system name (such as FAT32) when wantFileSystem, else its
// label; "" for a volume that cannot be queried. root is such as "E:".
std::string GetVolumeText(std::string_view root, bool wantFileSystem);

}  // namespace disk
