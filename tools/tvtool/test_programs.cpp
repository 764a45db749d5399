// Small programs for tests of starting and waiting.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "sys/whole_file.h"
#include "tools/tvtool/commands.h"

namespace tvtool {

// Exits with the code given as its last argument.
int RunTestExit(const Args& args) { return args.empty() ? 0 : atoi(args.back().c_str()); }

int RunTestSleep(const Args& args) {
  int ms = args.empty() ? 100 : atoi(args[0].c_str());
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  return args.size() > 1 ? atoi(args[1].c_str()) : 0;
}

int RunTestWrite(const Args& args) {
  if (args.size() < 2) return 1;
  return sys::WriteWholeFile(args[0], args[1]) ? 0 : 1;
}

// Keeps a copy of the file named by its last argument, beside it with
// ".kept" added: played in place of a program that reads a file the system
// deletes afterwards (a batch file's interpreter), so a test can read it.
int RunTestKeep(const Args& args) {
  if (args.empty()) return 1;
  auto bytes = sys::ReadWholeFile(args.back());
  return bytes && sys::WriteWholeFile(args.back() + ".kept", *bytes) ? 0 : 1;
}

}  // namespace tvtool
