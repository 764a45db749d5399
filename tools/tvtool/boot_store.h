// The boot store of the simulated machine: the entries that bcdedit reads
// and changes, kept as text in <machine>/bcd.txt. A machine without the file
// has the store of a fresh Windows: the boot manager {bootmgr} and the
// running system {current}. The text form, one entry and its elements:
//
//   entry {ffffffff-3600-11de-8e71-fffffffffffe} osloader
//     description Tarnvale PE
//     winpe Yes
//
// Public: struct BootEntry, class BootStore, BootStorePath().
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tvtool {

struct BootEntry {
  std::string id;    // "{bootmgr}", "{current}" or a GUID in braces, lower case
  std::string type;  // "bootmgr", "osloader", "device"
  std::vector<std::pair<std::string, std::string>> elements;  // in the order they were set

  std::optional<std::string> Get(std::string_view name) const;
  void Set(const std::string& name, const std::string& value);
};

class BootStore {
 public:
  // The store of a fresh system whose Windows folder is on `systemDrive`.
  static BootStore Fresh(char systemDrive);
  // Reads the store; a missing file gives the fresh store. Nothing and
  // *error when the file is broken.
  static std::optional<BootStore> Load(const std::string& hostPath, char systemDrive, std::string* error);
  bool Save(const std::string& hostPath) const;
  std::string Text() const;

  BootEntry* Find(std::string_view id);
  const BootEntry* Find(std::string_view id) const;
  std::vector<BootEntry>& entries() { return entries_; }
  const std::vector<BootEntry>& entries() const { return entries_; }

 private:
  std::vector<BootEntry> entries_;
};

// <machine folder>/bcd.txt
std::string BootStorePath();

}  // namespace tvtool
