// The archiver (Data\Bin\x86.dll) while a fault switch is set for it: the
// machine starts this in place of the real 7-Zip, with the same arguments
// (already turned into host paths). "exit-early" ends with code 2 and
// "no-output" with 0, both having unpacked nothing; "partial" lets 7-Zip
// unpack and then takes back the second half of the files it made, as an
// archiver that stopped part-way would leave them.
#include <filesystem>
#include <set>

#include "tools/tvtool/commands.h"
#include "tools/tvtool/disk_edit.h"
#include "tools/tvtool/host_run.h"

namespace fs = std::filesystem;

namespace tvtool {

int RunArchiver(const Args& args) {
  FaultPlay fault("7zz", args.empty() ? "" : args[0]);
  if (fault.Exit()) return *fault.Exit() == 0 ? 0 : 2;
  std::vector<std::string> argv = {"7zz"};
  argv.insert(argv.end(), args.begin(), args.end());
  std::string output;
  for (const std::string& a : args)
    if (a.size() > 2 && a[0] == '-' && a[1] == 'o') output = a.substr(2);
  std::set<std::string> before;
  if (fault.Partial() && !output.empty())
    for (const std::string& f : FilesUnder(output)) before.insert(f);
  int code = RunHost(argv);
  if (!fault.Partial() || output.empty()) return code;
  std::vector<std::string> made;
  for (const std::string& f : FilesUnder(output))
    if (!before.count(f)) made.push_back(f);
  std::error_code ec;
  for (size_t i = made.size() - made.size() / 2; i < made.size(); ++i) fs::remove(fs::path(output) / made[i], ec);
  return code;
}

}  // namespace tvtool
