#include "disk/target_list.h"

#include "disk/bus_type.h"
#include "disk/device_identity.h"
#include "disk/device_number.h"
#include "disk/device_requests.h"
#include "disk/disk_size.h"
#include "disk/target_entry.h"
#include "disk/target_guard.h"
#include "os/device.h"
#include "os/drives.h"
#include "os/main_window.h"
#include "sys/text.h"

namespace disk {
namespace {

constexpr os::Control kList = os::Control::kRDriver;

// The disk number of a GetDiskNumOfLetter text, as entries carry it.
std::optional<int> DiskNumber(const std::string& text) { return EntryDiskNumber("HD" + text + ":"); }

}  // namespace

std::string ListTargetLetters(bool includeUsbHdd) {
  std::string letters;
  for (char c = 'C'; c <= 'Z'; ++c) {
    std::string volume{c, ':'};
    uint32_t type = os::DriveType(volume);
    bool qualifies = false;
    if (includeUsbHdd) {
      qualifies = (type == os::kDriveFixed || type == os::kDriveRemovable) &&
                  sys::Val(GetBusType(volume)) == kBusTypeUsb;
    } else {
      qualifies = type == os::kDriveRemovable;
    }
    if (qualifies) letters += volume + ",";
  }
  return letters;
}

std::optional<std::string> TargetEntryOf(std::string_view letter) {
  std::string volume(letter);
  os::Device device = os::OpenDevice("\\\\.\\" + volume, 0, kDeviceShare);
  if (!device.IsOpen()) return std::nullopt;
  DiskGeometry geometry = GetDriveGeometry(device);
  DeviceIdentity identity = GetDeviceIdentity(volume);
  std::string model = identity.vendorId + (identity.vendorId.empty() ? "" : " ") + identity.productId;
  // Under 1 MiB the size would read in KB: no real disk, or a reader
  // without a medium (zero geometry).
  if (DiskSizeBytes(geometry) < (uint64_t{1} << 20)) return std::nullopt;
  std::string size = FormatDiskSize(geometry);
  // A volume that is not reported as part of a disk gives no number that a
  // reader of the entry could take.
  std::string number = GetDiskNumOfLetter(volume, false);
  if (!DiskNumber(number)) return std::nullopt;
  return MakeTargetEntry(number, model, size, volume);
}

void AddTargetEntry(os::MainWindow& window, std::string_view letter) {
  if (std::optional<std::string> entry = TargetEntryOf(letter)) window.ListAdd(kList, *entry);
}

void RefreshTargetList(os::MainWindow& window, bool includeUsbHdd) {
  window.ListClear(kList);
  // The disks of the running Windows and of the program's own files are
  // never offered.
  std::set<int> never = NeverTargetDisks();
  for (const std::string& letter : sys::Split(ListTargetLetters(includeUsbHdd), ",")) {
    if (letter.empty()) continue;  // after the last comma
    std::optional<int> number = DiskNumber(GetDiskNumOfLetter(letter, false));
    if (!number || never.count(*number)) continue;
    bool joined = false;
    int count = window.ListCount(kList);
    for (int i = 0; i < count && !joined; ++i) {
      std::string entry = window.ListItem(kList, i);
      if (EntryDiskNumber(entry) != number) continue;
      window.ListSetItem(kList, i, AddEntryLetter(entry, letter));
      joined = true;
    }
    if (!joined) AddTargetEntry(window, letter);
  }
  if (window.ListCount(kList) > 0) window.SetListIndex(kList, 0);
}

}  // namespace disk
