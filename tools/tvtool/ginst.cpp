// ginst.exe, the loader installer: "ginst (hd<n>)" writes the loader's boot
// code, which finds grldr on the disk's partitions, into disk n's master
// boot record. Options starting with "--" are taken and change nothing here.
#include <cstdio>

#include "sys/text.h"
#include "tools/tvtool/commands.h"
#include "tools/tvtool/disk_edit.h"

namespace tvtool {

int RunGinst(const Args& args) {
  constexpr std::string_view kTool = "ginst";
  int disk = -1;
  for (const std::string& a : args) {
    std::string lower = sys::LowerAscii(a);
    if (lower.rfind("--", 0) == 0) continue;
    std::string digits = lower.size() > 4 && lower.rfind("(hd", 0) == 0 && lower.back() == ')'
                             ? lower.substr(3, lower.size() - 4)
                             : "";
    if (disk >= 0 || digits.empty() || digits.size() > 4 || digits.find_first_not_of("0123456789") != std::string::npos)
      return Fail(kTool, {"unknown argument \"" + a + "\"", 2});
    disk = std::stoi(digits);
  }
  if (disk < 0) return Fail(kTool, {"usage: ginst [--options] (hd<n>)", 2});

  FaultPlay fault("ginst", "");
  if (auto exit = fault.Exit()) return *exit;
  if (fault.Partial()) return 0;  // a single write: a partial run leaves nothing
  auto stop = EditMachine([&](Machine& m) -> std::optional<Stop> {
    Disk* d = DiskOfNumber(m, disk);
    if (!d) return Stop{"cannot open (hd" + std::to_string(disk) + ")", 1};
    d->mbrCode = "grldr";
    return std::nullopt;
  });
  if (stop) return Fail(kTool, *stop);
  printf("The loader's boot code was written to (hd%d).\n", disk);
  return 0;
}

}  // namespace tvtool
