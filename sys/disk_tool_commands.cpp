#include "sys/disk_tool_commands.h"

#include "app/globals.h"
#include "os/system.h"

namespace sys {

std::string FormatCommand(std::string_view letter, std::string_view fileSystem) {
  return "cmd.exe /c " + os::EnvVar("windir").value_or("") + "\\System32\\format.com " + std::string(letter) +
         " /FS:" + std::string(fileSystem) + " /q /x /y";
}

std::string LoaderInstallCommand(int disk) {
  return "cmd.exe /c " + app::sTmpPath + "\\PACMD\\ginst.exe (hd" + std::to_string(disk) + ")";
}

std::string BootSectorCommand(std::string_view letter) {
  return app::sTmpPath + "\\PACMD\\bootsect.exe /nt60 " + std::string(letter) + " /mbr";
}

}  // namespace sys
