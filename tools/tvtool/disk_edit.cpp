#include "tools/tvtool/disk_edit.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <thread>

#include "os/sim/disk_swap.h"
#include "os/sim/host_files.h"
#include "os/sim/paths.h"
#include "os/sim/sim.h"
#include "os/sim/volumes.h"

namespace fs = std::filesystem;

namespace tvtool {

std::optional<Stop> EditMachine(const std::function<std::optional<Stop>(Machine&)>& change) {
  std::optional<Stop> stop;
  std::string error;
  bool saved = os::sim::Store().UpdateWith(
      [&](Machine& m) {
        Machine before = m;
        stop = change(m);
        if (stop) m = std::move(before);
      },
      &error);
  if (!saved && !stop) return Stop{"cannot change the machine: " + error, 1};
  return stop;
}

Disk* DiskOfNumber(Machine& m, int number) {
  Disk* d = m.FindDisk(number);
  return d && d->media ? d : nullptr;
}

std::optional<LetterVolume> FindLetterVolume(Machine& m, char letter) {
  letter = static_cast<char>(toupper(static_cast<unsigned char>(letter)));
  for (Disk& d : m.disks) {
    if (!d.media) continue;
    for (size_t i = 0; i < d.partitions.size(); ++i)
      if (d.partitions[i].letter == letter && !d.partitions[i].hidden) return LetterVolume{&d, i};
  }
  return std::nullopt;
}

std::vector<size_t> DiskOrder(const Disk& disk) {
  std::vector<size_t> order(disk.partitions.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return disk.partitions[a].start < disk.partitions[b].start; });
  return order;
}

Partition* PartitionAt(Disk& disk, int i) {
  std::vector<size_t> order = DiskOrder(disk);
  if (i < 0 || static_cast<size_t>(i) >= order.size()) return nullptr;
  return &disk.partitions[order[static_cast<size_t>(i)]];
}

bool LetterInUse(const Machine& m, char letter) {
  letter = static_cast<char>(toupper(static_cast<unsigned char>(letter)));
  for (const auto& d : m.drives)
    if (d.letter == letter) return true;
  for (const Disk& d : m.disks) {
    if (d.emptyLetter == letter) return true;
    for (const Partition& p : d.partitions)
      if (p.letter == letter) return true;
  }
  return false;
}

char FreeLetter(const Machine& m, char from) {
  for (char c = from; c <= 'Z'; ++c)
    if (!LetterInUse(m, c)) return c;
  return 0;
}

uint64_t AlignUp(uint64_t sector) { return (sector + kSectorsPerMB - 1) / kSectorsPerMB * kSectorsPerMB; }

uint64_t FirstUsableSector(const Disk& disk) {
  return std::max<uint64_t>(kSectorsPerMB, static_cast<uint64_t>(disk.ud.sizeMB) * kSectorsPerMB);
}

std::vector<Extent> FreeExtents(const Disk& disk) {
  std::vector<Extent> free;
  uint64_t at = FirstUsableSector(disk);
  uint64_t end = disk.Sectors();
  auto add = [&](uint64_t from, uint64_t to) {
    from = AlignUp(from);
    if (to > from && to - from >= kSectorsPerMB) free.push_back({from, to - from});
  };
  for (size_t i : DiskOrder(disk)) {
    const Partition& p = disk.partitions[i];
    if (p.start > at) add(at, std::min(p.start, end));
    at = std::max(at, p.start + p.sectors);
  }
  if (end > at) add(at, end);
  return free;
}

bool InsertPartition(Disk& disk, Partition p) {
  if (disk.partitions.size() >= 4) return false;
  disk.partitions.push_back(std::move(p));
  std::stable_sort(disk.partitions.begin(), disk.partitions.end(),
                   [](const Partition& a, const Partition& b) { return a.start < b.start; });
  return true;
}

void RemoveAllPartitions(Disk& disk) {
  std::error_code ec;
  for (const Partition& p : disk.partitions)
    if (!p.folder.empty()) fs::remove_all(os::sim::MachineRelative(p.folder), ec);
  disk.partitions.clear();
  if (!disk.ud.folder.empty()) fs::remove_all(os::sim::MachineRelative(disk.ud.folder), ec);
  disk.ud = os::sim::UdArea{};
}

std::string EnsureFolder(const Machine& m, int diskNumber, Partition& p) {
  if (p.folder.empty()) p.folder = NewPartitionFolder(m, diskNumber);
  return os::sim::MachineRelative(p.folder);
}

std::string NewPartitionFolder(const Machine& m, int diskNumber) {
  std::set<std::string> used;
  for (const Disk& d : m.disks)
    for (const Partition& p : d.partitions) used.insert(p.folder);
  std::string base = "disks/" + std::to_string(diskNumber) + "/part";
  for (int k = 1;; ++k) {
    std::string candidate = base + std::to_string(k);
    if (used.count(candidate)) continue;
    WipeFolder(candidate);  // a folder nobody uses holds nothing worth keeping
    return candidate;
  }
}

std::string NewUdFolder(int diskNumber) {
  std::string folder = "disks/" + std::to_string(diskNumber) + "/ud";
  WipeFolder(folder);
  return folder;
}

void WipeFolder(const std::string& relative) {
  if (relative.empty()) return;  // never the machine folder itself
  std::string host = os::sim::MachineRelative(relative);
  std::error_code ec;
  fs::remove_all(host, ec);
  fs::create_directories(host, ec);
}

std::optional<std::string> CanonicalFileSystem(std::string_view name) {
  std::string lower = os::sim::LowerAscii(name);
  if (lower == "ntfs") return "NTFS";
  if (lower == "fat32") return "FAT32";
  if (lower == "exfat") return "exFAT";
  if (lower == "fat" || lower == "fat16") return "FAT";
  return std::nullopt;
}

bool IsFatFamily(std::string_view fileSystem) {
  return os::sim::EqualNoCase(fileSystem, "FAT32") || os::sim::EqualNoCase(fileSystem, "FAT") ||
         os::sim::EqualNoCase(fileSystem, "FAT16");
}

std::string StoredLabel(const std::string& fileSystem, std::string_view label) {
  std::string out(label);
  size_t limit = 32;
  if (IsFatFamily(fileSystem)) {
    out = os::sim::UpperAscii(out);
    limit = 11;
  } else if (os::sim::EqualNoCase(fileSystem, "exFAT")) {
    limit = 11;
  }
  if (out.size() > limit) out.resize(limit);
  return out;
}

uint8_t TypeForFileSystem(const std::string& fileSystem) {
  if (fileSystem == "FAT32") return 0x0C;
  if (fileSystem == "FAT") return 0x0E;
  return 0x07;  // NTFS and exFAT
}

uint8_t HiddenType(uint8_t type) {
  switch (type) {
    case 0x01: case 0x04: case 0x06: case 0x07: case 0x0B: case 0x0C: case 0x0E:
      return static_cast<uint8_t>(type | 0x10);
    default:
      return type;
  }
}

uint8_t VisibleType(uint8_t type) {
  switch (type) {
    case 0x11: case 0x14: case 0x16: case 0x17: case 0x1B: case 0x1C: case 0x1E:
      return static_cast<uint8_t>(type & ~0x10);
    default:
      return type;
  }
}

void HidePartition(Partition& p) {
  p.hidden = true;
  p.type = HiddenType(p.type);
  p.letter = 0;
}

void FormatPartition(const Machine& m, int diskNumber, Partition& p, const std::string& fileSystem,
                     std::string_view label) {
  if (p.folder.empty()) p.folder = NewPartitionFolder(m, diskNumber);
  else WipeFolder(p.folder);
  p.fileSystem = fileSystem;
  p.label = StoredLabel(fileSystem, label);
  p.bootCode.clear();
  uint8_t type = TypeForFileSystem(fileSystem);
  p.type = p.hidden ? HiddenType(type) : type;
}

uint64_t FolderBytes(const std::string& hostFolder) {
  uint64_t total = 0;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(hostFolder, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    if (it->is_regular_file(ec) && it->path().filename() != os::sim::kAttributeFile) total += it->file_size(ec);
  return total;
}

std::vector<std::string> FilesUnder(const std::string& hostFolder) {
  std::vector<std::string> files;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(hostFolder, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (!it->is_regular_file(ec) || it->path().filename() == os::sim::kAttributeFile) continue;
    files.push_back(fs::relative(it->path(), hostFolder, ec).generic_string());
  }
  std::sort(files.begin(), files.end(),
            [](const std::string& a, const std::string& b) { return os::sim::LowerAscii(a) < os::sim::LowerAscii(b); });
  return files;
}

namespace {

// The entry of `folder` that `name` names, in any letter case; the name as
// given when there is none (Windows folders ignore case).
fs::path EntryIn(const fs::path& folder, const std::string& name) {
  auto found = os::sim::FindEntry(os::sim::SortedFolderNames(folder.string()), name, false);
  return folder / found.value_or(name);
}

}  // namespace

bool CopyTree(const std::string& from, const std::string& to, std::string* why, size_t limit) {
  std::vector<std::string> files = FilesUnder(from);
  if (limit > 0 && limit < files.size()) files.resize(limit);
  std::error_code ec;
  fs::create_directories(to, ec);
  for (const std::string& rel : files) {
    // Each folder on the way takes the spelling that already exists.
    fs::path target = to;
    fs::path relPath(rel);
    std::vector<std::string> parts;
    for (const auto& part : relPath) parts.push_back(part.string());
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
      target = EntryIn(target, parts[i]);
      fs::create_directories(target, ec);
    }
    target = EntryIn(target, parts.back());
    fs::copy_file(fs::path(from) / rel, target, fs::copy_options::overwrite_existing, ec);
    if (ec) {
      if (why) *why = "cannot write " + rel + ": " + ec.message();
      return false;
    }
  }
  return true;
}

char ParseDriveLetter(std::string_view text) {
  std::string t(text);
  if (!t.empty() && (t.back() == '\\' || t.back() == '/')) t.pop_back();
  if (!t.empty() && t.back() == ':') t.pop_back();
  if (t.size() != 1 || !isalpha(static_cast<unsigned char>(t[0]))) return 0;
  return static_cast<char>(toupper(static_cast<unsigned char>(t[0])));
}

std::string SizeText(uint64_t bytes) {
  char buf[64];
  if (bytes >= (1ull << 30)) snprintf(buf, sizeof buf, "%.2f GB", static_cast<double>(bytes) / (1ull << 30));
  else snprintf(buf, sizeof buf, "%.2f MB", static_cast<double>(bytes) / (1ull << 20));
  return buf;
}

int Fail(std::string_view tool, const Stop& stop) {
  fprintf(stderr, "%.*s: %s\n", static_cast<int>(tool.size()), tool.data(), stop.message.c_str());
  return stop.code;
}

void GiveLetterAway(Machine& m, int fromDisk, char letter) {
  if (!letter) return;
  for (Disk& d : m.disks) {
    if (d.number == fromDisk || !d.media) continue;
    for (size_t i : DiskOrder(d)) {
      Partition& p = d.partitions[i];
      if (!p.hidden && !p.letter && !p.fileSystem.empty()) {
        p.letter = letter;
        return;
      }
    }
  }
}

FaultPlay::FaultPlay(std::string_view program, std::string_view command) : program_(program), command_(command) {
  if (auto f = os::sim::TakeFault(program, command)) kind_ = f->kind;
  if (kind_ == "slow") std::this_thread::sleep_for(std::chrono::seconds(1));  // then it does its work
  if (kind_ == "unplug") {
    // The sticks are gone, with their letters; their files go with them.
    os::sim::Store().Update([](Machine& m) { std::erase_if(m.disks, [](const Disk& d) { return d.bus == 7; }); });
  }
}

FaultPlay::~FaultPlay() { os::sim::PlaySwapsAfter(program_, command_); }

std::optional<int> FaultPlay::Exit() const {
  if (kind_ == "hang") {
    // Does nothing and waits to be ended; gives up after ten minutes.
    std::this_thread::sleep_for(std::chrono::minutes(10));
    return 1;
  }
  if (kind_ == "exit-early" || kind_ == "unplug") return 1;
  if (kind_ == "no-output") return 0;
  return std::nullopt;
}

}  // namespace tvtool
