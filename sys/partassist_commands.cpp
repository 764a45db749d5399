#include "sys/partassist_commands.h"

#include "app/globals.h"
#include "sys/system_programs.h"

namespace sys {
namespace {

// The whole command goes through the interpreter as one: the quotes of a
// path with a blank stay inside the outer pair.
std::string Pa(const std::string& arguments) {
  return ThroughCmd(CommandArg(app::sTmpPath + "\\PACMD\\PartAssist.exe") + arguments);
}

std::string Disk(int disk, const std::string& rest) { return Pa(" /hd:" + std::to_string(disk) + rest); }

}  // namespace

std::string PartAssistProgram() { return Pa(""); }

std::string PaList(int disk, std::string_view outFile) {
  return Pa(" /list:" + std::to_string(disk) + " /out:" + CommandArg(outFile));
}

std::string PaUnhide(int disk, int index) { return Disk(disk, " /unhide:" + std::to_string(index)); }

std::string PaInit(int disk) { return Pa(" /init:" + std::to_string(disk)); }

std::string PaResize(std::string_view letter, int64_t reduceMB) {
  return Pa(" /resize:" + std::string(letter) + " /reduce-right:" + std::to_string(reduceMB) + "MB");
}

std::string PaCreateEfi(int disk, bool active) {
  return Disk(disk, std::string(" /cre /pri /size:auto") + (active ? " /act" : "") + " /end /fs:fat32 /align /label:EFI");
}

std::string PaWriteHidden(int disk, int index, std::string_view sourceFolder) {
  return Disk(disk, " /whide:" + std::to_string(index) + " /src:" + CommandArg(sourceFolder));
}

std::string PaWriteHidden(int disk, int index) { return Disk(disk, " /whide:" + std::to_string(index)); }

std::string PaHide(int disk, int index) { return Disk(disk, " /hide:" + std::to_string(index)); }

std::string PaSetLetterAuto(int disk, int index) {
  return Disk(disk, " /setletter:" + std::to_string(index) + " /letter:auto");
}

std::string PaSetLetter(int disk, int index, std::string_view letter) {
  return Disk(disk, " /setletter:" + std::to_string(index) + " /letter:" + std::string(letter));
}

}  // namespace sys
