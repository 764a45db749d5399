// The command lines given to the USB boot-area (UD) tool, Data\Bin\aes.dll in
// the program folder, named by its quoted short path. A disk is named
// "(hd<n>)" with its number in decimal, a volume by its letter ("E:"),
// after exactly one space.
//
// Public functions: UdToolProgram(), UdFormatRaw(), UdFormatWithArea(),
//   UdLoad(), UdClear().
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sys {

// GetShortPath(<program folder>\Data\Bin\aes.dll)
std::string UdToolProgram();

// The whole disk as one FAT32 partition, without UD area:
// <aes> (hd<n>) format --force --raw --fat32 --align
std::string UdFormatRaw(int disk);

// A UD area of udSizeMB in front of one FAT32 data partition on the disk of
// the volume: <aes> <L> format --force --fat32 --align --primary 8M --extended <u>M
// with u = udSizeMB - 8.
std::string UdFormatWithArea(std::string_view letter, int32_t udSizeMB);

// The UD package into the UD area of the volume's disk: <aes> <L> load <fba>,
// the package by its quoted short path.
std::string UdLoad(std::string_view letter, std::string_view fbaFile);

// The UD area emptied: <aes> <L> clear
std::string UdClear(std::string_view letter);

}  // namespace sys
