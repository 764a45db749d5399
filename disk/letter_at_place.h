// A partition's drive letter found by its place: the target letter whose
// volume lies on the given disk at the given partition number. Labels and
// file systems say nothing about where a volume lies, so they never choose
// the partition on their own.
//
// Public: LetterAtPlace().
#pragma once

#include <string>

namespace disk {

// The first of the target letters (ListTargetLetters) whose volume is
// partition `partitionNumber` (counted from 1 in table order, as Windows
// numbers them) of disk `diskNumber`; "" when none is.
std::string LetterAtPlace(int diskNumber, int partitionNumber, bool includeUsbHdd);

}  // namespace disk
