// bootsect.exe: "bootsect /nt60 <L> [/mbr] [/force]" writes the boot code
// that starts bootmgr into the boot sector of volume L, and with /mbr into
// the master boot record of its disk too.
#include <cstdio>

#include "sys/text.h"
#include "tools/tvtool/commands.h"
#include "tools/tvtool/disk_edit.h"

namespace tvtool {

int RunBootsect(const Args& args) {
  constexpr std::string_view kTool = "bootsect";
  std::string code;
  char letter = 0;
  bool mbr = false;
  for (const std::string& a : args) {
    std::string lower = sys::LowerAscii(a);
    if (lower == "/nt60") code = "nt60";
    else if (lower == "/mbr") mbr = true;
    else if (lower == "/force") continue;
    else if (!letter && ParseDriveLetter(a)) letter = ParseDriveLetter(a);
    else return Fail(kTool, {"unknown argument \"" + a + "\"", 2});
  }
  if (code.empty() || !letter) return Fail(kTool, {"usage: bootsect /nt60 <drive>: [/mbr] [/force]", 2});

  FaultPlay fault("bootsect", "");
  if (auto exit = fault.Exit()) return *exit;
  auto stop = EditMachine([&](Machine& m) -> std::optional<Stop> {
    auto volume = FindLetterVolume(m, letter);
    if (!volume) return Stop{std::string("Could not map drive \"") + letter + ":\" to a device.", 1};
    Partition& p = volume->partition();
    if (p.fileSystem.empty()) return Stop{std::string(1, letter) + ": has no file system to take boot code.", 1};
    p.bootCode = code;
    // A partial run wrote the volume's boot sector but never reached the MBR.
    if (mbr && !fault.Partial()) volume->disk->mbrCode = code;
    return std::nullopt;
  });
  if (stop) return Fail(kTool, *stop);
  printf("Successfully updated the boot code on %c:.\n", letter);
  return 0;
}

}  // namespace tvtool
