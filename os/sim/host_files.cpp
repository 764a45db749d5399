#include "os/sim/host_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace os::sim {

bool ReadHostFile(const std::string& path, std::string& content) {
  if (!HostIsFile(path)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream text;
  text << in.rdbuf();
  content = text.str();
  return true;
}

bool WriteHostFileAtomically(const std::string& path, const std::string& content) {
  std::string temp = path + ".tv-new." + std::to_string(getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << content;
    if (!out.good()) {
      unlink(temp.c_str());
      return false;
    }
  }
  if (rename(temp.c_str(), path.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  return true;
}

bool HostIsFolder(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool HostIsFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace os::sim

namespace os::sim {
namespace {

std::pair<std::string, std::string> FolderAndName(const std::string& hostPath) {
  size_t slash = hostPath.rfind('/');
  if (slash == std::string::npos) return {".", hostPath};
  return {hostPath.substr(0, slash), hostPath.substr(slash + 1)};
}

}  // namespace

uint32_t HostAttributes(const std::string& hostPath) {
  auto [folder, name] = FolderAndName(hostPath);
  std::string content;
  if (!ReadHostFile(folder + "/" + kAttributeFile, content)) return 0;
  std::istringstream in(content);
  std::string line;
  while (std::getline(in, line)) {
    size_t tab = line.rfind('\t');
    if (tab != std::string::npos && line.substr(0, tab) == name)
      return static_cast<uint32_t>(strtoul(line.c_str() + tab + 1, nullptr, 10));
  }
  return 0;
}

bool SetHostAttributes(const std::string& hostPath, uint32_t attributes) {
  auto [folder, name] = FolderAndName(hostPath);
  std::string path = folder + "/" + kAttributeFile;
  std::string content, updated;
  ReadHostFile(path, content);
  std::istringstream in(content);
  std::string line;
  while (std::getline(in, line)) {
    size_t tab = line.rfind('\t');
    if (tab != std::string::npos && line.substr(0, tab) == name) continue;
    updated += line + "\n";
  }
  if (attributes != 0) updated += name + "\t" + std::to_string(attributes) + "\n";
  if (updated.empty()) return unlink(path.c_str()) == 0 || !HostIsFile(path);
  return WriteHostFileAtomically(path, updated);
}

}  // namespace os::sim
