// A simulated machine for one test (host build only): a new folder with a
// basic Windows 10 machine, made the current machine of the process, and
// removed afterwards (set TV_KEEP_MACHINES=1 to keep it for a look).
//
// Public: class SimMachine.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "os/sim/machine.h"

namespace test {

class SimMachine {
 public:
  // `change` adjusts the basic machine before it is written.
  explicit SimMachine(const std::function<void(os::sim::Machine&)>& change = nullptr);
  ~SimMachine();
  SimMachine(const SimMachine&) = delete;
  SimMachine& operator=(const SimMachine&) = delete;

  const std::string& Folder() const { return folder_; }
  // Changes the description (locked, as the stand-ins do).
  void Update(const std::function<void(os::sim::Machine&)>& change);
  os::sim::Machine Get() const;

  // Host path behind a Windows path of the machine.
  std::string Host(const std::string& windowsPath) const;
  void MakeFolder(const std::string& windowsPath) const;
  void WriteFile(const std::string& windowsPath, const std::string& bytes) const;
  std::string ReadFile(const std::string& windowsPath) const;
  bool Exists(const std::string& windowsPath) const;
  // Puts a program file played by a stand-in (a tvtool command, or "7zz").
  void InstallProgram(const std::string& windowsPath, const std::string& standin) const;

  // The command lines started so far, in order (from started.log), and the
  // full log lines.
  std::vector<std::string> Started() const;
  std::vector<std::string> StartedLog() const;

 private:
  std::string folder_;
};

}  // namespace test
