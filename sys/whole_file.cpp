#include "sys/whole_file.h"

#include "os/file.h"

namespace sys {

std::optional<std::string> ReadWholeFile(std::string_view path) {
  os::File f = os::File::Open(path, os::File::Mode::kRead);
  if (!f.IsOpen()) return std::nullopt;
  std::string bytes;
  char buffer[64 * 1024];
  size_t got = 0;
  while (true) {
    if (!f.Read(buffer, sizeof buffer, &got)) return std::nullopt;
    if (got == 0) return bytes;
    bytes.append(buffer, got);
  }
}

bool WriteWholeFile(std::string_view path, std::string_view bytes, uint32_t* error) {
  uint32_t code = 0;
  os::File f = os::File::Open(path, os::File::Mode::kCreateTruncate, &code);
  bool ok = f.IsOpen() && f.Write(bytes.data(), bytes.size(), &code);
  if (!ok && error) *error = code;
  return ok;
}

}  // namespace sys
