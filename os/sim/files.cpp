// Files and folders of the simulated machine, on the host folders behind its
// drive letters.
#include "os/files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "os/sim/host_files.h"
#include "os/sim/paths.h"
#include "os/sim/sim.h"
#include "os/sim/volumes.h"

namespace os {
namespace {

std::optional<std::string> Host(std::string_view path) { return sim::ToHost(*sim::Current(), path); }

bool IsDriveOnly(std::string_view path) {
  return (path.size() == 2 || (path.size() == 3 && (path[2] == '\\' || path[2] == '/'))) && path[1] == ':';
}

}  // namespace

std::optional<uint32_t> FileAttributes(std::string_view path) {
  auto host = Host(path);
  if (!host) return std::nullopt;
  struct stat st {};
  if (stat(host->c_str(), &st) != 0) return std::nullopt;
  if (S_ISDIR(st.st_mode)) return kAttrDirectory | (IsDriveOnly(path) ? 0 : sim::HostAttributes(*host));
  return kAttrArchive | sim::HostAttributes(*host);
}

bool PathExists(std::string_view path) {
  if (path.empty()) return false;
  return FileAttributes(path).has_value();
}

std::vector<DirEntry> ListFolder(std::string_view folder) {
  std::vector<DirEntry> entries;
  auto host = Host(folder);
  if (!host) return entries;
  DIR* dir = opendir(host->c_str());
  if (!dir) return entries;
  while (dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == ".." || name == sim::kAttributeFile) continue;
    std::string full = *host + "/" + name;
    struct stat st {};
    if (stat(full.c_str(), &st) != 0) continue;
    DirEntry entry;
    entry.name = name;
    entry.attributes = (S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrArchive) | sim::HostAttributes(full);
    entry.size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    entries.push_back(std::move(entry));
  }
  closedir(dir);
  return entries;
}

bool CreateFolder(std::string_view path) {
  auto host = Host(path);
  if (!host) return false;
  return mkdir(host->c_str(), 0755) == 0;
}

bool CreateFolderPath(std::string_view path) {
  // Every folder up to the last '\' is made; what follows it is a file name.
  std::string p(path);
  size_t last = p.find_last_of("\\/");
  if (last == std::string::npos) return true;
  auto host = Host(p.substr(0, last + 1));
  if (!host) return false;
  std::error_code ec;
  std::filesystem::create_directories(*host, ec);
  return sim::HostIsFolder(*host);
}

bool ShellDelete(std::string_view path) {
  if (path.empty() || IsDriveOnly(path)) return false;
  auto host = Host(path);
  if (!host) return false;
  struct stat st {};
  if (lstat(host->c_str(), &st) != 0) return false;
  std::error_code ec;
  std::filesystem::remove_all(*host, ec);
  if (ec) return false;
  sim::SetHostAttributes(*host, 0);
  return true;
}

bool RemoveFile(std::string_view path) {
  auto host = Host(path);
  if (!host || !sim::HostIsFile(*host)) return false;
  if (sim::HostAttributes(*host) & kAttrReadOnly) return false;
  if (unlink(host->c_str()) != 0) return false;
  sim::SetHostAttributes(*host, 0);
  return true;
}

std::optional<uint64_t> FileSize(std::string_view path) {
  auto host = Host(path);
  if (!host) return std::nullopt;
  struct stat st {};
  if (stat(host->c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<uint64_t>(st.st_size);
}

bool FileBeingWritten(std::string_view path) {
  auto machine = sim::Current();
  auto host = Host(path);
  if (!host || !sim::HostIsFile(*host)) return false;
  for (const std::string& f : machine->filesBeingWritten) {
    auto other = sim::ToHost(*machine, f);
    if (other && *other == *host) return true;
  }
  return false;
}

std::optional<std::string> ShortPath(std::string_view path) {
  auto machine = sim::Current();
  auto split = sim::SplitWindowsPath(*machine, path);
  if (!split) return std::nullopt;
  auto host = sim::ToHost(*machine, path);
  if (!host || access(host->c_str(), F_OK) != 0) return std::nullopt;
  std::string out(path);
  if (!sim::KeepsShortNames(*machine, split->letter)) return out;
  // Rebuild the path from the drive, replacing long names by their 8.3 forms.
  auto root = sim::VolumeHostFolder(sim::FindVolume(*machine, split->letter));
  std::string hostFolder = *root;
  bool absolute = path.size() >= 2 && path[1] == ':';
  out = absolute ? std::string(path.substr(0, 2)) : std::string(1, split->letter) + ":";
  for (const std::string& part : split->components) {
    std::vector<std::string> names = sim::SortedFolderNames(hostFolder);
    std::string actual = sim::FindEntry(names, part, true).value_or(part);
    std::string shortName = sim::ShortNameOf(actual, names);
    out += "\\" + (shortName == actual ? part : shortName);
    hostFolder += "/" + actual;
  }
  return out;
}

}  // namespace os
