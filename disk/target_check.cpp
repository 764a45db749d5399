#include "disk/target_check.h"

#include <optional>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/language.h"
#include "app/logged_message.h"
#include "disk/bus_type.h"
#include "disk/device_number.h"
#include "disk/device_requests.h"
#include "disk/disk_identity.h"
#include "disk/target_entry.h"
#include "disk/target_guard.h"
#include "disk/target_list.h"
#include "sys/log_records.h"
#include "os/files.h"
#include "os/main_window.h"
#include "sys/text.h"

namespace disk {
namespace {

using app::LangString;

constexpr int kNeverTargetText = 73;

bool Refuse(os::MainWindow& window, const std::string& text, int title, uint32_t style) {
  sys::LogCheck("target", false, text);
  app::ShowLoggedMessage(window, text, LangString(title), style);
  return false;
}

}  // namespace

bool GetDiskInfoTest(os::MainWindow& window) {
  constexpr os::Control kList = os::Control::kRDriver;
  // A refused choice leaves no disk that a later step could take for it.
  ForgetTarget();
  if (window.IsMenuChecked(kLimitUsbDiskMenuId) && window.ListCount(kList) > 1) {
    return Refuse(window, LangString(32) + "\n\n" + LangString(33) + "\n" + LangString(34), 35,
                  os::kMbIconExclamation);
  }
  os::CreateFolderPath(app::sTmpPath + "\\");

  std::string entry = window.ListText(kList);
  if (entry.empty()) return Refuse(window, LangString(36), 8, os::kMbIconInformation);

  app::iDiskNum = -2;
  app::sDataLetter.clear();
  app::sEfiLetter.clear();
  std::optional<int> number = EntryDiskNumber(entry);
  std::vector<std::string> letters = EntryLetters(entry);
  // Entries come from the list's own rebuild; one without a disk number or
  // a letter is no choice at all.
  if (!number || letters.empty()) return Refuse(window, LangString(36), 8, os::kMbIconInformation);

  const std::string& first = letters[0];
  app::sDataLetter = first;
  // When the disk's lowest letter belongs to its second or a later
  // partition, the next letter is the one written to.
  if (sys::Val(GetDiskNumOfLetter(first, true)) > 1 && letters.size() > 1) app::sDataLetter = letters[1];
  app::iDiskNum = static_cast<int16_t>(*number);

  if (sys::Val(GetBusType(first)) != kBusTypeUsb) {
    int text = os::PathExists(first) ? 37 : 38;
    return Refuse(window, first + LangString(text), 39, os::kMbIconStop);
  }
  // The list may be older than the disks, and the user confirms the work on
  // the entry's text: the disk behind the first letter must still be the one
  // the entry names (number, model and size), and the data letter must still
  // be on it.
  std::optional<std::string> now = TargetEntryOf(first);
  if (!now || EntryDiskPart(*now) != EntryDiskPart(entry))
    return Refuse(window, first + LangString(38), 39, os::kMbIconStop);
  if (GetDiskNumOfLetter(app::sDataLetter, false) != std::to_string(*number))
    return Refuse(window, app::sDataLetter + LangString(38), 39, os::kMbIconStop);
  // The disks of the running Windows and of the program's own files are
  // never wiped, whatever an older list offered.
  if (std::optional<std::string> why = WhyNeverTarget(*number, NeverTargetPaths()))
    return Refuse(window, first + LangString(kNeverTargetText) + "\r" + *why, 39, os::kMbIconStop);
  // What the later checks compare with: the disk as it is now, with the
  // entry the user is about to confirm.
  DiskIdentity identity = ReadDiskIdentity(*number);
  if (!identity.present) return Refuse(window, first + LangString(38), 39, os::kMbIconStop);
  RecordTarget(identity, entry);
  sys::LogCheck("target", true,
                "chosen " + entry + ", data letter " + app::sDataLetter + ", recorded " + DescribeDiskIdentity(identity));
  return true;
}

}  // namespace disk
