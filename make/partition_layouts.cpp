#include "make/partition_layouts.h"

#include "app/globals.h"
#include "app/language.h"
#include "disk/device_number.h"
#include "disk/drive_layout.h"
#include "disk/letters.h"
#include "disk/target_guard.h"
#include "disk/target_list.h"
#include "sys/partassist_commands.h"
#include "sys/pause_with_events.h"
#include "sys/run_diskpart.h"
#include "sys/shell_wait.h"
#include "sys/text.h"
#include "sys/ud_tool_commands.h"

namespace make {

// lDiskPart
constexpr char kDiskPart[] =
    "select disk %DiskID%\r\n"
    "clean\r\n"
    "convert mbr noerr\r\n"
    "\r\n"
    "rem == 1. EFI partition ======================\r\n"
    "create partition primary size=%ES% noerr\r\n"
    "format quick fs=fat32 label=\"EFI\" noerr\r\n"
    "assign letter=\"%EP%\" noerr\r\n"
    "active\r\n"
    "\r\n"
    "rem == 2. Data partition ========================\r\n"
    "create partition primary  noerr\r\n"
    "format quick fs=exfat label=\"%DL%\" noerr\r\n"
    "assign letter=\"%DP%\" noerr";
static_assert(sizeof kDiskPart - 1 == 371);

// lDPID1C
constexpr char kPartitionType[] =
    "select disk %DiskID%\r\n"
    "select part 1\r\n"
    "set id=1c override";

const std::string_view kDiskPartTemplate = kDiskPart;
const std::string_view kPartitionTypeTemplate = kPartitionType;

namespace {

// The first character of a text, or "" for an empty one.
std::string FirstChar(std::string_view text) { return text.empty() ? "" : std::string(1, text[0]); }

// Partition pass and steps of the layouts, each waiting for its program.
// Nothing more runs once the chosen disk has changed.
void Run(const std::string& commandLine) {
  if (disk::TargetStillChosen("before " + commandLine)) sys::ShellWait(commandLine, 0);
}

}  // namespace

std::string FillDiskPartScript(int disk, std::string_view freeLetter, std::string_view dataLetter,
                               std::string_view label, int32_t efiSizeMB) {
  std::string s(kDiskPartTemplate);
  s = sys::ReplaceAll(s, "%DiskID%", std::to_string(disk));
  s = sys::ReplaceAll(s, "%DP%", FirstChar(freeLetter));
  s = sys::ReplaceAll(s, "%EP%", FirstChar(dataLetter));
  s = sys::ReplaceAll(s, "%DL%", label);
  s = sys::ReplaceAll(s, "%ES%", std::to_string(efiSizeMB));
  return s;
}

std::string FillPartitionTypeScript(int disk) {
  return sys::ReplaceAll(std::string(kPartitionTypeTemplate), "%DiskID%", std::to_string(disk));
}

void DiskpartPass(const MakeRequest& r) {
  std::string script =
      FillDiskPartScript(app::iDiskNum, disk::GetFreeLetter(), app::sDataLetter, r.label, r.efiSizeMB);
  r.Status(24);
  if (!disk::TargetStillChosen("before the diskpart pass")) return;
  sys::RunDiskPart(script, "diskpart");
  DataLetterSearch("2");
}

void PartitionPass(const MakeRequest& r) {
  int n = app::iDiskNum;
  r.BreakPoint("5");
  Run(sys::PaUnhide(n, 1));
  Run(sys::PaUnhide(n, 0));
  r.BreakPoint("6");
  Run(sys::UdFormatRaw(n));
  r.BreakPoint("7");
  Run(sys::PaInit(n));
  r.BreakPoint("8");
  sys::PauseWithEvents(5000);
}

void DataLetterSearch(std::string_view partition) {
  std::vector<std::string> pieces = sys::Split(disk::ListTargetLetters(app::bMobileHardDisk), ",");
  // The piece after the last comma is empty and is not looked at.
  for (size_t i = 0; i + 1 < pieces.size(); ++i) {
    const std::string& letter = pieces[i];
    std::string diskNumber = disk::GetDiskNumOfLetter(letter, false);
    if (diskNumber.empty() || diskNumber != std::to_string(app::iDiskNum)) continue;
    if (disk::GetDiskNumOfLetter(letter, true) != partition) continue;
    if (letter != app::sDataLetter) {
      app::sDataLetter = letter;
      return;
    }
  }
}

bool CreateUdArea(const MakeRequest& r) {
  if (!VolumeOnTarget(app::sDataLetter)) return false;
  Run(sys::UdFormatWithArea(app::sDataLetter, r.udSizeMB));
  return true;
}

bool CreateEfiPartition(const MakeRequest& r) {
  if (!VolumeOnTarget(app::sDataLetter)) return false;
  Run(sys::PaResize(app::sDataLetter, r.efiSizeMB));
  Run(sys::PaCreateEfi(app::iDiskNum, r.layout == Layout::kDataUefi));
  return true;
}

void RunPartitionTypeScript() {
  if (disk::TargetStillChosen("before the partition-type script"))
    sys::RunDiskPart(FillPartitionTypeScript(app::iDiskNum), "diskpart");
}

}  // namespace make

namespace make {

bool OnePartitionAtLayoutPlace() {
  // The cylinder alignment of the partition tools: under 8 MB.
  constexpr uint64_t kSlack = 8 * disk::kMiB;
  auto layout = disk::ReadDriveLayout(app::iDiskNum);
  if (!layout || layout->partitions.size() != 1) return false;
  const disk::TablePartition& p = layout->partitions[0];
  if (p.startBytes > disk::kMiB + kSlack) return false;
  return p.EndBytes() <= layout->diskBytes && p.EndBytes() + kSlack >= layout->diskBytes;
}

}  // namespace make
