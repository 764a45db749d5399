// PartAssist.exe, the partition manager's command-line program: lists a
// disk's partitions into a file, hides and unhides partitions, initialises a
// disk, shrinks a partition, creates the EFI partition at the end of a disk,
// writes a folder onto a partition that has no letter, and gives letters.
// Partitions are counted from 0 in disk order; the UD area is no partition.
#include <cstdio>
#include <map>

#include "os/ansi.h"
#include "sys/whole_file.h"
#include "os/sim/host_files.h"
#include "os/sim/paths.h"
#include "os/sim/sim.h"
#include "os/sim/volumes.h"
#include "sys/text.h"
#include "tools/tvtool/commands.h"
#include "tools/tvtool/disk_edit.h"

namespace tvtool {
namespace {

constexpr std::string_view kTool = "PartAssist";

using Switches = std::map<std::string, std::string>;  // lower-case name -> value after ':'

std::optional<Stop> ParseSwitches(const Args& args, Switches& out) {
  static const char* kKnown[] = {"list", "out", "hd", "unhide", "hide", "init", "resize", "reduce-right", "cre",
                                 "pri", "size", "act", "end", "fs", "align", "label", "whide", "src",
                                 "setletter", "letter"};
  for (const std::string& a : args) {
    if (a.size() < 2 || a[0] != '/') return Stop{"unexpected parameter \"" + a + "\"", 2};
    size_t colon = a.find(':');
    std::string name = sys::LowerAscii(a.substr(1, colon == std::string::npos ? std::string::npos : colon - 1));
    bool known = false;
    for (const char* k : kKnown) known = known || name == k;
    if (!known) return Stop{"unknown parameter \"" + a + "\"", 2};
    if (out.count(name)) return Stop{"parameter /" + name + " given twice", 2};
    out[name] = colon == std::string::npos ? "" : a.substr(colon + 1);
  }
  return std::nullopt;
}

std::optional<int> Number(const std::string& text) {
  if (text.empty() || text.size() > 6) return std::nullopt;
  for (char c : text)
    if (c < '0' || c > '9') return std::nullopt;
  return std::stoi(text);
}

// The disk named by /hd:<n> (or by the value of another switch).
std::optional<Stop> NeedDisk(Machine& m, const std::string& value, Disk*& disk) {
  auto n = Number(value);
  if (!n) return Stop{"\"" + value + "\" is not a disk number", 2};
  disk = DiskOfNumber(m, *n);
  if (!disk) return Stop{"disk " + value + " does not exist", 3};
  return std::nullopt;
}

std::optional<Stop> NeedPartition(Disk& disk, const std::string& value, Partition*& p) {
  auto i = Number(value);
  if (!i) return Stop{"\"" + value + "\" is not a partition index", 2};
  p = PartitionAt(disk, *i);
  if (!p) return Stop{"disk " + std::to_string(disk.number) + " has no partition " + value, 3};
  return std::nullopt;
}

// ---- /list:<n> /out:<file> ----

std::string Cell(std::string text) {
  // A partition row has exactly four '|' and its columns are split at tabs:
  // neither may come from a label.
  for (char& c : text)
    if (c == '|' || c == '\t' || c == '\r' || c == '\n') c = '_';
  return text;
}

std::string FileSystemText(const std::string& fs) {
  if (fs.empty()) return "Unformatted";
  if (fs == "FAT") return "FAT16";
  return fs;
}

// One row: "| <no>\t| <letter>\t| <size>\t| <type>\t<fs>\t<label>\t<status>".
// Without its '|' the row splits at tabs into number, letter, size, type,
// file system, label and status.
std::string Row(const std::string& no, const std::string& letter, const std::string& size, const std::string& type,
                const std::string& fs, const std::string& label, const std::string& status) {
  return "| " + no + "\t| " + letter + "\t| " + size + "\t| " + type + "\t" + fs + "\t" + Cell(label) + "\t" +
         status + "\r\n";
}

std::string ListText(const Disk& d, bool partial) {
  std::string model = sys::TrimSpaces(d.vendor + " " + d.product);
  std::string out = "Partition Assistant - partition list\r\n\r\n";
  out += "Disk " + std::to_string(d.number) + ": " + Cell(model) + ", " + SizeText(d.sizeBytes) + ", MBR\r\n\r\n";
  out += "No.\tLetter\tCapacity\tType\tFile system\tLabel\tStatus\r\n";
  std::vector<std::string> rows;
  if (d.ud.sizeMB > 0)
    rows.push_back(Row("UD", "-", SizeText(static_cast<uint64_t>(d.ud.sizeMB) << 20), "UD area", "UD", "", "Hidden"));
  int index = 0;
  for (size_t i : DiskOrder(d)) {
    const Partition& p = d.partitions[i];
    char typeId[16];
    snprintf(typeId, sizeof typeId, "Primary (%02X)", p.type);
    std::string status;
    if (p.active) status = "Active";
    if (p.hidden) status += status.empty() ? "Hidden" : ", Hidden";
    if (status.empty()) status = "Normal";
    rows.push_back(Row(std::to_string(index++), p.letter ? std::string(1, p.letter) + ":" : "-",
                       SizeText(p.Bytes()), typeId, FileSystemText(p.fileSystem), p.label, status));
  }
  if (partial && !rows.empty()) {
    // The list breaks off in the middle of its last partition row.
    std::string& last = rows.back();
    last.resize(last.find('\t', last.find('\t') + 1));
  }
  for (const auto& r : rows) out += r;
  if (!partial) out += "\r\n" + std::to_string(index) + " partition(s).\r\n";
  return out;
}

int List(const Switches& sw) {
  FaultPlay fault("partassist", "list");
  if (auto code = fault.Exit()) return *code;
  auto it = sw.find("out");
  if (it == sw.end() || it->second.empty()) return Fail(kTool, {"/list needs /out:<file>", 2});
  Machine m = *os::sim::Current();
  Disk* disk = nullptr;
  if (auto stop = NeedDisk(m, sw.at("list"), disk)) return Fail(kTool, *stop);
  std::string text = os::ToAnsi(ListText(*disk, fault.Partial()));
  uint32_t error = 0;
  if (!sys::WriteWholeFile(it->second, text, &error))
    return Fail(kTool, {"cannot write " + it->second + " (error " + std::to_string(error) + ")", 4});
  return 0;
}

// ---- the commands that change a disk ----

std::optional<Stop> Unhide(Machine& m, Disk& disk, const std::string& index) {
  Partition* p = nullptr;
  if (auto stop = NeedPartition(disk, index, p)) return stop;
  if (!p->hidden) return std::nullopt;
  p->hidden = false;
  p->type = VisibleType(p->type);
  // Windows mounts the volume it can now see and gives it a letter.
  if (!p->fileSystem.empty() && !p->letter) p->letter = FreeLetter(m);
  return std::nullopt;
}

std::optional<Stop> Hide(Disk& disk, const std::string& index) {
  Partition* p = nullptr;
  if (auto stop = NeedPartition(disk, index, p)) return stop;
  HidePartition(*p);
  return std::nullopt;
}

// A disk that already holds one partition and no UD area stays as it is; any
// other gets a new partition table with one FAT32 partition over the whole disk.
std::optional<Stop> Init(Machine& m, Disk& disk, bool partial, bool giveLetter) {
  if (disk.partitions.size() == 1 && disk.ud.sizeMB == 0) return std::nullopt;
  char letter = 0;
  for (size_t i : DiskOrder(disk))
    if (!letter && disk.partitions[i].letter && !disk.partitions[i].hidden) letter = disk.partitions[i].letter;
  RemoveAllPartitions(disk);
  disk.mbrCode.clear();
  if (partial) return std::nullopt;  // the old table is gone, the new one never came
  Partition p;
  p.start = kSectorsPerMB;
  p.sectors = disk.Sectors() - p.start;
  FormatPartition(m, disk.number, p, "FAT32", "");
  if (giveLetter) GiveLetterAway(m, disk.number, letter);  // the new volume waits for a letter
  else p.letter = letter ? letter : FreeLetter(m);
  InsertPartition(disk, p);
  return std::nullopt;
}

std::optional<Stop> Resize(Machine& m, const Switches& sw, bool partial) {
  char letter = ParseDriveLetter(sw.at("resize"));
  if (!letter) return Stop{"\"" + sw.at("resize") + "\" is not a drive letter", 2};
  auto it = sw.find("reduce-right");
  if (it == sw.end()) return Stop{"/resize needs /reduce-right:<size>MB", 2};
  std::string amount = it->second;
  if (amount.size() > 2 && sys::EqualsNoCase(amount.substr(amount.size() - 2), "MB")) amount.resize(amount.size() - 2);
  auto mb = Number(amount);
  if (!mb || *mb == 0) return Stop{"\"" + it->second + "\" is not a size in MB", 2};
  auto volume = FindLetterVolume(m, letter);
  if (!volume) return Stop{std::string("there is no volume ") + letter + ":", 3};
  Partition& p = volume->partition();
  uint64_t cut = static_cast<uint64_t>(partial ? *mb / 2 : *mb) * kSectorsPerMB;
  uint64_t used = p.fileSystem.empty() || p.folder.empty() ? 0 : FolderBytes(os::sim::MachineRelative(p.folder));
  // The partition keeps at least 1 MB and room for its files.
  if (cut + kSectorsPerMB > p.sectors || (p.sectors - cut) * os::sim::kSectorBytes < used)
    return Stop{std::string("the partition of ") + letter + ": cannot give up " + it->second, 5};
  p.sectors -= cut;
  return std::nullopt;
}

std::optional<Stop> Create(Machine& m, Disk& disk, const Switches& sw, bool partial) {
  for (const char* needed : {"pri", "end"})
    if (!sw.count(needed)) return Stop{std::string("/cre needs /") + needed, 2};
  if (sw.count("size") && !sys::EqualsNoCase(sw.at("size"), "auto")) return Stop{"only /size:auto is supported", 2};
  std::string fileSystem = "FAT32";
  if (sw.count("fs")) {
    auto canonical = CanonicalFileSystem(sw.at("fs"));
    if (!canonical) return Stop{"unknown file system \"" + sw.at("fs") + "\"", 2};
    fileSystem = *canonical;
  }
  std::vector<Extent> free = FreeExtents(disk);
  // /end: the free space at the end of the disk.
  if (free.empty() || free.back().start + free.back().sectors != disk.Sectors())
    return Stop{"there is no free space at the end of disk " + std::to_string(disk.number), 5};
  if (disk.partitions.size() >= 4) return Stop{"disk " + std::to_string(disk.number) + " has four partitions", 5};
  Partition p;
  p.start = free.back().start;
  p.sectors = disk.Sectors() - p.start;
  p.folder = NewPartitionFolder(m, disk.number);
  if (partial) {
    p.type = 0x0C;  // created, never formatted
  } else {
    FormatPartition(m, disk.number, p, fileSystem, sw.count("label") ? sw.at("label") : "");
  }
  if (sw.count("act")) {
    for (Partition& other : disk.partitions) other.active = false;
    p.active = true;
  }
  InsertPartition(disk, p);
  return std::nullopt;
}

std::optional<Stop> WriteHidden(const Machine& m, Disk& disk, const Switches& sw, bool partial) {
  Partition* p = nullptr;
  if (auto stop = NeedPartition(disk, sw.at("whide"), p)) return stop;
  auto src = sw.find("src");
  if (src == sw.end()) return std::nullopt;  // nothing to write
  if (p->fileSystem.empty()) return Stop{"partition " + sw.at("whide") + " has no file system", 5};
  auto from = os::sim::ToHost(m, src->second);
  if (!from || !os::sim::HostIsFolder(*from)) return Stop{"the folder " + src->second + " does not exist", 3};
  std::string to = EnsureFolder(m, disk.number, *p);
  uint64_t room = p->Bytes() > FolderBytes(to) ? p->Bytes() - FolderBytes(to) : 0;
  if (FolderBytes(*from) > room) return Stop{"partition " + sw.at("whide") + " has not enough free space", 5};
  std::string why;
  size_t limit = 0;  // all
  if (partial) {
    limit = FilesUnder(*from).size() / 2;  // the first half, then it stops
    if (limit == 0) return std::nullopt;
  }
  if (!CopyTree(*from, to, &why, limit)) return Stop{why, 5};
  return std::nullopt;
}

std::optional<Stop> SetLetter(Machine& m, Disk& disk, const Switches& sw) {
  Partition* p = nullptr;
  if (auto stop = NeedPartition(disk, sw.at("setletter"), p)) return stop;
  auto it = sw.find("letter");
  if (it == sw.end()) return Stop{"/setletter needs /letter:<letter> or /letter:auto", 2};
  if (p->hidden) return Stop{"partition " + sw.at("setletter") + " is hidden", 5};
  if (sys::EqualsNoCase(it->second, "auto")) {
    if (p->letter) return std::nullopt;
    char free = FreeLetter(m);
    if (!free) return Stop{"no drive letter is free", 5};
    p->letter = free;
    return std::nullopt;
  }
  char letter = ParseDriveLetter(it->second);
  if (!letter) return Stop{"\"" + it->second + "\" is not a drive letter", 2};
  if (p->letter == letter) return std::nullopt;
  if (LetterInUse(m, letter)) return Stop{std::string("the letter ") + letter + ": is in use", 5};
  p->letter = letter;
  return std::nullopt;
}

// The one operation of a command line, as the fault switches name it.
std::string Operation(const Switches& sw) {
  for (const char* op : {"list", "init", "resize", "cre", "whide", "hide", "unhide", "setletter"})
    if (sw.count(op)) return op;
  return "";
}

}  // namespace

int RunPartAssist(const Args& args) {
  Switches sw;
  if (auto stop = ParseSwitches(args, sw)) return Fail(kTool, *stop);
  std::string op = Operation(sw);
  int ops = 0;
  for (const char* o : {"list", "init", "resize", "cre", "whide", "hide", "unhide", "setletter"}) ops += sw.count(o);
  if (ops != 1) return Fail(kTool, {"give exactly one of /list, /init, /resize, /cre, /whide, /hide, /unhide, /setletter", 2});
  if (op == "list") return List(sw);

  FaultPlay fault("partassist", op);
  if (auto code = fault.Exit()) return *code;
  bool partial = fault.Partial();
  if (partial && (op == "hide" || op == "unhide" || op == "setletter")) return 0;  // one step: not done

  auto stop = EditMachine([&](Machine& m) -> std::optional<Stop> {
    if (op == "resize") return Resize(m, sw, partial);
    Disk* disk = nullptr;
    std::string diskText = op == "init" ? sw.at("init") : (sw.count("hd") ? sw.at("hd") : "");
    if (diskText.empty()) return Stop{"/" + op + " needs /hd:<disk>", 2};
    if (auto s = NeedDisk(m, diskText, disk)) return s;
    if (op == "init") return Init(m, *disk, partial, fault.GivesLetterAway());
    if (op == "unhide") return Unhide(m, *disk, sw.at("unhide"));
    if (op == "hide") return Hide(*disk, sw.at("hide"));
    if (op == "cre") return Create(m, *disk, sw, partial);
    if (op == "whide") return WriteHidden(m, *disk, sw, partial);
    return SetLetter(m, *disk, sw);
  });
  return stop ? Fail(kTool, *stop) : 0;
}

}  // namespace tvtool
