#include "sys/run_diskpart.h"

#include <string>

#include "app/globals.h"
#include "os/ansi.h"
#include "os/file.h"
#include "sys/shell_wait.h"

namespace sys {

bool RunDiskPart(std::string_view script, std::string_view name, uint32_t* error) {
  std::string path = app::sTmpPath + "\\" + std::string(name) + ".txt";
  std::string bytes = os::ToAnsi(script) + "\r\n";
  uint32_t code = 0;
  os::File file = os::File::Open(path, os::File::Mode::kCreateTruncate, &code);
  if (!file.IsOpen() || !file.Write(bytes.data(), bytes.size(), &code)) {
    if (error) *error = code;
    return false;
  }
  file.Close();
  return ShellWait("diskpart.exe /S \"" + path + "\"", 0, error);
}

}  // namespace sys
