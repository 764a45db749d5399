// Private-profile calls of the simulated machine: the file is read afresh on
// every call and written back whole through a rename, in the machine's ANSI
// code page. Every write is also recorded in <machine>/profile.log, so that
// tests can see the values a key took, in order.
#include "os/profile.h"

#include <fstream>
#include <sstream>

#include "os/ansi.h"
#include "os/sim/paths.h"
#include "os/sim/profile_text.h"
#include "os/sim/sim.h"
#include "os/sim/host_files.h"

namespace os {
namespace {

// A bare name (no folder, no drive) means a file in the Windows folder.
std::string FullName(const sim::Machine& m, std::string_view file) {
  std::string f(file);
  if (f.find_first_of("\\/:") == std::string::npos) return m.windir + "\\" + f;
  return f;
}

// Where an ANSI value must be cut to fit `room` bytes without splitting a
// double-byte character.
size_t CutPoint(std::string_view ansi, size_t room, unsigned codePage) {
  if (ansi.size() <= room) return ansi.size();
  bool dbcs = codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
  if (!dbcs) return room;
  size_t i = 0;
  while (i < room) {
    size_t len = static_cast<unsigned char>(ansi[i]) >= 0x81 ? 2 : 1;
    if (i + len > room) break;
    i += len;
  }
  return i;
}

// One line per write call, in UTF-8: file, [section], key=value. A missing
// value deletes the key, a missing key the section.
void LogWrite(std::string_view file, std::string_view section, const std::optional<std::string>& key,
              const std::optional<std::string>& value) {
  std::ofstream log(sim::MachineFolder() + "/profile.log", std::ios::app);
  log << file << "\t[" << section << "]\t";
  if (!key) log << "(section deleted)";
  else if (!value) log << *key << " (deleted)";
  else log << *key << "=" << *value;
  log << "\n";
}

}  // namespace

uint32_t ProfileRead(std::string_view section, std::string_view key, std::string_view defaultValue,
                     uint32_t bufferSize, std::string_view file, std::string& value) {
  auto machine = sim::Current();
  if (bufferSize == 0) return 0;
  std::string ansi;
  // The default loses its trailing blanks.
  std::string_view def = defaultValue;
  while (!def.empty() && def.back() == ' ') def.remove_suffix(1);
  ansi = ToAnsi(def);
  if (!file.empty()) {
    auto host = sim::ToHost(*machine, FullName(*machine, file));
    std::string content;
    if (host && sim::ReadHostFile(*host, content)) {
      auto decode = [](std::string_view b) { return FromAnsi(b); };
      if (auto found = sim::ProfileLookup(content, ToAnsi(section), ToAnsi(key), decode)) ansi = *found;
    }
  }
  size_t cut = CutPoint(ansi, bufferSize - 1, machine->codePage);
  ansi.resize(cut);
  value = FromAnsi(ansi);
  return static_cast<uint32_t>(cut);
}

bool ProfileWrite(std::string_view section, const std::optional<std::string>& key,
                  const std::optional<std::string>& value, std::string_view file) {
  auto machine = sim::Current();
  if (file.empty()) return false;  // ERROR_ACCESS_DENIED on Windows
  LogWrite(file, section, key, value);
  auto host = sim::ToHost(*machine, FullName(*machine, file));
  if (!host) return false;
  std::string content;
  bool existed = sim::ReadHostFile(*host, content);
  if (!existed && !value) return true;  // nothing to delete
  auto decode = [](std::string_view b) { return FromAnsi(b); };
  std::optional<std::string> ansiKey, ansiValue;
  if (key) ansiKey = ToAnsi(*key);
  if (value) ansiValue = ToAnsi(*value);
  std::string updated = sim::ProfileEdit(content, ToAnsi(section), ansiKey, ansiValue, decode);
  if (existed && updated == content) return true;
  return sim::WriteHostFileAtomically(*host, updated);
}

}  // namespace os
