#include "sys/partassist_commands.h"

#include "app/globals.h"

namespace sys {
namespace {

std::string Disk(int disk) { return PartAssistProgram() + " /hd:" + std::to_string(disk); }

}  // namespace

std::string PartAssistProgram() { return "cmd.exe /c " + app::sTmpPath + "\\PACMD\\PartAssist.exe"; }

std::string PaList(int disk, std::string_view outFile) {
  return PartAssistProgram() + " /list:" + std::to_string(disk) + " /out:" + std::string(outFile);
}

std::string PaUnhide(int disk, int index) { return Disk(disk) + " /unhide:" + std::to_string(index); }

std::string PaInit(int disk) { return PartAssistProgram() + " /init:" + std::to_string(disk); }

std::string PaResize(std::string_view letter, int64_t reduceMB) {
  return PartAssistProgram() + " /resize:" + std::string(letter) + " /reduce-right:" + std::to_string(reduceMB) + "MB";
}

std::string PaCreateEfi(int disk, bool active) {
  return Disk(disk) + " /cre /pri /size:auto" + (active ? " /act" : "") + " /end /fs:fat32 /align /label:EFI";
}

std::string PaWriteHidden(int disk, int index, std::string_view sourceFolder) {
  return PaWriteHidden(disk, index) + " /src:" + std::string(sourceFolder);
}

std::string PaWriteHidden(int disk, int index) { return Disk(disk) + " /whide:" + std::to_string(index); }

std::string PaHide(int disk, int index) { return Disk(disk) + " /hide:" + std::to_string(index); }

std::string PaSetLetterAuto(int disk, int index) {
  return Disk(disk) + " /setletter:" + std::to_string(index) + " /letter:auto";
}

std::string PaSetLetter(int disk, int index, std::string_view letter) {
  return Disk(disk) + " /setletter:" + std::to_string(index) + " /letter:" + std::string(letter);
}

}  // namespace sys
