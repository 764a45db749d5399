// The command lines given to the archiver, the 7-Zip console shipped as
// Data\Bin\x86.dll in the program folder. The archiver and the archives are
// named by their short paths in double quotes; output folders follow -o in
// double quotes.
//
// Public: kPluginPassword, ArchiverProgram(), UnpackPluginCommand(),
//   UnpackImageCommand(), UnpackDataCommand(), ExtractFromImageCommand().
#pragma once

#include <string>
#include <string_view>

namespace sys {

// The password of the plug-in archives (Data\Plugins\pacmd.aes, qemu.aes),
// both for their scrambling and for the archives inside.
constexpr std::string_view kPluginPassword = "52416035";

// The archiver's quoted short path: GetShortPath(<program folder>\Data\Bin\x86.dll).
std::string ArchiverProgram();

// A descrambled plug-in archive in the temporary folder, unpacked with its
// folders into the temporary folder:
// <x86> x -p52416035 <sTmpPath>\<archive> -y -o"<sTmpPath>"
std::string UnpackPluginCommand(std::string_view archiveName);

// Every file of the PE image into the staging folder, keeping files that are
// there: <x86> x <iso> -y -aos -o"<sTmpPath>\EFI"
std::string UnpackImageCommand(std::string_view isoFile);

// The data package into the root of the data volume, replacing files:
// <x86> x <7z> -y -o"<L>"
std::string UnpackDataCommand(std::string_view sevenZipFile, std::string_view letter);

// Every file of that name anywhere in the image, without its folder, into
// C:\WinPE, replacing files: <x86> e <iso> -y -aoa -o"C:\WinPE" <name> -r,
// the name in double quotes when it holds a blank.
std::string ExtractFromImageCommand(std::string_view isoFile, std::string_view name);

}  // namespace sys
