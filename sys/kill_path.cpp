#include "sys/kill_path.h"

#include "os/files.h"

namespace sys {

bool KillPath(std::string_view path) { return os::ShellDelete(path); }

}  // namespace sys
