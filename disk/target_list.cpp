#include "disk/target_list.h"

#include <vector>

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
#include "sys/run_log.h"
#include "sys/text.h"

namespace disk {
namespace {

constexpr os::Control kList = os::Control::kRDriver;

// The disk number of a GetDiskNumOfLetter text, as entries carry it.
std::optional<int> DiskNumber(const std::string& text) { return EntryDiskNumber("HD" + text + ":"); }

const char* DriveTypeName(uint32_t type) {
  switch (type) {
    case os::kDriveRemovable: return "a removable drive";
    case os::kDriveFixed: return "a fixed drive";
    case os::kDriveRemote: return "a network drive";
    case os::kDriveCdrom: return "a CD or DVD drive";
    case os::kDriveRamdisk: return "a RAM disk";
    default: return "a drive of unknown type";
  }
}

const char* BusName(int32_t bus) {
  switch (bus) {
    case 1: return "SCSI";
    case 2: return "ATAPI";
    case 3: return "ATA";
    case 4: return "IEEE 1394";
    case 5: return "SSA";
    case 6: return "Fibre Channel";
    case kBusTypeUsb: return "USB";
    case 8: return "RAID";
    case 9: return "iSCSI";
    case 10: return "SAS";
    case 11: return "SATA";
    case 12: return "SD";
    case 13: return "MMC";
    case 14: return "virtual";
    case 15: return "file-backed virtual";
    case 16: return "storage spaces";
    case 17: return "NVMe";
    default: return nullptr;
  }
}

// Why the volume does not qualify as a target; "" when it does. `type` is
// its drive type.
std::string LeftOutReason(const std::string& volume, uint32_t type, bool includeUsbHdd) {
  if (!includeUsbHdd) return type == os::kDriveRemovable ? "" : std::string("not removable: ") + DriveTypeName(type);
  if (type != os::kDriveFixed && type != os::kDriveRemovable) return std::string("not a disk: ") + DriveTypeName(type);
  if (sys::Val(GetBusType(volume)) != kBusTypeUsb) return "not on the USB bus (a system or internal disk)";
  return "";
}

// What an entry is and why a volume that qualifies gets none.
struct EntryFinding {
  std::optional<std::string> entry;
  std::string identity;  // for the log: number, bus, vendor, product, serial, size
  std::string why;       // for the log, when there is no entry
};

EntryFinding FindEntry(std::string_view letter) {
  EntryFinding found;
  std::string volume(letter);
  os::Device device = os::OpenDevice("\\\\.\\" + volume, 0, kDeviceShare);
  if (!device.IsOpen()) {
    found.why = "its device cannot be opened";
    return found;
  }
  DiskGeometry geometry = GetDriveGeometry(device);
  DeviceIdentity identity = GetDeviceIdentity(volume);
  std::string model = identity.vendorId + (identity.vendorId.empty() ? "" : " ") + identity.productId;
  // Under 1 MiB the size would read in KB: no real disk, or a reader
  // without a medium (zero geometry).
  if (DiskSizeBytes(geometry) < (uint64_t{1} << 20)) {
    found.why = "no medium, or a disk under 1 MB";
    return found;
  }
  std::string size = FormatDiskSize(geometry);
  // A volume that is not reported as part of a disk gives no number that a
  // reader of the entry could take.
  std::string number = GetDiskNumOfLetter(volume, false);
  if (!DiskNumber(number)) {
    found.why = "not reported as part of a disk";
    return found;
  }
  found.entry = MakeTargetEntry(number, model, size, volume);
  const char* bus = BusName(identity.busType);
  found.identity = "disk " + number + ", bus " + (bus ? bus : std::to_string(identity.busType)) + ", vendor \"" +
                   identity.vendorId + "\", product \"" + identity.productId + "\", serial \"" +
                   identity.serialNumber + "\", size " + std::to_string(DiskSizeBytes(geometry)) + " bytes";
  return found;
}

}  // namespace

std::string ListTargetLetters(bool includeUsbHdd) {
  std::string letters;
  for (char c = 'C'; c <= 'Z'; ++c) {
    std::string volume{c, ':'};
    if (LeftOutReason(volume, os::DriveType(volume), includeUsbHdd).empty()) letters += volume + ",";
  }
  return letters;
}

std::optional<std::string> TargetEntryOf(std::string_view letter) { return FindEntry(letter).entry; }

std::string TargetIdentityText(std::string_view letter) { return FindEntry(letter).identity; }

void AddTargetEntry(os::MainWindow& window, std::string_view letter) {
  if (std::optional<std::string> entry = TargetEntryOf(letter)) window.ListAdd(kList, *entry);
}

void RefreshTargetList(os::MainWindow& window, bool includeUsbHdd) {
  window.ListClear(kList);
  sys::Log(includeUsbHdd ? "target list rebuilt (USB sticks and USB hard disks):"
                         : "target list rebuilt (removable disks):");
  std::vector<std::string> identities;  // beside each entry
  // The disks of the running Windows and of the program's own files are
  // never offered.
  std::set<int> never = NeverTargetDisks();
  for (char c = 'C'; c <= 'Z'; ++c) {
    std::string letter{c, ':'};
    uint32_t type = os::DriveType(letter);
    if (type == os::kDriveUnknown || type == os::kDriveNoRootDir) continue;  // no volume
    std::string reason = LeftOutReason(letter, type, includeUsbHdd);
    if (!reason.empty()) {
      sys::Log("  left out " + letter + " " + reason);
      continue;
    }
    std::optional<int> number = DiskNumber(GetDiskNumOfLetter(letter, false));
    if (!number) {
      sys::Log("  left out " + letter + " not reported as part of a disk");
      continue;
    }
    if (never.count(*number)) {
      sys::Log("  left out " + letter + " on disk " + std::to_string(*number) +
               ", which holds Windows or the program's own files");
      continue;
    }
    bool joined = false;
    int count = window.ListCount(kList);
    for (int i = 0; i < count && !joined; ++i) {
      std::string entry = window.ListItem(kList, i);
      if (EntryDiskNumber(entry) != number) continue;
      window.ListSetItem(kList, i, AddEntryLetter(entry, letter));
      joined = true;
    }
    if (joined) continue;
    EntryFinding found = FindEntry(letter);
    if (!found.entry) {
      sys::Log("  left out " + letter + " " + found.why);
      continue;
    }
    window.ListAdd(kList, *found.entry);
    identities.push_back(found.identity);
  }
  int count = window.ListCount(kList);
  for (int i = 0; i < count; ++i)
    sys::Log("  entry " + window.ListItem(kList, i) + " - " + (i < static_cast<int>(identities.size()) ? identities[i] : ""));
  if (count == 0) sys::Log("  no entry");
  if (count > 0) window.SetListIndex(kList, 0);
}

}  // namespace disk
