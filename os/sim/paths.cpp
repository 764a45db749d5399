#include "os/sim/paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "os/sim/host_files.h"
#include "os/sim/volumes.h"

namespace os::sim {
namespace {

bool IsSlash(char c) { return c == '\\' || c == '/'; }

bool ShortChar(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if (isalnum(u)) return true;
  return std::string_view("!#$%&'()-@^_`{}~").find(c) != std::string_view::npos;
}

bool IsValidShortName(const std::string& name) {
  size_t dot = name.find('.');
  std::string base = name.substr(0, dot);
  std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  if (dot != std::string::npos && (ext.empty() || ext.find('.') != std::string::npos)) return false;
  for (char c : base + ext)
    if (!ShortChar(c)) return false;
  return true;
}

// The 6-letter stem and extension of the generated short name.
std::pair<std::string, std::string> ShortStem(const std::string& name) {
  std::string trimmed = name;
  while (!trimmed.empty() && trimmed.front() == '.') trimmed.erase(trimmed.begin());
  size_t dot = trimmed.rfind('.');
  std::string base = dot == std::string::npos ? trimmed : trimmed.substr(0, dot);
  std::string ext = dot == std::string::npos ? "" : trimmed.substr(dot + 1);
  std::string stem, e;
  for (char c : base)
    if (ShortChar(c) && stem.size() < 6) stem += static_cast<char>(toupper(static_cast<unsigned char>(c)));
  for (char c : ext)
    if (ShortChar(c) && e.size() < 3) e += static_cast<char>(toupper(static_cast<unsigned char>(c)));
  if (stem.empty()) stem = "_";
  return {stem, e};
}

}  // namespace

std::vector<std::string> SortedFolderNames(const std::string& hostFolder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(hostFolder.c_str())) {
    while (dirent* e = readdir(dir)) {
      std::string n = e->d_name;
      if (n != "." && n != ".." && n != kAttributeFile) names.push_back(n);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    std::string la = LowerAscii(a), lb = LowerAscii(b);
    return la != lb ? la < lb : a < b;
  });
  return names;
}

std::optional<std::string> FindEntry(const std::vector<std::string>& names, const std::string& component,
                                     bool shortNames) {
  if (std::find(names.begin(), names.end(), component) != names.end()) return component;
  for (const std::string& n : names)
    if (EqualNoCase(n, component)) return n;
  if (shortNames && component.find('~') != std::string::npos) {
    for (const std::string& n : names)
      if (EqualNoCase(ShortNameOf(n, names), component)) return n;
  }
  return std::nullopt;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (tolower(static_cast<unsigned char>(a[i])) != tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (auto& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string UpperAscii(std::string_view s) {
  std::string out(s);
  for (auto& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string ShortNameOf(const std::string& name, const std::vector<std::string>& folderNames) {
  if (IsValidShortName(name)) return name;
  auto [stem, ext] = ShortStem(name);
  int index = 0;
  for (const std::string& other : folderNames) {
    if (IsValidShortName(other)) continue;
    if (ShortStem(other) == std::make_pair(stem, ext)) {
      ++index;
      if (other == name) break;
    }
  }
  if (index == 0) index = 1;
  std::string number = std::to_string(index);
  std::string shortStem = stem.substr(0, std::min(stem.size(), 7 - number.size()));
  return shortStem + "~" + number + (ext.empty() ? "" : "." + ext);
}

std::optional<WindowsPath> SplitWindowsPath(const Machine& machine, std::string_view path) {
  std::string p(path);
  if (p.rfind("\\\\?\\", 0) == 0 && p.size() >= 6 && p[5] == ':') p = p.substr(4);
  if (p.size() >= 2 && IsSlash(p[0]) && IsSlash(p[1])) return std::nullopt;  // UNC or device

  WindowsPath out;
  std::string rest;
  if (p.size() >= 2 && p[1] == ':' && isalpha(static_cast<unsigned char>(p[0]))) {
    out.letter = static_cast<char>(toupper(static_cast<unsigned char>(p[0])));
    rest = p.substr(2);
    // "E:name" is relative to the drive's current folder, its root here.
  } else {
    // Relative to the current folder, which is the program's folder.
    auto base = SplitWindowsPath(machine, machine.program);
    if (!base) return std::nullopt;
    out.letter = base->letter;
    if (!p.empty() && IsSlash(p[0])) {
      rest = p;
    } else {
      out.components = base->components;
      if (!out.components.empty()) out.components.pop_back();  // the program file itself
      rest = p;
    }
  }
  size_t i = 0;
  while (i <= rest.size()) {
    size_t j = i;
    while (j < rest.size() && !IsSlash(rest[j])) ++j;
    std::string part = rest.substr(i, j - i);
    // Windows drops trailing dots and blanks of a component.
    while (!part.empty() && (part.back() == '.' || part.back() == ' ') && part != "." && part != "..")
      part.pop_back();
    if (part.find_first_of("<>:\"|?*") != std::string::npos) return std::nullopt;
    if (part == "..") {
      if (!out.components.empty()) out.components.pop_back();
    } else if (!part.empty() && part != ".") {
      out.components.push_back(part);
    }
    i = j + 1;
  }
  return out;
}

bool KeepsShortNames(const Machine& machine, char letter) {
  Volume v = FindVolume(machine, letter);
  if (v.kind == Volume::Kind::kNetwork) return false;
  if (v.kind == Volume::Kind::kPartition) return !EqualNoCase(v.partition->fileSystem, "exFAT");
  if (v.drive) return !EqualNoCase(v.drive->fileSystem, "exFAT");
  return false;
}

std::optional<std::string> ToHost(const Machine& machine, std::string_view path) {
  auto split = SplitWindowsPath(machine, path);
  if (!split) return std::nullopt;
  Volume volume = FindVolume(machine, split->letter);
  auto root = VolumeHostFolder(volume);
  if (!root) return std::nullopt;
  bool shortNames = KeepsShortNames(machine, split->letter);
  std::string host = *root;
  bool exists = true;
  for (const std::string& part : split->components) {
    std::string chosen = part;
    if (exists) {
      // A name spelt as the host has it is the entry (FindEntry prefers the
      // exact name too); only other spellings need the folder's listing.
      struct stat st {};
      bool exact = part != kAttributeFile && lstat((host + "/" + part).c_str(), &st) == 0;
      if (!exact) {
        if (auto found = FindEntry(SortedFolderNames(host), part, shortNames)) chosen = *found;
        else exists = false;
      }
    }
    host += "/" + chosen;
  }
  return host;
}

}  // namespace os::sim
