// Windows paths of the simulated machine, resolved to host paths.
//
// Names are matched without regard to case, as on Windows, so
// "C:\Windows\TEMP\x" and "c:\windows\temp\X" are one file. A component that
// does not exist yet keeps its spelling, so the result can be created. Short
// (8.3) names such as PROGRA~1 resolve on volumes that keep them.
//
// Public functions:
//   SplitWindowsPath()   drive letter and components of an absolute path
//   ToHost()             the host path of a Windows path
//   ShortNameOf()        the 8.3 name a folder entry has
//   EqualNoCase()        ASCII comparison without regard to case
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os/sim/machine.h"

namespace os::sim {

struct WindowsPath {
  char letter = 0;                      // upper case
  std::vector<std::string> components;  // without "." and ".."
};

// Accepts "E:", "E:\", "e:/a/b", "\\?\E:\a" and paths relative to the
// program's folder. Nothing for UNC and device paths.
std::optional<WindowsPath> SplitWindowsPath(const Machine& machine, std::string_view path);

// The host path, or nothing when the drive has no files behind it.
std::optional<std::string> ToHost(const Machine& machine, std::string_view path);

// Whether the volume of this letter keeps short names (not exFAT, not network).
bool KeepsShortNames(const Machine& machine, char letter);

// The short name of `name` among the names of its folder (sorted, as the
// folder lists them); the name itself when it already is a valid 8.3 name.
std::string ShortNameOf(const std::string& name, const std::vector<std::string>& folderNames);

// The entries of a host folder, sorted as Windows lists a folder, without
// the side file of attributes.
std::vector<std::string> SortedFolderNames(const std::string& hostFolder);
// The entry that a path component names: the same name, the name in other
// case, or (where short names are kept) the entry whose short name it is.
std::optional<std::string> FindEntry(const std::vector<std::string>& names, const std::string& component,
                                     bool shortNames);

bool EqualNoCase(std::string_view a, std::string_view b);
std::string LowerAscii(std::string_view s);
std::string UpperAscii(std::string_view s);

}  // namespace os::sim
