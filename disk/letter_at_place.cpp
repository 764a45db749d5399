#include "disk/letter_at_place.h"

#include "disk/device_number.h"
#include "disk/target_list.h"
#include "sys/text.h"

namespace disk {

std::string LetterAtPlace(int diskNumber, int partitionNumber, bool includeUsbHdd) {
  std::vector<std::string> pieces = sys::Split(ListTargetLetters(includeUsbHdd), ",");
  for (size_t i = 0; i + 1 < pieces.size(); ++i) {
    if (GetDiskNumOfLetter(pieces[i], false) != std::to_string(diskNumber)) continue;
    if (GetDiskNumOfLetter(pieces[i], true) == std::to_string(partitionNumber)) return pieces[i];
  }
  return "";
}

}  // namespace disk
