// One instance per simulated machine. The first instance holds a lock on
// <machine>/tarnvale.instance for its whole life and listens on a local
// socket named after the machine folder; a second instance finds the lock
// taken and sends its command over the socket.
#include "os/instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <functional>

#include "os/events.h"
#include "os/sim/event_loop.h"
#include "os/sim/sim.h"

namespace os {
namespace {

// An abstract socket address: no file to go stale, no path-length limit.
sockaddr_un Address(socklen_t* length) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::string name = "tarnvale:" + std::to_string(std::hash<std::string>{}(sim::MachineFolder()));
  memcpy(addr.sun_path + 1, name.data(), name.size());
  *length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  return addr;
}

int g_instanceLock = -1;

class CommandServer : public sim::EventSource {
 public:
  CommandServer(int fd, std::function<void(const std::string&)> onCommand) : fd_(fd), onCommand_(std::move(onCommand)) {}
  ~CommandServer() override { close(fd_); }
  int Fd() const override { return fd_; }
  void Dispatch() override {
    int client = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return;
    std::string command;
    char buffer[256];
    pollfd p{client, POLLIN, 0};
    // The sender writes its line at once; don't let a silent one hold the window.
    while (command.find('\n') == std::string::npos && poll(&p, 1, 500) > 0) {
      ssize_t n = read(client, buffer, sizeof buffer);
      if (n <= 0) break;
      command.append(buffer, static_cast<size_t>(n));
    }
    command = command.substr(0, command.find('\n'));
    (void)!write(client, "ACK\n", 4);
    close(client);
    onCommand_(command);
  }

 private:
  int fd_;
  std::function<void(const std::string&)> onCommand_;
};

CommandServer* g_server = nullptr;

}  // namespace

void StopServingInstanceCommands();

bool PreviousInstanceExists() {
  if (g_instanceLock >= 0) return false;  // this process is the first instance
  int fd = open((sim::MachineFolder() + "/tarnvale.instance").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return true;
  }
  g_instanceLock = fd;  // held until the process ends
  return false;
}

bool ServeInstanceCommands(std::function<void(const std::string&)> onCommand) {
  StopServingInstanceCommands();
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  socklen_t length = 0;
  sockaddr_un addr = Address(&length);
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), length) != 0 || listen(fd, 4) != 0) {
    close(fd);
    return false;
  }
  g_server = new CommandServer(fd, std::move(onCommand));
  sim::EventLoop::Get().AddSource(g_server);
  return true;
}

void StopServingInstanceCommands() {
  if (!g_server) return;
  sim::EventLoop::Get().RemoveSource(g_server);
  delete g_server;
  g_server = nullptr;
}

bool SendToPreviousInstance(std::string_view command, uint32_t timeoutMs) {
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  socklen_t length = 0;
  sockaddr_un addr = Address(&length);
  bool ok = false;
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), length) == 0) {
    std::string line = std::string(command) + "\n";
    if (write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size())) {
      // The first instance answers when its window has taken the command.
      pollfd p{fd, POLLIN, 0};
      char reply[8] = {};
      ok = poll(&p, 1, static_cast<int>(timeoutMs)) > 0 && read(fd, reply, sizeof reply - 1) > 0 &&
           strncmp(reply, "ACK", 3) == 0;
    }
  }
  close(fd);
  return ok;
}

}  // namespace os
