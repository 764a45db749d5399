#include "disk/check_disk_layout.h"

#include <limits>
#include <optional>

#include "app/globals.h"
#include "app/language.h"
#include "disk/target_guard.h"
#include "os/drives.h"
#include "os/files.h"
#include "os/main_window.h"
#include "sys/log_records.h"
#include "sys/partassist_commands.h"
#include "sys/shell_wait.h"
#include "sys/text.h"
#include "sys/whole_file.h"

namespace disk {
namespace {

// Language strings that name the make modes in the layout list's entries.
constexpr int kUpdateMode = 5;
constexpr int kNewMakeMode = 64;
constexpr int kDiskpartMode = 67;

std::string Column(std::string_view row, size_t n) {
  std::vector<std::string> columns = sys::Split(row, "\t");
  return n < columns.size() ? columns[n] : std::string();
}

bool IsFatFileSystem(std::string_view text) { return sys::Contains(text, "FAT16") || sys::Contains(text, "FAT32"); }

}  // namespace

std::vector<std::string> PartitionRows(std::string_view fileBytes) {
  std::vector<std::string> rows;
  size_t i = 0;
  while (i < fileBytes.size()) {
    size_t cr = fileBytes.find('\r', i);
    std::string_view line = fileBytes.substr(i, cr == std::string_view::npos ? std::string_view::npos : cr - i);
    if (cr == std::string_view::npos) i = fileBytes.size();
    else i = cr + 1 + (cr + 1 < fileBytes.size() && fileBytes[cr + 1] == '\n' ? 1 : 0);
    std::vector<std::string> fields = sys::Split(line, "|");
    if (fields.size() != 5) continue;
    std::string joined;
    for (const std::string& f : fields) joined += f;
    rows.push_back(std::move(joined));
  }
  return rows;
}

int32_t RowSizeMB(std::string_view row) {
  std::string column = Column(row, 2);
  std::string digits;
  for (char c : column)
    if (c != ' ' && c != '\t') digits += c;
  double mb = sys::Val(digits);
  if (sys::Contains(column, "GB")) mb *= 1024;
  int64_t rounded = sys::RoundHalfEven(mb);
  // A size past the 32-bit range is kept at its end instead of wrapping.
  if (rounded > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (rounded < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(rounded);
}

std::string RowFileSystem(std::string_view row) { return Column(row, 4); }

bool JudgeLayout(const std::vector<std::string>& rows, std::string_view layoutText, int32_t verifyPhase) {
  auto names = [&](int n) { return sys::Contains(layoutText, app::LangString(n)); };
  bool layoutBranch = (names(kDiskpartMode) || names(kUpdateMode) || verifyPhase == 1) && verifyPhase != 2;
  if (!layoutBranch) return (names(kNewMakeMode) || verifyPhase == 2) && rows.size() == 1;

  // "UD+DATA+UEFI" holds "DATA+UEFI", so it is asked first.
  if (sys::Contains(layoutText, "UD+DATA+UEFI")) {
    if (rows.size() != 3) return false;
    app::lUDAreaMB = RowSizeMB(rows[0]);
    app::lDataPartMB = RowSizeMB(rows[1]);
    app::lEfiPartMB = RowSizeMB(rows[2]);
    return IsFatFileSystem(RowFileSystem(rows[2]));
  }
  if (sys::Contains(layoutText, "DATA+UEFI")) {
    if (rows.size() != 2) return false;
    app::lDataPartMB = RowSizeMB(rows[0]);
    app::lEfiPartMB = RowSizeMB(rows[1]);
    return IsFatFileSystem(RowFileSystem(rows[1]));
  }
  if (sys::Contains(layoutText, "UEFI+DATA")) {
    if (rows.size() != 2) return false;
    app::lEfiPartMB = RowSizeMB(rows[0]);
    app::lDataPartMB = RowSizeMB(rows[1]);
    return IsFatFileSystem(RowFileSystem(rows[0]));
  }
  return false;
}

bool CheckDiskLayout(std::string_view layoutText) {
  std::string name = "layout of disk " + std::to_string(app::iDiskNum) + " (" + std::string(layoutText) +
                     ", phase " + std::to_string(app::iVerifyPhase) + ")";
  auto fail = [&](const char* why) {
    sys::LogCheck(name, false, why);
    return false;
  };
  std::string list = app::sTmpPath + "\\PACMD\\usee.txt";
  // A list left by an earlier call must never stand for this disk's.
  os::RemoveFile(list);
  if (os::PathExists(list)) return fail("an old partition list could not be removed");
  if (!TargetStillChosen("before the layout check")) return fail("the chosen disk changed or went away");
  sys::ShellWait(sys::PaList(app::iDiskNum, list), 0);
  if (!os::PathExists(list)) return fail("the partition tool wrote no partition list");
  auto bytes = sys::ReadWholeFile(list);
  if (!bytes) return fail("the partition list could not be read");
  std::vector<std::string> rows = PartitionRows(*bytes);
  bool passed = JudgeLayout(rows, layoutText, app::iVerifyPhase);
  std::string finding = std::to_string(rows.size()) + " partition rows";
  for (const std::string& row : rows) finding += " [" + row + "]";
  sys::LogCheck(name, passed, finding);
  return passed;
}

bool CheckDiskLayout(const os::MainWindow& window) {
  return CheckDiskLayout(window.ListText(os::Control::kFsys));
}

std::string GetVolumeText(std::string_view root, bool wantFileSystem) {
  os::VolumeInfo info;
  if (!os::VolumeInformation(root, info)) return "";
  return wantFileSystem ? info.fileSystem : info.label;
}

}  // namespace disk
