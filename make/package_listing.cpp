#include "make/package_listing.h"

#include <set>

#include "app/globals.h"
#include "os/ansi.h"
#include "os/files.h"
#include "sys/archiver_commands.h"
#include "sys/shell_wait.h"
#include "sys/short_path.h"
#include "sys/system_programs.h"
#include "sys/text.h"
#include "sys/whole_file.h"

namespace make {
namespace {

struct Entry {
  std::string path;
  std::string size;
  bool folder = false;
};

std::string Value(std::string_view line, std::string_view key) {
  return sys::TrimSpaces(line.substr(key.size()));
}

}  // namespace

std::optional<std::vector<PackageFile>> ParsePackageListing(std::string_view text) {
  std::vector<std::string> lines = sys::Split(text, "\n");
  for (std::string& line : lines)
    if (!line.empty() && line.back() == '\r') line.pop_back();
  size_t i = 0;
  while (i < lines.size() && sys::TrimSpaces(lines[i]) != "----------") ++i;
  if (i == lines.size()) return std::nullopt;
  std::vector<Entry> entries;
  for (++i; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.rfind("Path = ", 0) == 0) {
      Entry e;
      e.path = sys::ReplaceAll(Value(line, "Path = "), "/", "\\");
      entries.push_back(std::move(e));
    } else if (entries.empty()) {
      continue;
    } else if (line.rfind("Size = ", 0) == 0) {
      entries.back().size = Value(line, "Size = ");
    } else if (line.rfind("Folder = ", 0) == 0) {
      entries.back().folder = entries.back().folder || Value(line, "Folder = ") == "+";
    } else if (line.rfind("Attributes = ", 0) == 0) {
      entries.back().folder = entries.back().folder || Value(line, "Attributes = ").rfind('D', 0) == 0;
    }
  }
  std::set<std::string> parents;
  for (const Entry& e : entries) {
    std::string lower = sys::LowerAscii(e.path);
    for (size_t at = lower.find('\\'); at != std::string::npos; at = lower.find('\\', at + 1))
      parents.insert(lower.substr(0, at));
  }
  std::vector<PackageFile> files;
  for (const Entry& e : entries) {
    if (e.folder || e.path.empty() || parents.count(sys::LowerAscii(e.path))) continue;
    PackageFile f;
    f.path = e.path;
    // A size beyond any file's is not a size: such an entry counts as 0.
    uint64_t size = 0;
    bool digits = !e.size.empty() && e.size.size() <= 19;
    for (char c : e.size) digits = digits && c >= '0' && c <= '9';
    if (digits) size = std::stoull(e.size);
    f.size = size;
    files.push_back(std::move(f));
  }
  return files;
}

std::string ListPackageCommand(std::string_view package, std::string_view listFile) {
  // The system's command interpreter writes the archiver's listing into the
  // file; it keeps the command's own quotes and takes off only the outer pair.
  return sys::ThroughCmd(sys::ArchiverProgram() + " l -slt " + sys::GetShortPath(package) + " > \"" +
                         std::string(listFile) + "\"");
}

std::optional<std::vector<PackageFile>> ListPackage(std::string_view package, std::string_view name) {
  std::string listFile = app::sTmpPath + "\\" + std::string(name) + ".lst";
  os::RemoveFile(listFile);
  sys::ShellWait(ListPackageCommand(package, listFile), 0);
  auto bytes = sys::ReadWholeFile(listFile);
  os::RemoveFile(listFile);
  if (!bytes) return std::nullopt;
  return ParsePackageListing(os::FromAnsi(*bytes));
}

}  // namespace make
