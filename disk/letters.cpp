#include "disk/letters.h"

#include "os/drives.h"
#include "os/files.h"

namespace disk {

std::string GetUsedLetters() {
  std::string used;
  for (char c = 'C'; c <= 'Z'; ++c) {
    std::string volume{c, ':'};
    if (os::PathExists(volume) || os::DriveType(volume) > os::kDriveNoRootDir) used += volume + ",";
  }
  return used;
}

std::string GetFreeLetter() {
  for (const char* p = kFreeLetterOrder; *p; ++p) {
    if (GetUsedLetters().find(*p) == std::string::npos) return std::string(1, *p);
  }
  return "";
}

}  // namespace disk
