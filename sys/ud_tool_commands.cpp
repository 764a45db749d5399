#include "sys/ud_tool_commands.h"

#include "app/search_folders.h"
#include "sys/short_path.h"

namespace sys {

std::string UdToolProgram() { return GetShortPath(app::ProgramFolder() + "\\Data\\Bin\\aes.dll"); }

std::string UdFormatRaw(int disk) {
  return UdToolProgram() + " (hd" + std::to_string(disk) + ") format --force --raw --fat32 --align";
}

std::string UdFormatWithArea(std::string_view letter, int32_t udSizeMB) {
  // 64-bit, so that no configured size can wrap.
  int64_t extended = static_cast<int64_t>(udSizeMB) - 8;
  return UdToolProgram() + " " + std::string(letter) + " format --force --fat32 --align --primary 8M --extended " +
         std::to_string(extended) + "M";
}

std::string UdLoad(std::string_view letter, std::string_view fbaFile) {
  return UdToolProgram() + " " + std::string(letter) + " load " + GetShortPath(fbaFile);
}

std::string UdClear(std::string_view letter) { return UdToolProgram() + " " + std::string(letter) + " clear"; }

}  // namespace sys
