#include "tools/tvtool/boot_store.h"

#include <sstream>

#include "os/sim/host_files.h"
#include "os/sim/sim.h"
#include "sys/text.h"

namespace tvtool {

std::optional<std::string> BootEntry::Get(std::string_view name) const {
  for (const auto& [k, v] : elements)
    if (sys::EqualsNoCase(k, name)) return v;
  return std::nullopt;
}

void BootEntry::Set(const std::string& name, const std::string& value) {
  for (auto& [k, v] : elements)
    if (sys::EqualsNoCase(k, name)) {
      v = value;
      return;
    }
  elements.emplace_back(sys::LowerAscii(name), value);
}

BootStore BootStore::Fresh(char systemDrive) {
  std::string drive = std::string(1, systemDrive) + ":";
  BootStore store;
  BootEntry manager{"{bootmgr}", "bootmgr", {}};
  manager.Set("device", "partition=" + drive);
  manager.Set("description", "Windows Boot Manager");
  manager.Set("default", "{current}");
  manager.Set("displayorder", "{current}");
  manager.Set("timeout", "30");
  BootEntry current{"{current}", "osloader", {}};
  current.Set("device", "partition=" + drive);
  current.Set("path", "\\Windows\\system32\\winload.exe");
  current.Set("description", "Windows");
  current.Set("osdevice", "partition=" + drive);
  current.Set("systemroot", "\\Windows");
  store.entries_ = {manager, current};
  return store;
}

std::optional<BootStore> BootStore::Load(const std::string& hostPath, char systemDrive, std::string* error) {
  std::string text;
  if (!os::sim::HostIsFile(hostPath)) return Fresh(systemDrive);
  if (!os::sim::ReadHostFile(hostPath, text)) {
    if (error) *error = "cannot read " + hostPath;
    return std::nullopt;
  }
  BootStore store;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (line.rfind("entry ", 0) == 0) {
      std::vector<std::string> words = sys::Split(line.substr(6), " ");
      if (words.size() != 2 || words[0].empty() || words[1].empty()) {
        if (error) *error = "bcd.txt line " + std::to_string(number) + ": an entry needs an id and a type";
        return std::nullopt;
      }
      store.entries_.push_back(BootEntry{sys::LowerAscii(words[0]), words[1], {}});
      continue;
    }
    if (line.rfind("  ", 0) == 0 && !store.entries_.empty()) {
      std::string rest = line.substr(2);
      size_t blank = rest.find(' ');
      std::string name = rest.substr(0, blank);
      std::string value = blank == std::string::npos ? "" : rest.substr(blank + 1);
      store.entries_.back().Set(name, value);
      continue;
    }
    if (error) *error = "bcd.txt line " + std::to_string(number) + ": not an entry or an element";
    return std::nullopt;
  }
  return store;
}

std::string BootStore::Text() const {
  std::string out = "# Boot configuration data of the simulated machine, kept by bcdedit (docs/stand-ins.md)\n";
  for (const BootEntry& e : entries_) {
    out += "entry " + e.id + " " + e.type + "\n";
    for (const auto& [k, v] : e.elements) out += "  " + k + " " + v + "\n";
  }
  return out;
}

bool BootStore::Save(const std::string& hostPath) const { return os::sim::WriteHostFileAtomically(hostPath, Text()); }

BootEntry* BootStore::Find(std::string_view id) {
  for (BootEntry& e : entries_)
    if (sys::EqualsNoCase(e.id, id)) return &e;
  return nullptr;
}

const BootEntry* BootStore::Find(std::string_view id) const { return const_cast<BootStore*>(this)->Find(id); }

std::string BootStorePath() { return os::sim::MachineFolder() + "/bcd.txt"; }

}  // namespace tvtool
