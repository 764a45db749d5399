#include "sys/short_path.h"

#include "os/files.h"

namespace sys {

std::string GetShortPath(std::string_view path) {
  auto shortPath = os::ShortPath(path);
  std::string text = shortPath ? *shortPath : std::string(path);
  return "\"" + text + "\"";
}

}  // namespace sys
