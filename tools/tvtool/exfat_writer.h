// Writing files into an exFAT volume image without mounting it. exfatprogs
// makes the file system (mkfs.exfat) but has no tool that copies files into
// it, and mounting needs privileges a test run may lack, so this writer adds
// the folders and files itself: allocation bitmap, cluster chains, and
// directory entry sets with their name hashes (from the volume's up-case
// table) and checksums.
//
// Public: WriteExfatFiles().
#pragma once

#include <string>

namespace tvtool {

// Copies the content of a host folder into the root of the exFAT volume in
// `image` (the whole file is the volume). False with *why when the image is
// no exFAT volume, the files do not fit, or a name is too long.
bool WriteExfatFiles(const std::string& image, const std::string& hostFolder, std::string* why);

}  // namespace tvtool
