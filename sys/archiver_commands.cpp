#include "sys/archiver_commands.h"

#include "app/globals.h"
#include "sys/system_programs.h"
#include "app/search_folders.h"
#include "sys/short_path.h"

namespace sys {

std::string ArchiverProgram() { return GetShortPath(app::ProgramFolder() + "\\Data\\Bin\\x86.dll"); }

std::string UnpackPluginCommand(std::string_view archiveName) {
  return ArchiverProgram() + " x -p" + std::string(kPluginPassword) + " " +
         CommandArg(app::sTmpPath + "\\" + std::string(archiveName)) + " -y -o\"" + app::sTmpPath + "\"";
}

std::string UnpackImageCommand(std::string_view isoFile) {
  return ArchiverProgram() + " x " + GetShortPath(isoFile) + " -y -aos -o\"" + app::sTmpPath + "\\EFI\"";
}

std::string UnpackDataCommand(std::string_view sevenZipFile, std::string_view letter) {
  return ArchiverProgram() + " x " + GetShortPath(sevenZipFile) + " -y -o\"" + std::string(letter) + "\"";
}

std::string ExtractFromImageCommand(std::string_view isoFile, std::string_view name) {
  // A name with a blank is one argument only in double quotes (the local
  // install refuses names that hold one); other names go as they are.
  std::string argument(name);
  if (argument.find(' ') != std::string::npos) argument = "\"" + argument + "\"";
  return ArchiverProgram() + " e " + GetShortPath(isoFile) + " -y -aoa -o\"C:\\WinPE\" " + argument + " -r";
}

}  // namespace sys
