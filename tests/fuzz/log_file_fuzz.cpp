// An earlier log file as the next run finds it (any bytes, cut by hand or
// by a crash in the middle of a line): the cut from the front keeps at most
// the limit and begins at a line's start; any event text becomes one line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sys/run_log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view file(reinterpret_cast<const char*>(data), size);
  for (size_t limit : {size_t{0}, size_t{1}, size / 2, size, size + 1}) {
    std::string_view kept = sys::CutLogFront(file, limit);
    if (file.size() > limit ? kept.size() > limit : kept.size() != file.size()) abort();
    if (kept.size() > file.size() || file.substr(file.size() - kept.size()) != kept) abort();
    if (kept.size() < file.size() && !kept.empty() && file[file.size() - kept.size() - 1] != '\n') abort();
  }
  std::string line = sys::OneLogLine(file);
  if (line.find_first_of("\r\n") != std::string::npos) abort();
  return 0;
}
