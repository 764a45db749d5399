// The command lines given to the partition tool (PartAssist.exe, unpacked
// from the pacmd plug-in into <sTmpPath>\PACMD). Each starts with
// "<cmd> /c <sTmpPath>\PACMD\PartAssist.exe", through the command
// interpreter of the system folder (ThroughCmd()), with the program path and
// the file and folder values quoted when they have a blank (CommandArg()),
// and writes disk numbers and partition indexes in decimal.
// Partition indexes count from 0 in disk order; letters are given as "E:".
//
// Public functions: PartAssistProgram(), PaList(), PaUnhide(), PaInit(),
//   PaResize(), PaCreateEfi(), PaWriteHidden(), PaHide(), PaSetLetterAuto(),
//   PaSetLetter().
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sys {

// "<cmd> /c <sTmpPath>\PACMD\PartAssist.exe"
std::string PartAssistProgram();

// The partition list of a disk into a file: ... /list:<n> /out:<file>
std::string PaList(int disk, std::string_view outFile);
// Partition i is no longer hidden: ... /hd:<n> /unhide:<i>
std::string PaUnhide(int disk, int index);
// The disk is initialised: ... /init:<n>
std::string PaInit(int disk);
// The volume's partition gives up `reduceMB` at its end:
// ... /resize:<L> /reduce-right:<e>MB
std::string PaResize(std::string_view letter, int64_t reduceMB);
// A primary FAT32 partition labelled EFI in the free space at the end of the
// disk, the active one when `active`:
// ... /hd:<n> /cre /pri /size:auto[ /act] /end /fs:fat32 /align /label:EFI
std::string PaCreateEfi(int disk, bool active);
// A folder's content written onto partition i, hidden or not:
// ... /hd:<n> /whide:<i> /src:<folder>
std::string PaWriteHidden(int disk, int index, std::string_view sourceFolder);
// The same with no source folder: ... /hd:<n> /whide:<i>
std::string PaWriteHidden(int disk, int index);
// Partition i is hidden: ... /hd:<n> /hide:<i>
std::string PaHide(int disk, int index);
// Partition i gets a free letter: ... /hd:<n> /setletter:<i> /letter:auto
std::string PaSetLetterAuto(int disk, int index);
// Partition i gets the letter L: ... /hd:<n> /setletter:<i> /letter:<L>
std::string PaSetLetter(int disk, int index, std::string_view letter);

}  // namespace sys
