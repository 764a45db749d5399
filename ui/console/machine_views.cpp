#include "ui/console/machine_views.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <fstream>
#include <sstream>
#include <vector>

#include "os/files.h"
#include "os/sim/sim.h"

namespace ui::console {
namespace {

std::string Megabytes(uint64_t bytes) {
  char text[32];
  snprintf(text, sizeof text, "%llu MB", static_cast<unsigned long long>(bytes >> 20));
  return text;
}

std::string FileText(const std::string& path, bool* found) {
  std::ifstream in(path, std::ios::binary);
  *found = static_cast<bool>(in);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void AddFolder(const std::string& folder, const std::string& indent, size_t limit, size_t& shown, std::string& out) {
  std::vector<os::DirEntry> entries = os::ListFolder(folder);
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  for (const os::DirEntry& e : entries) {
    if (shown >= limit) {
      out += indent + "...\n";
      return;
    }
    ++shown;
    if (e.IsFolder()) {
      out += indent + e.name + "\\\n";
      std::string sub = folder.back() == '\\' ? folder + e.name : folder + "\\" + e.name;
      AddFolder(sub, indent + "  ", limit, shown, out);
    } else {
      out += indent + e.name + "  (" + std::to_string(e.size) + " bytes)\n";
    }
  }
}

}  // namespace

std::string RenderDisk(int number) {
  auto machine = os::sim::Current();
  const os::sim::Disk* d = machine->FindDisk(number);
  if (!d) return "  disk " + std::to_string(number) + ": no such disk\n";
  std::string out = "  disk " + std::to_string(number) + ": " + d->vendor + " " + d->product + ", " +
                    Megabytes(d->sizeBytes) + (d->media ? "" : ", no medium") +
                    (d->mbrCode.empty() ? "" : ", boot code " + d->mbrCode) + "\n";
  if (d->ud.sizeMB) out += "    UD area  " + std::to_string(d->ud.sizeMB) + " MB\n";
  std::vector<const os::sim::Partition*> parts;
  for (const auto& p : d->partitions) parts.push_back(&p);
  std::stable_sort(parts.begin(), parts.end(), [](auto* a, auto* b) { return a->start < b->start; });
  if (parts.empty()) out += "    (no partitions)\n";
  for (size_t i = 0; i < parts.size(); ++i) {
    const os::sim::Partition& p = *parts[i];
    char type[8];
    snprintf(type, sizeof type, "%02X", p.type);
    out += "    " + std::to_string(i) + "  " + (p.letter ? std::string(1, p.letter) + ":" : "- ") + "  " +
           (p.fileSystem.empty() ? "RAW" : p.fileSystem) + "  '" + p.label + "'  " + Megabytes(p.Bytes()) +
           "  type " + type + (p.active ? "  active" : "") + (p.hidden ? "  hidden" : "") +
           (p.bootCode.empty() ? "" : "  boot " + p.bootCode) + "\n";
  }
  return out;
}

std::string RenderBootStore() {
  bool found = false;
  std::string text = FileText(os::sim::MachineFolder() + "/bcd.txt", &found);
  if (!found) return "  (the boot store of a fresh Windows: the boot manager and the running system)\n";
  std::string out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) out += "  " + line + "\n";
  return out;
}

std::string RenderEmulatorLog(size_t lines) {
  bool found = false;
  std::string text = FileText(os::sim::MachineFolder() + "/qemu.log", &found);
  if (!found || text.empty()) return "  (the emulator has not run)\n";
  std::deque<std::string> last;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    last.push_back(line);
    if (last.size() > lines) last.pop_front();
  }
  std::string out;
  for (std::string& l : last) {
    std::replace(l.begin(), l.end(), '\t', ' ');
    out += "  " + l + "\n";
  }
  return out;
}

std::string RenderFolder(std::string_view windowsPath, size_t limit) {
  std::string folder(windowsPath);
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  if (!os::PathExists(folder)) return "  " + folder + ": no such folder\n";
  std::string out = "  " + folder + (folder.back() == '\\' ? "\n" : "\\\n");
  size_t shown = 0;
  AddFolder(folder, "    ", limit, shown, out);
  if (shown == 0) out += "    (empty)\n";
  return out;
}

}  // namespace ui::console
