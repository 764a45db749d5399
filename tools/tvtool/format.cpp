// format.com: "format <L> /FS:<fs> [/V:<label>] /q /x /y" gives the volume a
// fresh file system: its files are gone, its label is empty (or the one given
// with /V), and its partition type matches the new file system. As on
// Windows, FAT32 is refused above 32 GB and FAT above 4 GB.
#include <cstdio>

#include "os/sim/sim.h"
#include "sys/text.h"
#include "tools/tvtool/commands.h"
#include "tools/tvtool/disk_edit.h"

namespace tvtool {
namespace {

constexpr std::string_view kTool = "format";

std::optional<Stop> CheckSize(const std::string& fileSystem, uint64_t bytes) {
  if (fileSystem == "FAT32" && bytes > (32ull << 30)) return Stop{"The volume is too big for FAT32.", 4};
  if (fileSystem == "FAT" && bytes > (4ull << 30)) return Stop{"The volume is too big for FAT.", 4};
  return std::nullopt;
}

}  // namespace

int RunFormat(const Args& args) {
  char letter = 0;
  std::string fileSystem, label;
  for (const std::string& a : args) {
    std::string lower = sys::LowerAscii(a);
    if (lower.rfind("/fs:", 0) == 0) {
      auto canonical = CanonicalFileSystem(a.substr(4));
      if (!canonical) return Fail(kTool, {"The file system " + a.substr(4) + " is not supported.", 4});
      fileSystem = *canonical;
    } else if (lower.rfind("/v:", 0) == 0) {
      label = a.substr(3);
    } else if (lower == "/q" || lower == "/x" || lower == "/y") {
      // quick, dismount first, no question: the only way this format works
    } else if (!letter && ParseDriveLetter(a)) {
      letter = ParseDriveLetter(a);
    } else {
      return Fail(kTool, {"Invalid parameter - " + a, 4});
    }
  }
  if (!letter) return Fail(kTool, {"Required parameter missing - the drive", 4});

  FaultPlay fault("format", "");
  if (auto code = fault.Exit()) return *code;
  auto stop = EditMachine([&](Machine& m) -> std::optional<Stop> {
    auto volume = FindLetterVolume(m, letter);
    if (!volume) return Stop{"The system cannot find the drive specified.", 4};
    Partition& p = volume->partition();
    std::string target = fileSystem.empty() ? (p.fileSystem.empty() ? "NTFS" : p.fileSystem) : fileSystem;
    if (auto s = CheckSize(target, p.Bytes())) return s;
    if (fault.Partial()) {
      WipeFolder(p.folder);  // the files went, the new file system never came
      return std::nullopt;
    }
    FormatPartition(m, volume->disk->number, p, target, label);
    return std::nullopt;
  });
  if (stop) return Fail(kTool, *stop);
  printf("Format complete.\n");
  return 0;
}

}  // namespace tvtool
