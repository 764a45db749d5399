// What the host console shows of the simulated machine itself, so that a
// person sees what an operation did: a disk's layout as the partition table
// holds it, the boot menu's store, what the emulator booted, and the files
// of a folder.
//
// Public functions: RenderDisk(), RenderBootStore(), RenderEmulatorLog(),
//                   RenderFolder().
#pragma once

#include <string>
#include <string_view>

namespace ui::console {

// Disk n: its identity and size, the UD area, then each partition in disk
// order with its letter, file system, label, size, type id and flags.
std::string RenderDisk(int number);
// The boot store that bcdedit keeps (<machine>/bcd.txt), or a note that it
// is still the store of a fresh Windows.
std::string RenderBootStore();
// The emulator's record of its runs (<machine>/qemu.log), the last `lines`.
std::string RenderEmulatorLog(size_t lines);
// A folder of the machine with its files and sub-folders, at most `limit`
// entries.
std::string RenderFolder(std::string_view windowsPath, size_t limit);

}  // namespace ui::console
