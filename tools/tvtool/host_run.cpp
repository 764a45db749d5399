#include "tools/tvtool/host_run.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

extern char** environ;

namespace tvtool {

int RunHost(const std::vector<std::string>& argv) {
  if (argv.empty()) return -1;
  std::vector<std::string> copy = argv;
  std::vector<char*> cargv;
  for (auto& a : copy) cargv.push_back(a.data());
  cargv.push_back(nullptr);
  pid_t pid = -1;
  int rc = posix_spawnp(&pid, cargv[0], nullptr, nullptr, cargv.data(), environ);
  if (rc != 0) {
    fprintf(stderr, "tvtool: cannot start %s (%s)\n", cargv[0], strerror(rc));
    return -1;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace tvtool
