#include "tools/tvtool/host_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sys/text.h"

extern char** environ;

namespace tvtool {
namespace {

int Spawn(const std::vector<std::string>& argv, const posix_spawn_file_actions_t* actions) {
  if (argv.empty()) return -1;
  std::vector<std::string> copy = argv;
  std::vector<char*> cargv;
  for (auto& a : copy) cargv.push_back(a.data());
  cargv.push_back(nullptr);
  pid_t pid = -1;
  int rc = posix_spawnp(&pid, cargv[0], actions, nullptr, cargv.data(), environ);
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

}  // namespace

int RunHost(const std::vector<std::string>& argv) { return Spawn(argv, nullptr); }

int RunHostQuiet(const std::vector<std::string>& argv, std::string* output) {
  const char* tmp = getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tvtool-output-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) return Spawn(argv, nullptr);  // no place for the output: let it through
  unlink(name.data());
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fd, 1);
  posix_spawn_file_actions_adddup2(&actions, fd, 2);
  int rc = Spawn(argv, &actions);
  posix_spawn_file_actions_destroy(&actions);
  std::string text;
  char buffer[4096];
  ssize_t n;
  lseek(fd, 0, SEEK_SET);
  while (text.size() < (1u << 20) && (n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
  close(fd);
  while (!text.empty() && isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  if (output) *output = text;
  return rc;
}

std::string FindHostProgram(const std::string& name) {
  if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : "";
  const char* path = getenv("PATH");
  std::string folders = std::string(path ? path : "/usr/bin:/bin") + ":/usr/sbin:/sbin";
  for (const std::string& folder : sys::Split(folders, ":")) {
    if (folder.empty()) continue;
    std::string candidate = folder + "/" + name;
    struct stat st {};
    if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0)
      return candidate;
  }
  return "";
}

}  // namespace tvtool
