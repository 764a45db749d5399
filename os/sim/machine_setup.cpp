#include "os/sim/machine_setup.h"

#include <filesystem>
#include <fstream>

#include "os/sim/programs.h"

namespace os::sim {

Machine BasicMachine() {
  Machine m;
  Drive c;
  c.letter = 'C';
  c.kind = Drive::Kind::kFixed;
  c.folder = "drives/C";
  c.fileSystem = "NTFS";
  c.label = "System";
  c.sizeBytes = 100ull << 30;
  m.drives.push_back(c);
  m.fonts = {"Segoe UI", "Tahoma", "MS Sans Serif", "Microsoft YaHei UI", "SimSun", "Microsoft JhengHei UI"};
  return m;
}

bool InstallStandin(const std::string& hostPath, const std::string& standin) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(hostPath).parent_path(), ec);
  std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
  out << kStandinMarker << standin << "\r\n";
  return out.good();
}

bool CreateMachine(const std::string& folder, const Machine& machine, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  for (const Drive& d : machine.drives)
    if (!d.folder.empty()) std::filesystem::create_directories(folder + "/" + d.folder, ec);
  if (!SaveMachine(folder, machine, error)) return false;

  // The Windows folder, on the drive of windir.
  std::string windir = machine.windir;
  std::string driveFolder;
  for (const Drive& d : machine.drives)
    if (windir.size() >= 2 && toupper(windir[0]) == d.letter && !d.folder.empty()) driveFolder = folder + "/" + d.folder;
  if (driveFolder.empty()) return true;  // a machine without a Windows drive
  std::string win = driveFolder;
  for (size_t i = 3; i <= windir.size(); ++i) {
    if (i == windir.size() || windir[i] == '\\') {
      size_t start = windir.rfind('\\', i - 1);
      win += "/" + windir.substr(start + 1, i - start - 1);
    }
  }
  std::filesystem::create_directories(win + "/Temp", ec);
  // Native (64-bit) system programs in System32; the 32-bit command
  // interpreter in SysWOW64, as on a 64-bit Windows.
  bool ok = InstallStandin(win + "/System32/cmd.exe", "cmd") && InstallStandin(win + "/System32/diskpart.exe", "diskpart") &&
            InstallStandin(win + "/System32/format.com", "format") && InstallStandin(win + "/System32/bcdedit.exe", "bcdedit");
  if (machine.wow64) ok = ok && InstallStandin(win + "/SysWOW64/cmd.exe", "cmd");
  if (!ok && error) *error = "cannot write the system programs into " + win;
  return ok;
}

}  // namespace os::sim
