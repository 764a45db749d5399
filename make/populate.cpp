#include "make/populate.h"

#include "app/config.h"
#include "app/globals.h"
#include "disk/check_disk_layout.h"
#include "disk/device_number.h"
#include "disk/target_guard.h"
#include "disk/letter_at_place.h"
#include "disk/target_list.h"
#include "os/drives.h"
#include "os/files.h"
#include "sys/archiver_commands.h"
#include "sys/disk_tool_commands.h"
#include "sys/kill_path.h"
#include "sys/partassist_commands.h"
#include "sys/shell_wait.h"
#include "sys/text.h"
#include "sys/ud_tool_commands.h"

namespace make {
namespace {

// Nothing more runs once the chosen disk has changed.
void Run(const std::string& commandLine) {
  if (disk::TargetStillChosen("before " + commandLine)) sys::ShellWait(commandLine, 0);
}

std::string Staging() { return app::sTmpPath + "\\EFI"; }

// One pass of the EFI letter search: the volume at the EFI partition's place
// on the target disk, when it is FAT32 or FAT and labelled exactly "EFI". A
// volume elsewhere is never taken, whatever its label says: it may be the
// user's data partition.
void FindEfiLetter(const MakeRequest& r) {
  std::string letter = disk::LetterAtPlace(app::iDiskNum, r.EfiIndex() + 1, app::bMobileHardDisk);
  if (letter.empty()) return;
  std::string fileSystem = disk::GetVolumeText(letter, true);
  if (fileSystem != "FAT32" && fileSystem != "FAT") return;
  if (disk::GetVolumeText(letter, false) != "EFI") return;
  app::sEfiLetter = letter;
}

}  // namespace

bool UdClear() {
  if (!VolumeOnTarget(app::sDataLetter)) return false;
  Run(sys::UdClear(app::sDataLetter));
  return true;
}

bool UdLoad() {
  if (!VolumeOnTarget(app::sDataLetter)) return false;
  Run(sys::UdLoad(app::sDataLetter, app::sFbaFile));
  return true;
}

void UnhideEfi(const MakeRequest& r) { Run(sys::PaUnhide(app::iDiskNum, r.EfiIndex())); }

void EarlyWhide() {
  Run(sys::PaWriteHidden(app::iDiskNum, 1));
  Run(sys::PaWriteHidden(app::iDiskNum, 1));
}

void EfiLetterSearch(const MakeRequest& r) {
  bool assigned = false;
  while (true) {
    r.BreakPoint("22");
    FindEfiLetter(r);
    r.BreakPoint("23");
    if (!app::sEfiLetter.empty() || assigned) return;
    Run(sys::PaSetLetterAuto(app::iDiskNum, r.EfiIndex()));
    assigned = true;
  }
}

bool FormatEfi() {
  if (!VolumeOnTarget(app::sEfiLetter)) return false;
  Run(sys::FormatCommand(app::sEfiLetter, "FAT32"));
  if (!VolumeOnTarget(app::sEfiLetter)) return false;
  os::SetLabel(app::sEfiLetter, "EFI");
  return true;
}

void UnpackPe() {
  // The unpack keeps files that are there (-aos): whatever an earlier make
  // left in the staging folder goes first, so only this image's files go on.
  RemoveStaging();
  Run(sys::UnpackImageCommand(app::sIsoFile));
}

bool FindDataLetter(const MakeRequest& r) {
  std::string letter = disk::LetterAtPlace(app::iDiskNum, r.DataIndex() + 1, app::bMobileHardDisk);
  if (letter.empty()) return false;
  app::sDataLetter = letter;
  return true;
}

bool InstallBootCode(const MakeRequest& r) {
  r.BreakPoint("251");
  if (os::PathExists(Staging() + "\\grldr")) {
    r.BreakPoint("252");
    Run(sys::LoaderInstallCommand(app::iDiskNum));
  } else if (os::PathExists(Staging() + "\\bootmgr")) {
    r.BreakPoint("253");
    if (app::sEfiLetter.size() == 2) {
      if (!VolumeOnTarget(app::sEfiLetter)) return false;
      Run(sys::BootSectorCommand(app::sEfiLetter));
      r.BreakPoint("254");
    }
    r.BreakPoint("254");
  }
  return true;
}

void WriteEfi(const MakeRequest& r) {
  Run(sys::PaWriteHidden(app::iDiskNum, r.EfiIndex(), Staging()));
  if (r.layout != Layout::kUefiData && app::ReadCfg("EFIHide", app::CfgSection::kOption) == "1")
    Run(sys::PaHide(app::iDiskNum, 1));
}

void DataLetterBack() { Run(sys::PaSetLetter(app::iDiskNum, 0, app::sDataLetter)); }

bool FormatData(const MakeRequest& r, int fileSystemIndex) {
  static const char* const kFileSystems[] = {"NTFS", "FAT32", "exFAT"};
  if (!VolumeOnTarget(app::sDataLetter)) return false;
  if (fileSystemIndex >= 0 && fileSystemIndex < 3) Run(sys::FormatCommand(app::sDataLetter, kFileSystems[fileSystemIndex]));
  return SetDataLabel(r);
}

bool SetDataLabel(const MakeRequest& r) {
  if (!VolumeOnTarget(app::sDataLetter)) return false;
  os::SetLabel(app::sDataLetter, r.label);
  return true;
}

void RemoveStaging() { sys::KillPath(Staging()); }

bool UnpackData() {
  if (!VolumeOnTarget(app::sDataLetter)) return false;
  Run(sys::UnpackDataCommand(app::s7zFile, app::sDataLetter));
  return true;
}

void ClosingWhide() { Run(sys::PaWriteHidden(app::iDiskNum, 1)); }

}  // namespace make
