#include "make/verify_disk.h"

#include <cstdio>
#include <functional>

#include "app/globals.h"
#include "app/language.h"
#include "disk/check_disk_layout.h"
#include "disk/letter_at_place.h"
#include "disk/target_guard.h"
#include "os/events.h"
#include "os/files.h"
#include "sys/command_record.h"
#include "sys/partassist_commands.h"
#include "sys/shell_wait.h"
#include "sys/log_records.h"
#include "sys/text.h"
#include "sys/whole_file.h"

namespace make {
namespace {

constexpr int kEfiLacksFiles = 75;
constexpr int kDataLacksFiles = 76;
constexpr int kDataSize = 77;
constexpr int kEfiSize = 78;
constexpr int kTableWrong = 79;
constexpr int kPackageUnreadable = 80;
constexpr int kExitCode = 81;
constexpr int kBootCodeWrong = 93;

std::string Line(int n, const std::vector<std::string>& args) {
  std::string text = app::LangString(n);
  for (size_t i = 0; i < args.size(); ++i) text = sys::ReplaceAll(text, "%" + std::to_string(i + 1), args[i]);
  return text;
}

std::string Hex(uint8_t type) {
  char buf[3];
  snprintf(buf, sizeof buf, "%02X", type);
  return buf;
}

uint64_t WholeMB(uint64_t bytes) { return bytes / disk::kMiB; }

bool FatType(uint8_t type) {
  uint8_t visible = type & 0xEF;
  return visible == 0x01 || visible == 0x04 || visible == 0x06 || visible == 0x0B || visible == 0x0C ||
         visible == 0x0E;
}

bool FatFileSystem(const std::string& fs) { return fs == "FAT32" || fs == "FAT16" || fs == "FAT"; }

// The type id a data partition of this file system carries.
bool TypeFits(uint8_t type, const std::string& fs) {
  uint8_t visible = type & 0xEF;
  if (FatFileSystem(fs)) return FatType(type);
  if (fs == "NTFS" || fs == "exFAT") return visible == 0x07;
  return true;
}

class TableJudge {
 public:
  TableJudge(std::vector<std::string>& findings) : findings_(findings) {}
  // Records a finding; the first one's failure line is kept.
  void Add(std::string finding, std::string line) {
    findings_.push_back(std::move(finding));
    if (line_.empty()) line_ = std::move(line);
  }
  void Table(const std::string& what) { Add(what, Line(kTableWrong, {what})); }
  const std::string& line() const { return line_; }

 private:
  std::vector<std::string>& findings_;
  std::string line_;
};

// The partition that holds the files at `place` (from 1), given a letter for
// the check: a hidden one is unhidden, one without a letter gets one. The
// destructor hides again what was hidden.
class ReadablePartition {
 public:
  ReadablePartition(int index, bool hidden) : index_(index), hidden_(hidden) {
    letter_ = disk::LetterAtPlace(app::iDiskNum, index + 1, app::bMobileHardDisk);
    if (!letter_.empty()) return;
    // The partition tool names the disk by number: it must still be the
    // chosen one.
    if (!disk::TargetStillChosen("before the check makes a partition readable")) return;
    if (hidden_) {
      sys::ShellWait(sys::PaUnhide(app::iDiskNum, index), 0);
      unhidden_ = true;
    } else {
      sys::ShellWait(sys::PaSetLetterAuto(app::iDiskNum, index), 0);
    }
    letter_ = disk::LetterAtPlace(app::iDiskNum, index + 1, app::bMobileHardDisk);
  }
  ~ReadablePartition() {
    if (unhidden_ && disk::TargetStillChosen("before the check hides the EFI partition again"))
      sys::ShellWait(sys::PaHide(app::iDiskNum, index_), 0);
  }
  ReadablePartition(const ReadablePartition&) = delete;
  ReadablePartition& operator=(const ReadablePartition&) = delete;
  const std::string& letter() const { return letter_; }

 private:
  int index_;
  bool hidden_;
  bool unhidden_ = false;
  std::string letter_;
};

// The exit code of the step that broke the disk, the first of its kind
// that ended with one that is not 0: " PartAssist.exe ended with exit code 1."
std::string ExitCodeOf(const std::function<bool(const std::string&)>& step) {
  auto run = sys::FirstFailedRun(step);
  if (!run) return "";
  std::string code = run->exitCode ? std::to_string(*run->exitCode) : run->Text();
  return " " + Line(kExitCode, {sys::ProgramName(run->commandLine), code});
}

// The steps that write boot code: bootsect, the loader installer, the UD
// tool's format (the UD boot code).
bool IsBootCodeStep(const std::string& line) {
  std::string lower = sys::LowerAscii(line);
  return sys::Contains(lower, "bootsect.exe") || sys::Contains(lower, "ginst.exe") ||
         sys::Contains(lower, " format --force");
}

// The steps that make or change partitions: the partition tool's /init,
// /resize and /cre, the UD tool's formats, diskpart.
bool IsPartitionStep(const std::string& line) {
  std::string lower = sys::LowerAscii(line);
  return sys::Contains(lower, " /init:") || sys::Contains(lower, " /resize:") || sys::Contains(lower, " /cre ") ||
         sys::Contains(lower, " format --force") || sys::Contains(lower, "diskpart");
}

Verdict Check(const DiskExpectation& e);

Verdict& LastVerdictStore() {
  static Verdict verdict;
  return verdict;
}

}  // namespace

std::string Verdict::Text() const {
  std::string text = passed ? "passed" : "failed";
  text += " (" + std::to_string(durationMs) + " ms)\n";
  for (const std::string& f : findings) text += f + "\n";
  return text;
}

std::string GroupThousands(uint64_t n) {
  std::string digits = std::to_string(n);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string JudgeTable(const disk::DriveLayout& table, const std::vector<std::string>& fileSystems,
                       const DiskExpectation& e, std::vector<std::string>& findings) {
  TableJudge judge(findings);
  const std::vector<disk::TablePartition>& p = table.partitions;
  if (p.size() != 2) {
    judge.Table("the disk holds " + std::to_string(p.size()) + (p.size() == 1 ? " partition" : " partitions") +
                ", the layout needs 2");
    return judge.line();
  }
  const bool efiFirst = e.layout == Layout::kUefiData;
  const size_t efiAt = efiFirst ? 0 : 1, dataAt = efiFirst ? 1 : 0;
  const disk::TablePartition& efi = p[efiAt];
  const disk::TablePartition& data = p[dataAt];
  auto fsOf = [&](size_t i) { return i < fileSystems.size() ? fileSystems[i] : std::string(); };
  auto name = [&](size_t i) { return "partition " + std::to_string(i + 1); };

  // Order and places: the first partition behind the UD area (or the disk's
  // first MB), the second right behind it, up to the disk's end.
  uint64_t firstStart = e.layout == Layout::kUdDataUefi ? static_cast<uint64_t>(e.udSizeMB) * disk::kMiB : disk::kMiB;
  if (p[0].startBytes + kAlignmentSlack < firstStart || p[0].startBytes > firstStart + kAlignmentSlack)
    judge.Table(name(0) + " starts at " + std::to_string(WholeMB(p[0].startBytes)) + " MB, the layout puts it at " +
                std::to_string(WholeMB(firstStart)) + " MB");
  if (p[1].startBytes < p[0].EndBytes() || p[1].startBytes > p[0].EndBytes() + kAlignmentSlack)
    judge.Table(name(1) + " does not follow " + name(0));
  if (p[1].EndBytes() > table.diskBytes || p[1].EndBytes() + kAlignmentSlack < table.diskBytes)
    judge.Table(name(1) + " ends at " + std::to_string(WholeMB(p[1].EndBytes())) + " MB of " +
                std::to_string(WholeMB(table.diskBytes)) + " MB");

  // Types and flags.
  if (!FatType(efi.type)) judge.Table(name(efiAt) + " (EFI) has type " + Hex(efi.type));
  if (efi.Hidden() != e.efiHidden)
    judge.Table(name(efiAt) + " (EFI) is " + (efi.Hidden() ? "hidden" : "not hidden"));
  if (data.Hidden()) judge.Table(name(dataAt) + " (data) is hidden");
  bool efiActive = e.layout != Layout::kUdDataUefi;
  if (efi.active != efiActive) judge.Table(name(efiAt) + " (EFI) is " + (efi.active ? "active" : "not active"));
  if (efiActive && data.active) judge.Table(name(dataAt) + " (data) is active");

  // File systems.
  if (!FatFileSystem(fsOf(efiAt))) judge.Table(name(efiAt) + " (EFI) has the file system " + fsOf(efiAt));
  std::string dataFs = fsOf(dataAt);
  if (!e.dataFileSystem.empty() ? dataFs != e.dataFileSystem : (dataFs.empty() || dataFs == "Unformatted"))
    judge.Table(name(dataAt) + " (data) has the file system " + dataFs);
  else if (!TypeFits(data.type, dataFs))
    judge.Table(name(dataAt) + " (data) has type " + Hex(data.type) + " for " + dataFs);

  // Sizes: the EFI partition as configured, the data partition the rest.
  uint64_t efiWanted = static_cast<uint64_t>(e.efiSizeMB) * disk::kMiB;
  if (efi.lengthBytes + kAlignmentSlack < efiWanted || efi.lengthBytes > efiWanted + kAlignmentSlack)
    judge.Add("the EFI partition has " + std::to_string(WholeMB(efi.lengthBytes)) + " MB of " +
                  std::to_string(e.efiSizeMB) + " MB",
              Line(kEfiSize, {GroupThousands(WholeMB(efi.lengthBytes)), GroupThousands(e.efiSizeMB)}));
  uint64_t dataWanted = table.diskBytes > firstStart + efiWanted ? table.diskBytes - firstStart - efiWanted : 0;
  if (data.lengthBytes + 2 * kAlignmentSlack < dataWanted)
    judge.Add("the data partition has " + std::to_string(WholeMB(data.lengthBytes)) + " MB of " +
                  std::to_string(WholeMB(dataWanted)) + " MB",
              Line(kDataSize, {GroupThousands(WholeMB(data.lengthBytes)), GroupThousands(WholeMB(dataWanted))}));
  return judge.line();
}

size_t CountLackingFiles(const std::string& root, const std::vector<PackageFile>& files) {
  size_t lacking = 0;
  for (const PackageFile& f : files) {
    auto size = os::FileSize(root + "\\" + f.path);
    if (!size || *size != f.size) ++lacking;
  }
  return lacking;
}

const Verdict& LastVerdict() { return LastVerdictStore(); }

std::string PartitionStepExitCodeLine() {
  std::string line = ExitCodeOf(IsPartitionStep);
  return line.empty() ? line : line.substr(1);
}

Verdict VerifyMadeDisk(const DiskExpectation& e) {
  uint64_t begin = os::TickCount();
  Verdict v = Check(e);
  v.durationMs = os::TickCount() - begin;
  LastVerdictStore() = v;
  // The log gets what the check found: what it looked at when it passed,
  // every finding when it did not.
  std::string found;
  if (v.passed) {
    found = "the partitions as the layout puts them";
    if (e.peFiles) found += ", the PE image's " + std::to_string(e.peFiles->size()) + " files";
    if (e.dataFiles) found += ", the data package's " + std::to_string(e.dataFiles->size()) + " files";
    found += " with their sizes";
    if (e.bootCode == BootCodeNeed::kNone) found += ", the master boot record's signature and partition table";
    else if (e.bootCode == BootCodeNeed::kMasterBootRecord) found += ", the master boot record";
    else found += ", the master boot record and the active partition's boot sector";
  } else {
    for (const std::string& finding : v.findings) found += (found.empty() ? "" : "; ") + finding;
  }
  sys::LogCheck("verification", v.passed, found + " (" + std::to_string(v.durationMs) + " ms)");
  return v;
}

namespace {

Verdict Check(const DiskExpectation& e) {
  Verdict v;
  TableJudge judge(v.findings);
  auto done = [&]() {
    v.failureLine = judge.line();
    v.passed = v.findings.empty();
    return v;
  };

  // The packages first: without their lists the files cannot be judged.
  if (!e.peFiles) judge.Add("the PE image could not be listed", Line(kPackageUnreadable, {app::sIsoFile}));
  if (e.hasDataPackage && !e.dataFiles)
    judge.Add("the data package could not be listed", Line(kPackageUnreadable, {app::s7zFile}));

  auto table = disk::ReadDriveLayout(app::iDiskNum);
  std::vector<std::string> rows;
  if (auto bytes = sys::ReadWholeFile(app::sTmpPath + "\\PACMD\\usee.txt")) rows = disk::PartitionRows(*bytes);
  std::vector<std::string> fileSystems;
  for (size_t i = 0; i < rows.size(); ++i) {
    std::vector<std::string> columns = sys::Split(rows[i], "\t");
    if (!columns.empty() && sys::TrimSpaces(columns[0]) == "UD") continue;
    fileSystems.push_back(disk::RowFileSystem(rows[i]));
  }
  if (!table) {
    judge.Add("the partition table could not be read",
              Line(kTableWrong, {"the partition table cannot be read"}) + ExitCodeOf(IsPartitionStep));
    return done();
  }
  std::vector<std::string> tableFindings;
  std::string tableLine = JudgeTable(*table, fileSystems, e, tableFindings);
  if (!tableLine.empty()) {
    judge.Add(tableFindings[0], tableLine + ExitCodeOf(IsPartitionStep));
    v.findings.insert(v.findings.end(), tableFindings.begin() + 1, tableFindings.end());
    // A disk whose partitions are wrong has no right place for the files.
    return done();
  }

  const bool efiFirst = e.layout == Layout::kUefiData;
  if (e.peFiles) {
    ReadablePartition efi(efiFirst ? 0 : 1, e.efiHidden);
    size_t lacking = efi.letter().empty() ? e.peFiles->size() : CountLackingFiles(efi.letter(), *e.peFiles);
    if (lacking > 0) {
      std::string step = ExitCodeOf([](const std::string& line) { return sys::Contains(line, "\\EFI"); });
      judge.Add("the EFI partition lacks " + std::to_string(lacking) + " of " + std::to_string(e.peFiles->size()) +
                    " files of the PE image",
                Line(kEfiLacksFiles, {GroupThousands(lacking), GroupThousands(e.peFiles->size())}) + step);
    }
  }
  if (e.dataFiles) {
    std::string letter = disk::LetterAtPlace(app::iDiskNum, efiFirst ? 2 : 1, app::bMobileHardDisk);
    size_t lacking = letter.empty() ? e.dataFiles->size() : CountLackingFiles(letter, *e.dataFiles);
    if (lacking > 0) {
      std::string out = "-o\"" + letter + "\"";
      std::string step =
          ExitCodeOf([&](const std::string& line) { return !letter.empty() && sys::Contains(line, out); });
      judge.Add("the data partition lacks " + std::to_string(lacking) + " of " + std::to_string(e.dataFiles->size()) +
                    " files of the data package",
                Line(kDataLacksFiles, {GroupThousands(lacking), GroupThousands(e.dataFiles->size())}) + step);
    }
  }
  // The boot code last: it is read from the disk device, whatever letters
  // the partitions have now.
  std::vector<std::string> boot = CheckBootCode(app::iDiskNum, *table, e.bootCode);
  if (!boot.empty()) {
    judge.Add(boot[0], Line(kBootCodeWrong, {boot[0]}) + ExitCodeOf(IsBootCodeStep));
    v.findings.insert(v.findings.end(), boot.begin() + 1, boot.end());
  }
  return done();
}

}  // namespace
}  // namespace make
