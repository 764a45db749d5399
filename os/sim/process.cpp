// Processes of the simulated machine. A started program is a real host
// process: the stand-in named by the program file, or 7-Zip for the
// archiver. Each start is written to <machine>/started.log, one line per
// start, so that tests can read back what the system ran and in which order:
//   <redirection>\t<result>\t<command line>
// where <redirection> is "wow64-on", "wow64-off" or "native" (the caller
// itself is a 64-bit program) and <result> is "ok" or "error=<n>". The
// children's output goes to <machine>/output.log.
//
// Every program that runs on the machine, whichever process of the machine
// started it (the system, or the stand-in cmd), has a file
// <machine>/running/<pid> holding its name and its host start time; the
// process list shows those that still run, as a snapshot shows every process
// of the system.
#include "os/process.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <vector>

#include "os/sim/command_line.h"
#include "os/sim/event_loop.h"
#include "os/sim/faults.h"
#include "os/sim/paths.h"
#include "os/sim/programs.h"
#include "os/sim/sim.h"
#include "os/sim/state.h"
#include "os/sim/win_errors.h"

extern char** environ;

namespace os {

struct Process::Impl {
  pid_t pid = -1;
  int pidfd = -1;
  bool reaped = false;
  uint32_t exitCode = kStillActive;
  std::optional<uint32_t> terminatedWith;  // the exit code given when it was ended
  std::string name;  // program file name, for the process list
};

namespace {

// Children whose Process object went away before they ended; reaped later so
// that they do not stay zombies.
std::set<pid_t>& Orphans() {
  static std::set<pid_t> orphans;
  return orphans;
}

// --- the machine's running programs ---

std::string RunningFolder() { return sim::MachineFolder() + "/running"; }

// The host's start time of a process that runs (not ended, not a zombie).
std::optional<std::string> StartTime(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t close = stat.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream fields(stat.substr(close + 1));
  std::vector<std::string> f{std::istream_iterator<std::string>(fields), std::istream_iterator<std::string>()};
  // After the name: state (field 3), ..., starttime (field 22).
  if (f.size() < 20 || f[0] == "Z" || f[0] == "X") return std::nullopt;
  return f[19];
}

void MarkRunning(pid_t pid, const std::string& name) {
  auto start = StartTime(pid);
  if (!start || sim::MachineFolder().empty()) return;  // already ended
  mkdir(RunningFolder().c_str(), 0755);
  std::ofstream(RunningFolder() + "/" + std::to_string(pid)) << name << "\t" << *start << "\n";
}

void MarkEnded(pid_t pid) {
  if (!sim::MachineFolder().empty()) unlink((RunningFolder() + "/" + std::to_string(pid)).c_str());
}

struct Running {
  uint32_t id;
  std::string name;
};

// The programs that run now; entries of ended ones are removed.
std::vector<Running> RunningPrograms() {
  std::vector<Running> list;
  if (sim::MachineFolder().empty()) return list;
  DIR* dir = opendir(RunningFolder().c_str());
  if (!dir) return list;
  while (dirent* e = readdir(dir)) {
    char* end = nullptr;
    unsigned long pid = strtoul(e->d_name, &end, 10);
    if (e->d_name[0] < '1' || e->d_name[0] > '9' || *end || pid > INT32_MAX) continue;
    std::ifstream in(RunningFolder() + "/" + e->d_name);
    std::string name, start;
    std::getline(in, name, '\t');
    std::getline(in, start);
    auto now = StartTime(static_cast<pid_t>(pid));
    if (now && *now == start) list.push_back({static_cast<uint32_t>(pid), name});
    else MarkEnded(static_cast<pid_t>(pid));  // ended, or the id belongs to another host process now
  }
  closedir(dir);
  return list;
}

void ReapOrphans() {
  for (auto it = Orphans().begin(); it != Orphans().end();) {
    int status = 0;
    if (waitpid(*it, &status, WNOHANG) != 0) {
      MarkEnded(*it);  // it leaves the process list too
      it = Orphans().erase(it);
    } else {
      ++it;
    }
  }
}

bool CallerIsNative() {
  const char* v = getenv("TARNVALE_NATIVE");
  return v && std::string(v) == "1";
}

void Log(const std::string& redirection, const std::string& result, std::string_view commandLine) {
  std::ofstream log(sim::MachineFolder() + "/started.log", std::ios::app);
  log << redirection << "\t" << result << "\t" << commandLine << "\n";
}

uint32_t DecodeStatus(int status) {
  if (WIFEXITED(status)) return static_cast<uint32_t>(WEXITSTATUS(status));
  return 0xC000013Au;  // ended by a signal: STATUS_CONTROL_C_EXIT
}

bool Reap(Process::Impl& p, bool block) {
  if (p.reaped) return true;
  int status = 0;
  pid_t r = waitpid(p.pid, &status, block ? 0 : WNOHANG);
  if (r != p.pid) return false;
  p.reaped = true;
  p.exitCode = p.terminatedWith && WIFSIGNALED(status) ? *p.terminatedWith : DecodeStatus(status);
  MarkEnded(p.pid);
  return true;
}

std::string FileName(const std::string& windowsPath) {
  size_t slash = windowsPath.find_last_of('\\');
  return slash == std::string::npos ? windowsPath : windowsPath.substr(slash + 1);
}

}  // namespace

Process::Process() = default;
Process::~Process() {
  if (impl_ && !impl_->reaped && !Reap(*impl_, false)) Orphans().insert(impl_->pid);
  if (impl_ && impl_->pidfd >= 0) close(impl_->pidfd);
}
Process::Process(Process&&) noexcept = default;
Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    Process dying(std::move(*this));
    impl_ = std::move(other.impl_);
  }
  return *this;
}
Process::Process(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
bool Process::IsValid() const { return impl_ != nullptr; }
uint32_t Process::Id() const { return impl_ ? static_cast<uint32_t>(impl_->pid) : 0; }

Process StartProcess(std::string_view commandLine, uint16_t showWindow, uint32_t* error) {
  (void)showWindow;  // every window of the simulated machine is hidden
  ReapOrphans();
  if (sim::MachineFolder().empty()) {
    if (error) *error = sim::kErrorFileNotFound;
    return Process();
  }
  auto machine = sim::Current();
  bool native = CallerIsNative();
  bool redirected = machine->wow64 && !native && !sim::State().redirectionOff;
  std::string redirection = native ? "native" : (redirected ? "wow64-on" : "wow64-off");
  auto fail = [&](uint32_t code) {
    if (error) *error = code;
    Log(redirection, "error=" + std::to_string(code), commandLine);
    return Process();
  };

  uint32_t searchError = 0;
  auto program = sim::FindProgram(*machine, commandLine, redirected, &searchError);
  if (!program) return fail(searchError);
  std::string line(commandLine);
  if (program->batch) {
    // A batch file runs through the command interpreter.
    line = machine->windir + "\\System32\\cmd.exe /c " + line;
    program = sim::FindProgram(*machine, line, redirected, &searchError);
    if (!program) return fail(searchError);
  }
  auto standin = sim::StandinName(program->hostPath);
  if (!standin) return fail(sim::kErrorBadExeFormat);
  // Fault switches: a program switched "missing" cannot be started; the
  // real archiver with another fault is played by tvtool's "archiver".
  if (auto fault = sim::PeekFault(*machine, *standin, ""); fault && fault->kind == "missing") {
    sim::TakeFault(*standin, "");
    return fail(sim::kErrorFileNotFound);
  }
  std::vector<std::string> winArgs = sim::SplitLikeWindows(line, program->windowsPath);
  bool archiverFault = *standin == "7zz" && sim::PeekFault(*machine, "7zz", winArgs.size() > 1 ? winArgs[1] : "");
  std::vector<std::string> argv;
  std::string executable;
  if (*standin == "7zz" && !archiverFault) {
    executable = "7zz";
    argv.push_back("7zz");
    for (size_t i = 1; i < winArgs.size(); ++i) argv.push_back(sim::MapArchiverArgument(*machine, winArgs[i]));
  } else if (archiverFault) {
    executable = sim::ToolsFolder() + "/tvtool";
    argv.push_back("tvtool");
    argv.push_back("archiver");
    for (size_t i = 1; i < winArgs.size(); ++i) argv.push_back(sim::MapArchiverArgument(*machine, winArgs[i]));
  } else {
    executable = sim::ToolsFolder() + "/tvtool";
    argv.push_back("tvtool");
    argv.push_back(*standin);
    for (size_t i = 1; i < winArgs.size(); ++i) argv.push_back(winArgs[i]);
  }

  // The environment of the child: ours, and what a stand-in needs to know.
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string v = *e;
    if (v.rfind("TARNVALE_CMDLINE=", 0) == 0 || v.rfind("TARNVALE_PROGRAM=", 0) == 0 ||
        v.rfind("TARNVALE_NATIVE=", 0) == 0 || v.rfind("TARNVALE_STDOUT=", 0) == 0)
      continue;
    env.push_back(v);
  }
  env.push_back("TARNVALE_CMDLINE=" + line);
  env.push_back("TARNVALE_PROGRAM=" + program->windowsPath);
  env.push_back(std::string("TARNVALE_NATIVE=") + ((native || program->native) ? "1" : "0"));
  if (!getenv("TARNVALE_TOOLS")) env.push_back("TARNVALE_TOOLS=" + sim::ToolsFolder());

  std::vector<char*> cargv, cenv;
  for (auto& a : argv) cargv.push_back(a.data());
  cargv.push_back(nullptr);
  for (auto& e : env) cenv.push_back(e.data());
  cenv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  std::string output = sim::MachineFolder() + "/output.log";
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  // The command interpreter's "> file" sends the output there; the error
  // output goes to the machine's log either way.
  const char* redirectedOutput = getenv("TARNVALE_STDOUT");
  posix_spawn_file_actions_addopen(&actions, 2, output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  if (redirectedOutput && *redirectedOutput)
    posix_spawn_file_actions_addopen(&actions, 1, redirectedOutput, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  else
    posix_spawn_file_actions_adddup2(&actions, 2, 1);
  // Logged before the child starts, so that the lines of the programs it
  // starts in turn come after its own.
  Log(redirection, "ok", commandLine);
  pid_t pid = -1;
  int rc = executable == "7zz" ? posix_spawnp(&pid, "7zz", &actions, nullptr, cargv.data(), cenv.data())
                               : posix_spawn(&pid, executable.c_str(), &actions, nullptr, cargv.data(), cenv.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    fprintf(stderr, "tarnvale: cannot start the host program %s (%s)%s\n", executable.c_str(), strerror(rc),
            executable == "7zz" ? "; install 7-Zip with: apt-get install 7zip" : "");
    return fail(sim::kErrorFileNotFound);
  }
  auto impl = std::make_unique<Process::Impl>();
  impl->pid = pid;
  impl->pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  impl->name = FileName(program->windowsPath);
  MarkRunning(pid, impl->name);
  if (error) *error = 0;
  return Process(std::move(impl));
}

WaitResult WaitProcessOrEvents(const Process& process, uint32_t timeoutMs) {
  if (!process.IsValid()) return WaitResult::kFailed;
  Process::Impl& p = *process.impl();
  if (p.reaped) return WaitResult::kProcessEnded;
  if (p.pidfd < 0) {
    // No process descriptor: look every 10 ms.
    while (true) {
      if (Reap(p, false)) return WaitResult::kProcessEnded;
      WaitResult r = sim::EventLoop::Get().Wait(-1, timeoutMs < 10 ? timeoutMs : 10);
      if (r == WaitResult::kEventsPending) return r;
      if (timeoutMs != kInfinite) {
        if (timeoutMs <= 10) return Reap(p, false) ? WaitResult::kProcessEnded : WaitResult::kTimedOut;
        timeoutMs -= 10;
      }
    }
  }
  WaitResult r = sim::EventLoop::Get().Wait(p.pidfd, timeoutMs);
  if (r == WaitResult::kProcessEnded) Reap(p, true);
  return r;
}

std::optional<uint32_t> ExitCode(const Process& process) {
  if (!process.IsValid()) return std::nullopt;
  Process::Impl& p = *process.impl();
  if (!Reap(p, false)) return kStillActive;
  return p.exitCode;
}

std::vector<ProcessEntry> ListProcesses() {
  ReapOrphans();
  std::vector<ProcessEntry> list;
  auto machine = sim::Current();
  for (const auto& p : machine->processes) list.push_back({p.id, p.name});
  for (const Running& r : RunningPrograms()) list.push_back({r.id, r.name});
  return list;
}

bool TerminateProcess(const Process& process, uint32_t exitCode) {
  if (!process.IsValid()) return false;
  Process::Impl& p = *process.impl();
  // A process that has ended cannot be ended again (access denied on Windows).
  if (Reap(p, false) || kill(p.pid, SIGKILL) != 0) return false;
  p.terminatedWith = exitCode;
  return true;
}

bool CanOpenProcess(uint32_t id, uint32_t access) {
  if (id == 0) return false;
  ReapOrphans();
  auto machine = sim::Current();
  for (const auto& p : machine->processes)
    // A process of a service or another level opens only for the limited
    // query right.
    if (p.id == id) return p.fullAccess || access == kProcessQueryLimitedInformation;
  for (const Running& r : RunningPrograms())
    if (r.id == id) return true;
  return false;
}

bool IsWow64() { return !CallerIsNative() && sim::Current()->wow64; }

Wow64RedirectionOff::Wow64RedirectionOff(bool wanted) {
  if (!wanted || !IsWow64()) return;  // no redirection to switch off
  auto& state = sim::State();
  saved_ = reinterpret_cast<void*>(state.redirectionOff ? 1 : 0);
  state.redirectionOff = true;
  off_ = true;
}

Wow64RedirectionOff::~Wow64RedirectionOff() {
  if (off_) sim::State().redirectionOff = saved_ != nullptr;
}

}  // namespace os
