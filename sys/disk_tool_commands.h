// The command lines of the system's format.com and of the two boot-code
// tools that the partition-tool plug-in brings into <sTmpPath>\PACMD: the
// loader installer ginst.exe and the boot-sector tool bootsect.exe.
//
// Public functions: FormatCommand(), LoaderInstallCommand(), BootSectorCommand().
#pragma once

#include <string>
#include <string_view>

namespace sys {

// A quick format of the volume with the file system ("NTFS", "FAT32",
// "exFAT"), dismounting it first and asking nothing:
// cmd.exe /c <windir>\System32\format.com <L> /FS:<fs> /q /x /y
// with <windir> the value of the environment variable windir.
std::string FormatCommand(std::string_view letter, std::string_view fileSystem);

// The loader's boot code onto disk n: cmd.exe /c <sTmpPath>\PACMD\ginst.exe (hd<n>)
std::string LoaderInstallCommand(int disk);

// The boot code for bootmgr into the volume's boot sector and its disk's
// master boot record, the tool started directly:
// <sTmpPath>\PACMD\bootsect.exe /nt60 <L> /mbr
std::string BootSectorCommand(std::string_view letter);

}  // namespace sys
