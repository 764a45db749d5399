#include "tests/support/tool_machines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/globals.h"
#include "os/process.h"
#include "os/sim/sim.h"
#include "os/sim/volumes.h"

namespace test {

os::sim::Disk& AddStick(os::sim::Machine& m, int number, char letter, uint64_t sizeBytes) {
  os::sim::Disk d;
  d.number = number;
  d.vendor = "Generic";
  d.product = "Flash Disk";
  d.sizeBytes = sizeBytes;
  d.cylinders = static_cast<int64_t>(sizeBytes / (255ull * 63 * 512));
  d.mbrCode = "standard";
  os::sim::Partition p;
  p.start = 2048;
  p.sectors = d.Sectors() - p.start;
  p.fileSystem = "FAT32";
  p.label = "STICK";
  p.letter = letter;
  p.folder = "disks/" + std::to_string(number) + "/part1";
  d.partitions.push_back(p);
  m.disks.push_back(d);
  return m.disks.back();
}

void InstallTools(const SimMachine& m) {
  app::sTmpPath = kTmp;
  m.InstallProgram("C:\\Tarnvale\\Data\\Bin\\x86.dll", "7zz");
  m.InstallProgram("C:\\Tarnvale\\Data\\Bin\\aes.dll", "aes");
  m.InstallProgram(std::string(kTmp) + "\\PACMD\\PartAssist.exe", "partassist");
  m.InstallProgram(std::string(kTmp) + "\\PACMD\\ginst.exe", "ginst");
  m.InstallProgram(std::string(kTmp) + "\\PACMD\\bootsect.exe", "bootsect");
}

uint32_t RunToEnd(const std::string& commandLine) {
  os::Wow64RedirectionOff off(true);
  os::Process p = os::StartProcess(commandLine, 0);
  if (!p.IsValid()) return 0xFFFFFFFFu;
  while (os::WaitProcessOrEvents(p, os::kInfinite) != os::WaitResult::kProcessEnded) {
  }
  return os::ExitCode(p).value_or(0xFFFFFFFEu);
}

std::string Describe(const os::sim::Disk& disk) {
  std::string out;
  if (disk.ud.sizeMB) out = "ud=" + std::to_string(disk.ud.sizeMB);
  std::vector<const os::sim::Partition*> parts;
  for (const auto& p : disk.partitions) parts.push_back(&p);
  std::stable_sort(parts.begin(), parts.end(), [](auto* a, auto* b) { return a->start < b->start; });
  for (const auto* p : parts) {
    if (!out.empty()) out += " | ";
    out += (p->fileSystem.empty() ? "RAW" : p->fileSystem) + " " + (p->letter ? std::string(1, p->letter) + ":" : "-") +
           " '" + p->label + "' " + std::to_string(p->Bytes() >> 20) + "M";
    if (p->active) out += " active";
    if (p->hidden) out += " hidden";
    char type[8];
    snprintf(type, sizeof type, " %02x", p->type);
    out += type;
  }
  return out;
}

std::string PartitionFolder(const SimMachine& m, int disk, int index) {
  os::sim::Machine machine = m.Get();
  const os::sim::Disk* d = machine.FindDisk(disk);
  std::vector<const os::sim::Partition*> parts;
  for (const auto& p : d->partitions) parts.push_back(&p);
  std::stable_sort(parts.begin(), parts.end(), [](auto* a, auto* b) { return a->start < b->start; });
  return m.Folder() + "/" + parts.at(static_cast<size_t>(index))->folder;
}

void WriteFiles(const std::string& hostFolder, const std::map<std::string, std::string>& files) {
  for (const auto& [name, content] : files) {
    std::filesystem::path path = std::filesystem::path(hostFolder) / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
  }
}

}  // namespace test
