#include "sys/disk_tool_commands.h"

#include "app/globals.h"
#include "sys/system_programs.h"

namespace sys {

std::string FormatCommand(std::string_view letter, std::string_view fileSystem) {
  return ThroughCmd(CommandArg(SystemProgram("format.com")) + " " + std::string(letter) + " /FS:" +
                    std::string(fileSystem) + " /q /x /y");
}

std::string LoaderInstallCommand(int disk) {
  return ThroughCmd(CommandArg(app::sTmpPath + "\\PACMD\\ginst.exe") + " (hd" + std::to_string(disk) + ")");
}

std::string BootSectorCommand(std::string_view letter) {
  return CommandArg(app::sTmpPath + "\\PACMD\\bootsect.exe") + " /nt60 " + std::string(letter) + " /mbr";
}

}  // namespace sys
