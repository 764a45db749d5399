#include "os/sim/programs.h"

#include <cctype>
#include <fstream>
#include <vector>

#include "os/sim/host_files.h"
#include "os/sim/paths.h"
#include "os/sim/win_errors.h"

namespace os::sim {
namespace {

bool HasFolder(std::string_view name) { return name.find_first_of("\\/:") != std::string_view::npos; }

bool HasExtension(std::string_view name) {
  size_t slash = name.find_last_of("\\/");
  std::string_view last = slash == std::string_view::npos ? name : name.substr(slash + 1);
  return last.find('.') != std::string_view::npos;
}

std::string Folder(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(0, slash);
}

// System32 as a 32-bit program with redirection sees it.
std::string Redirect(const Machine& m, const std::string& path, bool redirected) {
  if (!redirected || !m.wow64) return path;
  std::string sys32 = m.windir + "\\System32";
  if (path.size() >= sys32.size() && EqualNoCase(path.substr(0, sys32.size()), sys32) &&
      (path.size() == sys32.size() || path[sys32.size()] == '\\'))
    return m.windir + "\\SysWOW64" + path.substr(sys32.size());
  return path;
}

std::optional<FoundProgram> Try(const Machine& m, const std::string& windowsPath, bool redirected) {
  std::string seen = Redirect(m, windowsPath, redirected);
  auto host = ToHost(m, seen);
  if (!host || !HostIsFile(*host)) return std::nullopt;
  FoundProgram p;
  p.windowsPath = windowsPath;
  p.hostPath = *host;
  std::string lower = LowerAscii(windowsPath);
  p.batch = lower.size() > 4 && (lower.ends_with(".bat") || lower.ends_with(".cmd"));
  std::string sys32 = LowerAscii(m.windir + "\\system32\\");
  p.native = m.wow64 && seen == windowsPath && lower.rfind(sys32, 0) == 0;
  return p;
}

std::optional<FoundProgram> Search(const Machine& m, std::string name, bool redirected) {
  if (!HasExtension(name)) name += ".exe";
  if (HasFolder(name)) return Try(m, name, redirected);
  std::vector<std::string> folders = {Folder(m.program), m.windir + "\\System32", m.windir + "\\System", m.windir};
  auto path = m.env.find("PATH");
  if (path != m.env.end()) {
    std::string list = path->second;
    size_t i = 0;
    while (i <= list.size()) {
      size_t j = list.find(';', i);
      if (j == std::string::npos) j = list.size();
      if (j > i) folders.push_back(list.substr(i, j - i));
      i = j + 1;
    }
  }
  for (const std::string& f : folders)
    if (auto p = Try(m, f + "\\" + name, redirected)) return p;
  return std::nullopt;
}

}  // namespace

std::optional<FoundProgram> FindProgram(const Machine& machine, std::string_view commandLine, bool redirected,
                                        uint32_t* error) {
  *error = kErrorFileNotFound;
  std::string line(commandLine);
  size_t start = 0;
  while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
  if (start >= line.size()) return std::nullopt;
  if (line[start] == '"') {
    size_t close = line.find('"', start + 1);
    std::string name = line.substr(start + 1, close == std::string::npos ? std::string::npos : close - start - 1);
    auto p = Search(machine, name, redirected);
    if (p) *error = 0;
    return p;
  }
  // Unquoted: "C:\Program Files\x.exe a" tries "C:\Program.exe", then
  // "C:\Program Files\x.exe", and so on.
  size_t end = start;
  while (true) {
    end = line.find_first_of(" \t", end);
    std::string name = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (auto p = Search(machine, name, redirected)) {
      *error = 0;
      return p;
    }
    if (end == std::string::npos) return std::nullopt;
    while (end < line.size() && (line[end] == ' ' || line[end] == '\t')) ++end;
  }
}

std::optional<std::string> StandinName(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  std::string first;
  if (!in || !std::getline(in, first)) return std::nullopt;
  if (!first.empty() && first.back() == '\r') first.pop_back();
  if (first.rfind(kStandinMarker, 0) != 0) return std::nullopt;
  std::string name = first.substr(kStandinMarker.size());
  if (name.empty()) return std::nullopt;
  return name;
}

std::string MapArchiverArgument(const Machine& machine, const std::string& argument) {
  auto isPath = [](std::string_view s) {
    return s.size() >= 2 && s[1] == ':' && isalpha(static_cast<unsigned char>(s[0]));
  };
  // A drive that the machine does not have becomes a host path below a file,
  // where nothing can be read or made: 7-Zip fails as it would on Windows,
  // instead of taking "E:" for a folder in its current folder.
  auto map = [&](const std::string& path) { return ToHost(machine, path).value_or("/dev/null/" + path); };
  if (isPath(argument)) return map(argument);
  // Switches that carry a path: -o (output), -w (working folder), -ax/-ai
  // lists are not used by the system.
  if (argument.size() > 2 && argument[0] == '-' && (argument[1] == 'o' || argument[1] == 'w') &&
      isPath(std::string_view(argument).substr(2)))
    return argument.substr(0, 2) + map(argument.substr(2));
  return argument;
}

}  // namespace os::sim
