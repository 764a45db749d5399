// The target list RDriver: which volumes qualify, one entry per disk, and
// the rebuild.
//
// Public functions:
//   ListTargetLetters()   the qualifying letters, "E:,G:,"
//   RefreshTargetList()   rebuilds RDriver and selects its first entry
//   AddTargetEntry()      appends the entry of the disk behind one letter
//   TargetEntryOf()       that entry, as the disk is now
//   TargetIdentityText()  the identity of the disk behind a letter, for the log
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace os {
class MainWindow;
}

namespace disk {

// C: to Z:. Without includeUsbHdd every removable volume qualifies, on any
// bus; with it, removable and fixed volumes on the USB bus.
std::string ListTargetLetters(bool includeUsbHdd);

// Volumes of one disk share one entry, in the order of their first letter;
// a volume that is not on a disk is not listed, nor one on a disk that holds
// the running Windows or the program's own files (NeverTargetDisks). The log
// gets every entry with its disk's identity, and why each other volume was
// left out.
void RefreshTargetList(os::MainWindow& window, bool includeUsbHdd);

// letter is "E:". Nothing is added when the volume cannot be opened, its
// disk is under 1 MiB or has no medium, or it is not on a disk.
void AddTargetEntry(os::MainWindow& window, std::string_view letter);

// The entry AddTargetEntry would append, with this one letter; nothing when
// it would append none.
std::optional<std::string> TargetEntryOf(std::string_view letter);

// "disk 1, bus USB, vendor "Generic", product "Flash Disk", serial "07A1",
// size 15728640000 bytes"; "" when TargetEntryOf would give no entry.
std::string TargetIdentityText(std::string_view letter);

}  // namespace disk
