// The command-line splitter (CommandLineToArgvW's rules): any line splits,
// into the program's path for an empty line and at least one argument
// otherwise, with no argument longer than the line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "os/sim/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string line(reinterpret_cast<const char*>(data), size);
  const std::string program = "C:\\Tarnvale\\Tarnvale.exe";
  auto args = os::sim::SplitLikeWindows(line, program);
  if (args.empty()) abort();
  if (line.empty() && (args.size() != 1 || args[0] != program)) abort();
  for (const std::string& a : args)
    if (!line.empty() && a.size() > line.size()) abort();
  return 0;
}
