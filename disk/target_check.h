// The check of the user's choice in the target list before any disk work.
//
// Public function: GetDiskInfoTest().
#pragma once

namespace os {
class MainWindow;
}

namespace disk {

// The options-menu entry of the single-disk limit.
constexpr int kLimitUsbDiskMenuId = 2030;

// True when the chosen entry may be used: then app::iDiskNum is its disk
// number, app::sDataLetter the volume to write to, app::sEfiLetter is empty
// and the per-run temporary folder exists. False after exactly one message
// box saying why: the single-disk limit, no choice, a disk not on USB, or a
// choice that no longer matches the disks (the list is out of date: another
// disk, or another number, model or size, behind the entry's letters), or a
// disk that is never a target (it holds the running Windows, the program,
// its configuration file or its PE package). When it accepts, the disk's
// identity is recorded for the checks of the steps that follow
// (disk/target_guard).
bool GetDiskInfoTest(os::MainWindow& window);

}  // namespace disk
