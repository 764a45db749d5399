// aes.dll, the USB boot-area (UD) tool: formats a disk with or without a UD
// area in front of its one data partition, loads a UD package (an archive)
// into the UD area, and clears it.
//
//   aes (hd<n>) format --force --raw --fat32 --align
//   aes <L> format --force --fat32 --align --primary 8M --extended 292M
//   aes <L> load <package>
//   aes <L> clear
#include <unistd.h>

#include <filesystem>

#include "os/sim/host_files.h"
#include "os/sim/paths.h"
#include "os/sim/sim.h"
#include "os/sim/volumes.h"
#include "sys/text.h"
#include "tools/tvtool/commands.h"
#include "tools/tvtool/disk_edit.h"
#include "tools/tvtool/host_run.h"

namespace fs = std::filesystem;

namespace tvtool {
namespace {

constexpr std::string_view kTool = "aes";

// The disk a command names: "(hd<n>)", or the disk of the volume "<L>".
struct Target {
  int disk = -1;
  char letter = 0;
};

std::optional<Target> ParseTarget(const std::string& text) {
  Target t;
  std::string lower = sys::LowerAscii(text);
  if (lower.size() > 4 && lower.rfind("(hd", 0) == 0 && lower.back() == ')') {
    std::string digits = lower.substr(3, lower.size() - 4);
    if (digits.empty() || digits.size() > 4 || digits.find_first_not_of("0123456789") != std::string::npos)
      return std::nullopt;
    t.disk = std::stoi(digits);
    return t;
  }
  t.letter = ParseDriveLetter(text);
  if (!t.letter) return std::nullopt;
  return t;
}

std::optional<Stop> ResolveDisk(Machine& m, const Target& t, Disk*& disk) {
  if (t.letter) {
    auto volume = FindLetterVolume(m, t.letter);
    if (!volume) return Stop{std::string("there is no USB volume ") + t.letter + ":", 3};
    disk = volume->disk;
  } else {
    disk = DiskOfNumber(m, t.disk);
    if (!disk) return Stop{"there is no disk (hd" + std::to_string(t.disk) + ")", 3};
  }
  return std::nullopt;
}

// --- format ---

struct FormatOptions {
  bool force = false, raw = false, align = false;
  std::string fileSystem = "FAT";
  uint64_t udBytes = 0;
};

std::optional<Stop> ParseFormat(const Args& args, size_t from, FormatOptions& o) {
  bool sized = false;
  for (size_t i = from; i < args.size(); ++i) {
    std::string a = sys::LowerAscii(args[i]);
    if (a == "--force") o.force = true;
    else if (a == "--raw") o.raw = true;
    else if (a == "--align") o.align = true;
    else if (a == "--fat32") o.fileSystem = "FAT32";
    else if (a == "--fat16") o.fileSystem = "FAT";
    else if (a == "--primary" || a == "--extended") {
      if (i + 1 >= args.size()) return Stop{a + " needs a size", 2};
      auto size = os::sim::ParseSize(sys::UpperAscii(args[++i]), os::sim::kSectorBytes);
      if (!size) return Stop{"\"" + args[i] + "\" is not a size", 2};
      o.udBytes += *size;
      sized = true;
    } else {
      return Stop{"unknown option \"" + args[i] + "\"", 2};
    }
  }
  if (!o.force) return Stop{"formatting needs --force", 2};
  if (o.raw && sized) return Stop{"--raw takes no UD area sizes", 2};
  if (!o.raw && !sized) return Stop{"give the UD area's size with --primary and --extended", 2};
  return std::nullopt;
}

std::optional<Stop> Format(Machine& m, Disk& disk, const FormatOptions& o, bool partial, bool giveLetter) {
  uint32_t udMB = static_cast<uint32_t>((o.udBytes + (1 << 20) - 1) >> 20);
  if (!o.raw && static_cast<uint64_t>(udMB + 2) * kSectorsPerMB > disk.Sectors())
    return Stop{"the UD area does not fit the disk", 5};
  // The data partition keeps the letter the disk's first volume had.
  char letter = 0;
  for (size_t i : DiskOrder(disk))
    if (!letter && disk.partitions[i].letter && !disk.partitions[i].hidden) letter = disk.partitions[i].letter;
  RemoveAllPartitions(disk);
  disk.mbrCode.clear();
  if (!o.raw) {
    disk.ud.sizeMB = udMB;
    disk.ud.folder = NewUdFolder(disk.number);
    disk.mbrCode = "ud";  // the UD area boots through its own master boot record
  }
  if (partial) return std::nullopt;  // the data partition was never made
  Partition p;
  uint64_t udEnd = static_cast<uint64_t>(disk.ud.sizeMB) * kSectorsPerMB;
  p.start = o.align ? AlignUp(std::max<uint64_t>(udEnd, kSectorsPerMB)) : std::max<uint64_t>(udEnd, 63);
  p.sectors = disk.Sectors() - p.start;
  FormatPartition(m, disk.number, p, o.fileSystem, "");
  if (giveLetter) GiveLetterAway(m, disk.number, letter);  // the new volume waits for a letter
  else p.letter = letter ? letter : FreeLetter(m);
  InsertPartition(disk, p);
  return std::nullopt;
}

// --- load and clear ---

std::optional<Stop> NeedUd(Machine& m, const Target& t, Disk*& disk) {
  if (auto stop = ResolveDisk(m, t, disk)) return stop;
  if (disk->ud.sizeMB == 0) return Stop{"disk " + std::to_string(disk->number) + " has no UD area", 5};
  if (disk->ud.folder.empty()) disk->ud.folder = NewUdFolder(disk->number);
  return std::nullopt;
}

int Load(const Target& target, const std::string& package, bool partial) {
  auto host = os::sim::ToHost(*os::sim::Current(), package);
  if (!host || !os::sim::HostIsFile(*host)) return Fail(kTool, {"the package " + package + " does not exist", 3});
  // Unpack beside the machine first; the UD area is written only when the
  // package is whole and fits.
  std::string staging = os::sim::MachineFolder() + "/aes-load." + std::to_string(getpid());
  std::error_code ec;
  fs::remove_all(staging, ec);
  fs::create_directories(staging, ec);
  struct Cleanup {
    std::string path;
    ~Cleanup() {
      std::error_code e;
      fs::remove_all(path, e);
    }
  } cleanup{staging};
  if (RunHost({"7zz", "x", "-y", "-bd", "-o" + staging, *host}) != 0)
    return Fail(kTool, {"the package " + package + " is damaged", 4});
  auto stop = EditMachine([&](Machine& m) -> std::optional<Stop> {
    Disk* disk = nullptr;
    if (auto s = NeedUd(m, target, disk)) return s;
    if (FolderBytes(staging) > (static_cast<uint64_t>(disk->ud.sizeMB) << 20))
      return Stop{"the package does not fit the UD area of " + std::to_string(disk->ud.sizeMB) + " MB", 5};
    WipeFolder(disk->ud.folder);
    std::string why;
    size_t limit = 0;
    if (partial) {
      limit = FilesUnder(staging).size() / 2;
      if (limit == 0) return std::nullopt;
    }
    if (!CopyTree(staging, os::sim::MachineRelative(disk->ud.folder), &why, limit)) return Stop{why, 5};
    return std::nullopt;
  });
  return stop ? Fail(kTool, *stop) : 0;
}

std::optional<Stop> Clear(Machine& m, const Target& target, bool partial) {
  Disk* disk = nullptr;
  if (auto s = NeedUd(m, target, disk)) return s;
  std::string host = os::sim::MachineRelative(disk->ud.folder);
  if (!partial) {
    WipeFolder(disk->ud.folder);
    return std::nullopt;
  }
  std::vector<std::string> files = FilesUnder(host);
  std::error_code ec;
  for (size_t i = 0; i < files.size() / 2; ++i) fs::remove(fs::path(host) / files[i], ec);
  return std::nullopt;
}

}  // namespace

int RunAes(const Args& args) {
  if (args.size() < 2) return Fail(kTool, {"usage: aes (hd<n>)|<L> format|load|clear ...", 2});
  auto target = ParseTarget(args[0]);
  if (!target) return Fail(kTool, {"\"" + args[0] + "\" names no disk or drive", 2});
  std::string verb = sys::LowerAscii(args[1]);
  if (verb != "format" && verb != "load" && verb != "clear")
    return Fail(kTool, {"unknown command \"" + args[1] + "\"", 2});

  FormatOptions options;
  if (verb == "format") {
    if (auto stop = ParseFormat(args, 2, options)) return Fail(kTool, *stop);
  } else if (verb == "load" && args.size() != 3) {
    return Fail(kTool, {"usage: aes <L> load <package>", 2});
  } else if (verb == "clear" && args.size() != 2) {
    return Fail(kTool, {"usage: aes <L> clear", 2});
  }

  FaultPlay fault("aes", verb);
  if (auto code = fault.Exit()) return *code;
  if (verb == "load") return Load(*target, args[2], fault.Partial());
  auto stop = EditMachine([&](Machine& m) -> std::optional<Stop> {
    if (verb == "clear") return Clear(m, *target, fault.Partial());
    Disk* disk = nullptr;
    if (auto s = ResolveDisk(m, *target, disk)) return s;
    return Format(m, *disk, options, fault.Partial(), fault.GivesLetterAway());
  });
  return stop ? Fail(kTool, *stop) : 0;
}

}  // namespace tvtool
