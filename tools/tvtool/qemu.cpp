// qemu.exe, the emulator: boots the disk given as "-hda \\.\PhysicalDrive<n>"
// with the firmware it finds, and writes what happened to <machine>/qemu.log,
// one line per run of tab-separated fields:
//   mode=bios|uefi  disk=<n>  result=booted|failed  from=<where>  loader=<file>  files=<a;b;...>
// (a failed run has reason=<why> in place of from, loader and files). It
// reads the disk and never writes it, with or without -snapshot.
//
// The firmware decides the mode: the file named by -bios (searched in the -L
// folder), else bios.bin in the -L folder; a firmware file is a text file
// "TARNVALE-FIRMWARE bios" or "TARNVALE-FIRMWARE uefi".
//   BIOS: the master boot record's code decides. "nt60" starts the active
//   partition's boot sector, which must be "nt60" and find bootmgr ("standard"
//   starts it whatever it is); "grldr" (the loader installer's boot code)
//   finds grldr on the first partition that has it; "ud" (the UD boot code)
//   starts the UD area, which must hold grldr.
//   UEFI: the first FAT partition (hidden or not) holding EFI\BOOT\BOOTX64.EFI.
//
// In UEFI mode the disk is then also booted for real: exported to a raw disk
// image with real file systems (disk_export.h) and started in the host's
// emulator with UEFI firmware (qemu_runner.h), the console going to
// <machine>/qemu-serial.log. The program ends when that emulator ends, and
// its line then ends with how the real boot ended:
//   real=switched-off|nothing-to-start|time-limit|emulator-error|not-started|no-image
// When the emulator, the firmware or a file-system tool is not installed, it
// says so on its error output and only records (no real= field). BIOS mode
// is only recorded: the boot code on the simulated disk is a name, not code
// a real PC could run.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "os/sim/host_files.h"
#include "os/sim/paths.h"
#include "os/sim/sim.h"
#include "os/sim/volumes.h"
#include "sys/text.h"
#include "tools/tvtool/commands.h"
#include "tools/tvtool/disk_edit.h"
#include "tools/tvtool/disk_export.h"
#include "tools/tvtool/fs_writers.h"
#include "tools/tvtool/qemu_runner.h"

namespace tvtool {
namespace {

constexpr std::string_view kTool = "qemu";
constexpr std::string_view kFirmwareMarker = "TARNVALE-FIRMWARE ";

struct Options {
  std::string firmwareFolder, bios, hda, hdb, memory;
  bool snapshot = false, localTime = false;
};

std::optional<Stop> ParseOptions(const Args& args, Options& o) {
  for (size_t i = 0; i < args.size(); ++i) {
    std::string a = sys::LowerAscii(args[i]);
    auto value = [&](std::string& out) -> bool {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string ignored;
    bool ok = true;
    if (a == "-l") ok = value(o.firmwareFolder);
    else if (a == "-bios") ok = value(o.bios);
    else if (a == "-hda") ok = value(o.hda);
    else if (a == "-hdb") ok = value(o.hdb);
    else if (a == "-m") ok = value(o.memory);
    else if (a == "-vga" || a == "-boot") ok = value(ignored);
    else if (a == "-snapshot") o.snapshot = true;
    else if (a == "-localtime") o.localTime = true;
    else return Stop{args[i] + ": invalid option", 1};
    if (!ok) return Stop{args[i] + ": requires an argument", 1};
  }
  if (o.hda.empty()) return Stop{"no disk to boot (-hda)", 1};
  return std::nullopt;
}

// The host path of a file the emulator opens: a Windows path, or a name in
// the firmware folder.
std::optional<std::string> Locate(const Machine& m, const std::string& folder, const std::string& name) {
  bool hasFolder = name.find_first_of("\\/:") != std::string::npos;
  std::string windows = hasFolder ? name : (folder.empty() ? name : folder + "\\" + name);
  auto host = os::sim::ToHost(m, windows);
  if (!host || !os::sim::HostIsFile(*host)) return std::nullopt;
  return host;
}

std::string FirmwareKind(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  std::string first;
  std::getline(in, first);
  if (!first.empty() && first.back() == '\r') first.pop_back();
  if (first.rfind(kFirmwareMarker, 0) != 0) return "";
  return first.substr(kFirmwareMarker.size());
}

std::optional<int> PhysicalDrive(const std::string& path) {
  std::string lower = sys::LowerAscii(path);
  const std::string prefix = "\\\\.\\physicaldrive";
  if (lower.rfind(prefix, 0) != 0) return std::nullopt;
  std::string digits = lower.substr(prefix.size());
  if (digits.empty() || digits.size() > 4 || digits.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  return std::stoi(digits);
}

std::string FileList(const std::string& hostFolder) {
  std::string out;
  for (const std::string& f : FilesUnder(hostFolder)) out += (out.empty() ? "" : ";") + sys::ReplaceAll(f, "/", "\\");
  return out;
}

bool HasFile(const std::string& hostFolder, const std::string& relative) {
  for (const std::string& f : FilesUnder(hostFolder))
    if (sys::EqualsNoCase(f, relative)) return true;
  return false;
}

struct Outcome {
  bool booted = false;
  std::string from, loader, files, reason;
};

std::string Folder(const std::string& relative) { return relative.empty() ? "" : os::sim::MachineRelative(relative); }

Outcome BootBios(const Disk& d) {
  Outcome o;
  std::vector<size_t> order = DiskOrder(d);
  if (d.mbrCode.empty()) {
    o.reason = "no boot code in the master boot record";
    return o;
  }
  if (d.mbrCode == "ud") {
    std::string ud = Folder(d.ud.folder);
    if (d.ud.sizeMB == 0 || ud.empty() || !HasFile(ud, "grldr")) {
      o.reason = "the UD area holds no grldr";
      return o;
    }
    o = {true, "UD area", "grldr", FileList(ud), ""};
    return o;
  }
  if (d.mbrCode == "grldr") {
    for (size_t n = 0; n < order.size(); ++n) {
      const Partition& p = d.partitions[order[n]];
      std::string host = Folder(p.folder);
      if (p.fileSystem.empty() || host.empty() || !HasFile(host, "grldr")) continue;
      return {true, "partition " + std::to_string(order[n] + 1), "grldr", FileList(host), ""};
    }
    o.reason = "grldr is on no partition";
    return o;
  }
  if (d.mbrCode == "nt60" || d.mbrCode == "standard") {
    // These start the active partition's boot sector, whose code names the loader.
    for (size_t n = 0; n < order.size(); ++n) {
      const Partition& p = d.partitions[order[n]];
      if (!p.active) continue;
      std::string host = Folder(p.folder);
      std::string loader = p.bootCode == "nt60" ? "bootmgr" : "";
      if (loader.empty() || (d.mbrCode != "standard" && p.bootCode != d.mbrCode)) {
        o.reason = "the active partition's boot sector starts no loader";
      } else if (p.fileSystem.empty() || host.empty() || !HasFile(host, loader)) {
        o.reason = std::string("the active partition holds no ") + loader;
      } else {
        return {true, "partition " + std::to_string(order[n] + 1), loader, FileList(host), ""};
      }
      return o;
    }
    o.reason = "no partition is active";
    return o;
  }
  o.reason = "unknown boot code " + d.mbrCode;
  return o;
}

Outcome BootUefi(const Disk& d) {
  for (size_t i : DiskOrder(d)) {
    const Partition& p = d.partitions[i];
    std::string host = Folder(p.folder);
    if (!IsFatFamily(p.fileSystem) || host.empty()) continue;
    if (HasFile(host, "EFI/BOOT/BOOTX64.EFI"))
      return {true, "partition " + std::to_string(i + 1), "EFI\\BOOT\\BOOTX64.EFI", FileList(host), ""};
  }
  Outcome o;
  o.reason = "no FAT partition holds EFI\\BOOT\\BOOTX64.EFI";
  return o;
}

// `real`: how the real boot ended, empty when there was none.
void Record(const std::string& mode, int disk, const Outcome& o, const std::string& real = "") {
  std::ofstream log(os::sim::MachineFolder() + "/qemu.log", std::ios::app);
  log << "mode=" << mode << "\tdisk=" << disk;
  if (o.booted) log << "\tresult=booted\tfrom=" << o.from << "\tloader=" << o.loader << "\tfiles=" << o.files;
  else log << "\tresult=failed\treason=" << o.reason;
  if (!real.empty()) log << "\treal=" << real;
  log << "\n";
}

const char* RealField(BootEnd end) {
  switch (end) {
    case BootEnd::kPoweredOff: return "switched-off";
    case BootEnd::kNothingToBoot: return "nothing-to-start";
    case BootEnd::kTimeLimit: return "time-limit";
    case BootEnd::kFailed: return "emulator-error";
    case BootEnd::kNotStarted: return "not-started";
  }
  return "emulator-error";
}

uint32_t MemoryMB(const std::string& text) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return 800;
  uint32_t mb = static_cast<uint32_t>(std::stoul(text));
  return mb < 128 ? 128 : mb;
}

// A folder for the disk image, removed with everything in it at the end.
struct ScratchFolder {
  std::string path;
  ScratchFolder() {
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tarnvale-boot-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data())) path = name.data();
  }
  ~ScratchFolder() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
};

// What the real boot in UEFI mode came to.
struct RealBoot {
  int exitCode = 0;  // the emulator stand-in's
  std::string end;   // the record's real= field; empty when there was no real boot
};

RealBoot BootForReal(const Disk& disk, const Options& o) {
  Emulator emulator = FindEmulator();
  if (emulator.off) return {};
  if (!emulator.missing.empty()) {
    Fail(kTool, {emulator.missing + " is not installed (scripts/setup.sh installs it): the boot is only recorded", 0});
    return {};
  }
  for (const Partition& p : disk.partitions) {
    std::string missing = p.fileSystem.empty() ? "" : MissingVolumeTools(p.fileSystem);
    if (!missing.empty()) {
      Fail(kTool, {p.fileSystem + " needs " + missing + ", which is not installed (scripts/setup.sh installs it): "
                   "the boot is only recorded", 0});
      return {};
    }
  }
  ScratchFolder scratch;
  if (scratch.path.empty()) return {Fail(kTool, {"no room for the disk image in the temporary folder", 1}), "no-image"};
  UefiBoot boot;
  boot.image = scratch.path + "/PhysicalDrive" + std::to_string(disk.number) + ".img";
  std::string why;
  if (!ExportDisk(disk, boot.image, &why)) return {Fail(kTool, {"cannot boot " + o.hda + ": " + why, 1}), "no-image"};
  boot.memoryMB = MemoryMB(o.memory);
  boot.localTime = o.localTime;
  boot.serialLog = os::sim::MachineFolder() + "/qemu-serial.log";
  boot.seconds = BootSeconds();
  BootEnd end = RunUefiBoot(emulator, boot);
  fprintf(stderr, "qemu: %s\n", BootEndText(end, boot.seconds).c_str());
  return {end == BootEnd::kPoweredOff ? 0 : 1, RealField(end)};
}

}  // namespace

int RunQemu(const Args& args) {
  Options o;
  if (auto stop = ParseOptions(args, o)) return Fail(kTool, *stop);
  FaultPlay fault("qemu", "");
  if (auto code = fault.Exit()) return *code;

  auto machine = os::sim::Current();
  std::string firmwareName = o.bios.empty() ? "bios.bin" : o.bios;
  auto firmware = Locate(*machine, o.firmwareFolder, firmwareName);
  if (!firmware) return Fail(kTool, {"could not load PC BIOS '" + firmwareName + "'", 1});
  std::string mode = FirmwareKind(*firmware);
  if (mode != "bios" && mode != "uefi") return Fail(kTool, {"'" + firmwareName + "' is no firmware", 1});
  auto number = PhysicalDrive(o.hda);
  const Disk* disk = number ? machine->FindDisk(*number) : nullptr;
  if (!disk || !disk->media) return Fail(kTool, {"could not open disk image " + o.hda + ": No such file or directory", 1});
  if (!o.hdb.empty() && !Locate(*machine, "", o.hdb))
    return Fail(kTool, {"could not open disk image " + o.hdb + ": No such file or directory", 1});
  if (fault.Partial()) {
    Record(mode, *number, Outcome{false, "", "", "", "the emulator stopped before the disk booted"});
    return 0;
  }
  if (mode != "uefi") {
    Record(mode, *number, BootBios(*disk));
    return 0;
  }
  Outcome outcome = BootUefi(*disk);
  RealBoot real = BootForReal(*disk, o);
  Record(mode, *number, outcome, real.end);
  return real.exitCode;
}

}  // namespace tvtool
