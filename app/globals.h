// The state that the program's parts share, in one place. Each value lives
// as long as the process; the part named beside it owns it (sets it), the
// others read it.
//
// Public: the variables below.
#pragma once

#include <cstdint>
#include <string>

namespace app {

// --- Start-up and the main window ------------------------------------------
// The per-run temporary folder: <Windows folder>\Temp\ and eight random letters, no
// trailing separator. Made at start-up, deleted with everything in it when
// the main window closes.
extern std::string sTmpPath;
// Face name of the system's window-caption font; empty when unreadable.
extern std::string sFontName;
// USB hard disks are listed as targets too (configuration key MobileHardDisk,
// options-menu entry 2031).
extern bool bMobileHardDisk;
// 1 when progress is also shown on the taskbar button during this run.
extern int16_t iTaskbarProg;

// --- The packages beside the program (found by FindFbaIso7z) ---------------
extern std::string sFbaFile;  // UD package *.fba, empty when absent
extern std::string sIsoFile;  // PE image *.iso
extern std::string s7zFile;   // data package *.7z

// --- The target of the running operation (set by GetDiskInfoTest) ----------
extern int16_t iDiskNum;      // disk number, written in decimal in every command
extern std::string sDataLetter;  // "E:": the volume the program writes to
extern std::string sEfiLetter;   // the EFI partition's letter, found later

// --- The layout check ---------------------------------------------------------
// 0 before a make, 1 while a make verifies its result, 2 while a restore does.
extern int32_t iVerifyPhase;
// Sizes in MB of the existing UD area, data and EFI partitions.
extern int32_t lUDAreaMB;
extern int32_t lDataPartMB;
extern int32_t lEfiPartMB;

// --- Progress -----------------------------------------------------------------
// Percentage up to which the progress timer may move the bar.
extern int16_t iProgCeiling;

}  // namespace app
