#include "tests/support/sim_machine.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "os/sim/host_files.h"
#include "os/sim/machine_setup.h"
#include "os/sim/paths.h"
#include "os/sim/sim.h"

namespace test {

SimMachine::SimMachine(const std::function<void(os::sim::Machine&)>& change) {
  std::string base = std::filesystem::temp_directory_path().string() + "/tv-machine-XXXXXX";
  std::vector<char> name(base.begin(), base.end());
  name.push_back('\0');
  folder_ = mkdtemp(name.data());
  os::sim::Machine m = os::sim::BasicMachine();
  if (change) change(m);
  std::string error;
  if (!os::sim::CreateMachine(folder_, m, &error)) ADD_FAILURE() << error;
  os::sim::UseMachine(folder_);
  MakeFolder("C:\\Tarnvale");
  WriteFile(m.program, "");
}

SimMachine::~SimMachine() {
  if (getenv("TV_KEEP_MACHINES")) return;
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
}

void SimMachine::Update(const std::function<void(os::sim::Machine&)>& change) {
  std::string error;
  if (!os::sim::Store().UpdateWith(change, &error)) ADD_FAILURE() << error;
}

os::sim::Machine SimMachine::Get() const { return *os::sim::Current(); }

std::string SimMachine::Host(const std::string& windowsPath) const {
  auto host = os::sim::ToHost(*os::sim::Current(), windowsPath);
  if (!host) ADD_FAILURE() << windowsPath << " has no host path";
  return host.value_or("/nonexistent");
}

void SimMachine::MakeFolder(const std::string& windowsPath) const {
  std::error_code ec;
  std::filesystem::create_directories(Host(windowsPath), ec);
}

void SimMachine::WriteFile(const std::string& windowsPath, const std::string& bytes) const {
  std::string host = Host(windowsPath);
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(host).parent_path(), ec);
  std::ofstream(host, std::ios::binary | std::ios::trunc) << bytes;
}

std::string SimMachine::ReadFile(const std::string& windowsPath) const {
  std::string content;
  if (!os::sim::ReadHostFile(Host(windowsPath), content)) return "<missing>";
  return content;
}

bool SimMachine::Exists(const std::string& windowsPath) const {
  std::error_code ec;
  return std::filesystem::exists(Host(windowsPath), ec);
}

void SimMachine::InstallProgram(const std::string& windowsPath, const std::string& standin) const {
  os::sim::InstallStandin(Host(windowsPath), standin);
}

std::vector<std::string> SimMachine::StartedLog() const {
  std::vector<std::string> lines;
  std::ifstream in(folder_ + "/started.log");
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

std::vector<std::string> SimMachine::Started() const {
  std::vector<std::string> lines;
  for (const std::string& l : StartedLog()) lines.push_back(l.substr(l.find('\t', l.find('\t') + 1) + 1));
  return lines;
}

}  // namespace test
