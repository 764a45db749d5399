// diskpart.exe /S <script>: runs a script of diskpart commands. It knows the
// commands the system's scripts use: select disk, select partition, clean,
// convert mbr, create partition primary [size=], format [fs=] [label=]
// [quick], assign [letter=], active, set id= [override], rem and exit. A
// command that fails ends the script, unless it carries "noerr".
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

#include "os/ansi.h"
#include "os/sim/host_files.h"
#include "os/sim/paths.h"
#include "os/sim/sim.h"
#include "sys/text.h"
#include "tools/tvtool/commands.h"
#include "tools/tvtool/disk_edit.h"

namespace tvtool {
namespace {

constexpr std::string_view kTool = "DiskPart";

// Exit codes of diskpart.
enum : int { kOk = 0, kBadArguments = 2, kNoScript = 3, kServiceError = 4, kSyntaxError = 5 };

struct Command {
  std::vector<std::string> words;              // lower case, without key=value words
  std::map<std::string, std::string> options;  // key (lower case) -> value without quotes
  bool noerr = false;
  bool override = false;
};

Command Parse(const std::string& line) {
  Command c;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    std::string word;
    bool quoted = false;
    while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
      if (line[i] == '"') quoted = !quoted;
      else word += line[i];
      ++i;
    }
    size_t eq = word.find('=');
    std::string lower = sys::LowerAscii(word);
    if (eq != std::string::npos) c.options[lower.substr(0, eq)] = word.substr(eq + 1);
    else if (lower == "noerr") c.noerr = true;
    else if (lower == "override") c.override = true;
    else c.words.push_back(lower);
  }
  return c;
}

class Session {
 public:
  explicit Session(Machine& m) : m_(m) {}

  // The message of a failed command ("" on success) and its exit code.
  std::pair<std::string, int> Run(const Command& c) {
    const auto& w = c.words;
    auto word = [&](size_t i) { return i < w.size() ? w[i] : std::string(); };
    if (word(0) == "select" && word(1) == "disk") return SelectDisk(word(2));
    if (word(0) == "select" && (word(1) == "partition" || word(1) == "part")) return SelectPartition(word(2));
    if (word(0) == "clean" && w.size() == 1) return Clean();
    if (word(0) == "convert" && word(1) == "mbr" && w.size() == 2) return ConvertMbr();
    if (word(0) == "create" && (word(1) == "partition" || word(1) == "part") && word(2) == "primary" &&
        w.size() == 3)
      return CreatePrimary(c);
    if (word(0) == "format") return Format(c);
    if (word(0) == "assign" && w.size() == 1) return Assign(c);
    if (word(0) == "active" && w.size() == 1) return Active();
    if (word(0) == "set" && w.size() == 1 && c.options.count("id")) return SetId(c);
    return {"The command or its arguments are not valid.", kSyntaxError};
  }

 private:
  Machine& m_;
  int disk_ = -1;        // selected disk number
  Partition* part_ = nullptr;

  Disk* SelectedDisk() { return disk_ < 0 ? nullptr : DiskOfNumber(m_, disk_); }

  static std::pair<std::string, int> Ok(const std::string& text) {
    printf("%s\n", text.c_str());
    return {"", kOk};
  }
  static std::pair<std::string, int> NoDisk() {
    return {"There is no disk selected to operate on. Select a disk and try again.", kServiceError};
  }
  static std::pair<std::string, int> NoPartition() {
    return {"There is no partition selected. Select a partition and try again.", kServiceError};
  }

  std::pair<std::string, int> SelectDisk(const std::string& n) {
    part_ = nullptr;
    disk_ = -1;
    if (n.empty() || n.find_first_not_of("0123456789") != std::string::npos || n.size() > 4)
      return {"The arguments specified for this command are not valid.", kSyntaxError};
    if (!DiskOfNumber(m_, std::stoi(n))) return {"The disk you specified is not valid.", kServiceError};
    disk_ = std::stoi(n);
    return Ok("Disk " + n + " is now the selected disk.");
  }

  std::pair<std::string, int> SelectPartition(const std::string& n) {
    Disk* d = SelectedDisk();
    if (!d) return NoDisk();
    part_ = nullptr;
    if (n.empty() || n.find_first_not_of("0123456789") != std::string::npos || n.size() > 3)
      return {"The arguments specified for this command are not valid.", kSyntaxError};
    size_t number = static_cast<size_t>(std::stoi(n));
    if (number < 1 || number > d->partitions.size()) return {"The partition you specified is not valid.", kServiceError};
    part_ = &d->partitions[number - 1];
    return Ok("Partition " + n + " is now the selected partition.");
  }

  std::pair<std::string, int> Clean() {
    Disk* d = SelectedDisk();
    if (!d) return NoDisk();
    RemoveAllPartitions(*d);
    d->mbrCode.clear();  // the first megabyte is zeroed
    part_ = nullptr;
    return Ok("DiskPart succeeded in cleaning the disk.");
  }

  std::pair<std::string, int> ConvertMbr() {
    Disk* d = SelectedDisk();
    if (!d) return NoDisk();
    if (!d->partitions.empty() || d->ud.sizeMB)
      return {"The specified disk is not convertible. CDROMs and DVDs are examples of disks that are not convertible.",
              kServiceError};
    return Ok("DiskPart successfully converted the selected disk to MBR format.");
  }

  std::pair<std::string, int> CreatePrimary(const Command& c) {
    Disk* d = SelectedDisk();
    if (!d) return NoDisk();
    uint64_t want = 0;
    if (c.options.count("size")) {
      const std::string& s = c.options.at("size");
      if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos || s.size() > 9)
        return {"The arguments specified for this command are not valid.", kSyntaxError};
      want = std::stoull(s) * kSectorsPerMB;
    }
    for (const auto& [k, v] : c.options)
      if (k != "size") return {"The arguments specified for this command are not valid.", kSyntaxError};
    if (d->partitions.size() >= 4)
      return {"The partition table on the disk is full: no more primary partitions can be made.", kServiceError};
    for (const Extent& e : FreeExtents(*d)) {
      if (want && e.sectors < want) continue;
      Partition p;
      p.start = e.start;
      p.sectors = want ? want : e.sectors;
      p.type = 0x06;
      p.folder = NewPartitionFolder(m_, d->number);
      uint64_t start = p.start;
      InsertPartition(*d, p);
      for (Partition& q : d->partitions)
        if (q.start == start) part_ = &q;
      return Ok("DiskPart succeeded in creating the specified partition.");
    }
    return {"There is not enough usable space for this operation.", kServiceError};
  }

  std::pair<std::string, int> Format(const Command& c) {
    Disk* d = SelectedDisk();
    if (!d) return NoDisk();
    if (!part_) return NoPartition();
    std::string fileSystem = "NTFS";
    for (const auto& [k, v] : c.options) {
      if (k == "fs") {
        auto canonical = CanonicalFileSystem(v);
        if (!canonical) return {"The file system \"" + v + "\" is not supported.", kServiceError};
        fileSystem = *canonical;
      } else if (k != "label" && k != "unit") {
        return {"The arguments specified for this command are not valid.", kSyntaxError};
      }
    }
    for (size_t i = 1; i < c.words.size(); ++i)
      if (c.words[i] != "quick") return {"The arguments specified for this command are not valid.", kSyntaxError};
    if ((fileSystem == "FAT32" && part_->Bytes() > (32ull << 30)) || (fileSystem == "FAT" && part_->Bytes() > (4ull << 30)))
      return {"Virtual Disk Service error: The volume size is too big.", kServiceError};
    FormatPartition(m_, d->number, *part_, fileSystem, c.options.count("label") ? c.options.at("label") : "");
    return Ok("DiskPart successfully formatted the volume.");
  }

  std::pair<std::string, int> Assign(const Command& c) {
    if (!SelectedDisk()) return NoDisk();
    if (!part_) return NoPartition();
    if (part_->hidden) return {"The volume is hidden and cannot get a drive letter.", kServiceError};
    char letter = 0;
    for (const auto& [k, v] : c.options) {
      if (k != "letter") return {"The arguments specified for this command are not valid.", kSyntaxError};
      letter = ParseDriveLetter(v);
      if (!letter) return {"The arguments specified for this command are not valid.", kSyntaxError};
    }
    if (!letter) letter = FreeLetter(m_);
    if (!letter) return {"There are no more drive letters available.", kServiceError};
    if (part_->letter != letter && LetterInUse(m_, letter))
      return {"The specified drive letter is not free to be assigned.", kServiceError};
    part_->letter = letter;
    return Ok("DiskPart successfully assigned the drive letter or mount point.");
  }

  std::pair<std::string, int> Active() {
    Disk* d = SelectedDisk();
    if (!d) return NoDisk();
    if (!part_) return NoPartition();
    for (Partition& p : d->partitions) p.active = false;
    part_->active = true;
    return Ok("DiskPart marked the current partition as active.");
  }

  std::pair<std::string, int> SetId(const Command& c) {
    if (!SelectedDisk()) return NoDisk();
    if (!part_) return NoPartition();
    const std::string& id = c.options.at("id");
    char* end = nullptr;
    unsigned long type = strtoul(id.c_str(), &end, 16);
    if (id.empty() || id.size() > 2 || *end || type == 0)
      return {"The specified type is not in the correct format.", kSyntaxError};
    uint8_t t = static_cast<uint8_t>(type);
    part_->type = t;
    if (VisibleType(t) != t) HidePartition(*part_);
    else part_->hidden = false;
    return Ok("DiskPart successfully set the partition ID.");
  }
};

std::vector<std::string> ScriptLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string t = sys::TrimSpaces(sys::ReplaceAll(line, "\t", " "));
    std::string lower = sys::LowerAscii(t);
    if (t.empty() || lower == "rem" || lower.rfind("rem ", 0) == 0) continue;
    lines.push_back(t);
  }
  return lines;
}

}  // namespace

int RunDiskPart(const Args& args) {
  printf("Microsoft DiskPart (simulated)\n\n");
  if (args.size() != 2 || !sys::EqualsNoCase(args[0], "/s"))
    return Fail(kTool, {"usage: diskpart /s <script file>", kBadArguments});
  auto host = os::sim::ToHost(*os::sim::Current(), args[1]);
  std::string bytes;
  if (!host || !os::sim::ReadHostFile(*host, bytes))
    return Fail(kTool, {"The script file " + args[1] + " cannot be opened.", kNoScript});
  std::vector<std::string> lines = ScriptLines(os::FromAnsi(bytes));

  FaultPlay fault("diskpart", "");
  if (auto code = fault.Exit()) return *code;
  if (fault.Partial()) lines.resize(lines.size() / 2);

  int code = kOk;
  auto stop = EditMachine([&](Machine& m) -> std::optional<Stop> {
    Session session(m);
    for (const std::string& line : lines) {
      Command c = Parse(line);
      if (!c.words.empty() && c.words[0] == "exit") break;
      auto [message, result] = session.Run(c);
      if (result == kOk) continue;
      fprintf(stderr, "%s: %s\n    (%s)\n", std::string(kTool).c_str(), message.c_str(), line.c_str());
      if (!c.noerr) {
        code = result;
        break;
      }
    }
    return std::nullopt;
  });
  if (stop) return Fail(kTool, {stop->message, kServiceError});
  return code;
}

}  // namespace tvtool
