// The machine description (machine.txt): any text either is refused with a
// reason, or reads into a machine whose written form reads back into the
// same machine and is written out again byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "os/sim/machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string error;
  auto machine = os::sim::ParseMachine(text, &error);
  if (!machine) {
    if (error.empty()) abort();  // a refusal always says why
    return 0;
  }
  std::string written = os::sim::FormatMachine(*machine);
  auto again = os::sim::ParseMachine(written, &error);
  if (!again) {
    fprintf(stderr, "the written description does not read back: %s\n%s", error.c_str(), written.c_str());
    abort();
  }
  std::string rewritten = os::sim::FormatMachine(*again);
  if (rewritten != written) {
    fprintf(stderr, "the description changed on its way back:\n%s---\n%s", written.c_str(), rewritten.c_str());
    abort();
  }
  return 0;
}
