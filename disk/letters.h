// Drive letters in use, and a free one for a new partition.
//
// Public functions:
//   GetUsedLetters()   "C:,D:,E:," — the letters C: to Z: that are taken
//   GetFreeLetter()    "V", or "" when every preferred letter is taken
//   kFreeLetterOrder   the order in which free letters are tried
#pragma once

#include <string>

namespace disk {

// U and X are never given out, nor the letters before G.
inline constexpr const char kFreeLetterOrder[] = "VZYWTSRQPONMLKJIHG";

// A letter is taken when it names an existing path or a drive of any known
// type (a network drive or an empty CD drive included).
std::string GetUsedLetters();

// The used letters are read afresh for every candidate, so a letter that
// appeared meanwhile is seen.
std::string GetFreeLetter();

}  // namespace disk
