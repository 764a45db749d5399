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
// <cmd> /c <system folder>\format.com <L> /FS:<fs> /q /x /y
// with <cmd> the command interpreter of the system folder (ThroughCmd()); a
// path with a blank is quoted (CommandArg()).
std::string FormatCommand(std::string_view letter, std::string_view fileSystem);

// The loader's boot code onto disk n: <cmd> /c <sTmpPath>\PACMD\ginst.exe (hd<n>)
std::string LoaderInstallCommand(int disk);

// The boot code for bootmgr into the volume's boot sector and its disk's
// master boot record, the tool started directly:
// <sTmpPath>\PACMD\bootsect.exe /nt60 <L> /mbr
std::string BootSectorCommand(std::string_view letter);

}  // namespace sys
