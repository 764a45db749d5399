// The language file (Data\Lang\<locale>.lng), read as the program reads it at
// start: any content gives the 69 strings and the window's captions without
// harm. The machine is a Simplified Chinese one (locale 2052, code page 936),
// whose double-byte code page is the hardest to read.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/language.h"
#include "os/sim/machine_setup.h"
#include "os/sim/sim.h"
#include "ui/window_model.h"

namespace {

std::string g_machine;
std::string g_languageFile;

void RemoveMachine() {
  std::error_code ignored;
  if (!g_machine.empty()) std::filesystem::remove_all(g_machine, ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* tmp = getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tv-fuzz-language-XXXXXX";
  if (!mkdtemp(pattern.data())) abort();
  g_machine = pattern;
  atexit(&RemoveMachine);
  os::sim::Machine m = os::sim::BasicMachine();
  m.locale = 2052;
  m.codePage = 936;
  std::string error;
  if (!os::sim::CreateMachine(g_machine, m, &error)) {
    fprintf(stderr, "%s\n", error.c_str());
    abort();
  }
  os::sim::UseMachine(g_machine);
  std::string folder = g_machine + "/drives/C/Tarnvale/Data/Lang";
  std::filesystem::create_directories(folder);
  g_languageFile = folder + "/2052.lng";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::ofstream(g_languageFile, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                          static_cast<std::streamsize>(size));
  os::sim::ResetProcessState();
  ui::WindowModel window;
  app::ApplyLanguage(window);
  for (int n = 0; n < app::kLangStringCount; ++n) app::LangString(n);
  return 0;
}
