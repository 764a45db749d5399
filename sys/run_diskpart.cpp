#include "sys/run_diskpart.h"

#include <string>

#include "app/globals.h"
#include "sys/system_programs.h"
#include "os/ansi.h"
#include "sys/shell_wait.h"
#include "sys/whole_file.h"

namespace sys {

bool RunDiskPart(std::string_view script, std::string_view name, uint32_t* error) {
  std::string path = app::sTmpPath + "\\" + std::string(name) + ".txt";
  std::string bytes = os::ToAnsi(script) + "\r\n";
  if (!WriteWholeFile(path, bytes, error)) return false;
  return ShellWait(CommandArg(SystemProgram("diskpart.exe")) + " /S \"" + path + "\"", 0, error);
}

}  // namespace sys
