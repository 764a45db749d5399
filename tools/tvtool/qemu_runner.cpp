#include "tools/tvtool/qemu_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

#include "sys/text.h"
#include "tools/tvtool/host_run.h"

extern char** environ;

namespace tvtool {
namespace {

std::string Env(const char* name) {
  const char* v = getenv(name);
  return v ? v : "";
}

// A value inside a -drive or -chardev option: commas are doubled.
std::string OptionValue(const std::string& text) { return sys::ReplaceAll(text, ",", ",,"); }

// What the firmware prints when nothing on the disks could be started: it
// falls back to its built-in shell, or says so when it has none.
bool FirmwareGaveUp(const std::string& console) {
  return sys::Contains(console, "\"EFI Internal Shell\"") ||
         sys::Contains(console, "No bootable option or device was found");
}

class SerialWatch {
 public:
  explicit SerialWatch(std::string path) : path_(std::move(path)) {}
  bool GaveUp() {
    std::ifstream in(path_, std::ios::binary);
    if (!in) return false;
    in.seekg(static_cast<std::streamoff>(read_));
    std::string more((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    read_ += more.size();
    tail_ += more;
    if (tail_.size() > 4096) tail_.erase(0, tail_.size() - 4096);
    return FirmwareGaveUp(tail_);
  }

 private:
  std::string path_;
  size_t read_ = 0;
  std::string tail_;
};

}  // namespace

Emulator FindEmulator() {
  Emulator e;
  std::string program = Env("TARNVALE_QEMU");
  if (program == "none") {
    e.off = true;
    return e;
  }
  e.program = FindHostProgram(program.empty() ? "qemu-system-x86_64" : program);
  std::string firmware = Env("TARNVALE_OVMF");
  std::vector<std::string> candidates = {firmware};
  if (firmware.empty()) candidates = {"/usr/share/ovmf/OVMF.fd", "/usr/share/qemu/OVMF.fd", "/usr/share/OVMF/OVMF.fd"};
  for (const std::string& c : candidates)
    if (access(c.c_str(), R_OK) == 0) {
      e.firmware = c;
      break;
    }
  if (e.program.empty()) e.missing = (program.empty() ? "qemu-system-x86_64" : program) + " (package qemu-system-x86)";
  if (e.firmware.empty())
    e.missing += std::string(e.missing.empty() ? "" : " and ") + "the UEFI firmware " +
                 (firmware.empty() ? "OVMF.fd (package ovmf)" : firmware);
  return e;
}

int BootSeconds() {
  std::string text = Env("TARNVALE_BOOT_SECONDS");
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) return 120;
  int s = std::stoi(text);
  return s < 5 ? 5 : s > 3600 ? 3600 : s;
}

BootEnd RunUefiBoot(const Emulator& emulator, const UefiBoot& boot) {
  { std::ofstream clear(boot.serialLog, std::ios::trunc); }
  std::vector<std::string> argv = {
      emulator.program, "-nodefaults", "-machine", "pc", "-accel", "tcg", "-m", std::to_string(boot.memoryMB),
      "-bios", emulator.firmware,
      "-drive", "file=" + OptionValue(boot.image) + ",format=raw,if=ide,index=0,media=disk,snapshot=on",
      "-chardev", "file,id=console,path=" + OptionValue(boot.serialLog), "-serial", "chardev:console",
      "-vga", "none", "-display", "none", "-monitor", "none", "-no-reboot"};
  if (boot.localTime) argv.insert(argv.end(), {"-rtc", "base=localtime"});
  std::vector<char*> cargv;
  for (auto& a : argv) cargv.push_back(a.data());
  cargv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  pid_t pid = -1;
  int rc = posix_spawn(&pid, cargv[0], &actions, nullptr, cargv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return BootEnd::kNotStarted;

  using Clock = std::chrono::steady_clock;
  auto deadline = Clock::now() + std::chrono::seconds(boot.seconds);
  SerialWatch watch(boot.serialLog);
  BootEnd end = BootEnd::kPoweredOff;
  auto stop = [&](BootEnd why) {
    end = why;
    kill(pid, SIGTERM);
    auto grace = Clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (Clock::now() > grace) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  };
  for (;;) {
    int status = 0;
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) end = BootEnd::kFailed;
      break;
    }
    if (done < 0 && errno != EINTR) break;
    if (watch.GaveUp()) {
      stop(BootEnd::kNothingToBoot);
      break;
    }
    if (Clock::now() >= deadline) {
      stop(BootEnd::kTimeLimit);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return end;
}

std::string BootEndText(BootEnd end, int seconds) {
  switch (end) {
    case BootEnd::kPoweredOff: return "the emulated machine was switched off";
    case BootEnd::kNothingToBoot: return "the firmware found nothing on the disk that it could start; the emulator was stopped";
    case BootEnd::kTimeLimit: return "the emulator was stopped after " + std::to_string(seconds) + " s";
    case BootEnd::kFailed: return "the emulator stopped with an error";
    case BootEnd::kNotStarted: return "the emulator could not be started";
  }
  return "";
}

}  // namespace tvtool
