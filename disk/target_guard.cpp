#include "disk/target_guard.h"

#include "app/config.h"
#include "app/globals.h"
#include "app/language.h"
#include "app/logged_message.h"
#include "app/search_folders.h"
#include "disk/device_number.h"
#include "disk/target_list.h"
#include "os/main_window.h"
#include "os/files.h"
#include "os/system.h"
#include "sys/log_records.h"
#include "sys/text.h"

namespace disk {
namespace {

constexpr int kTargetLostText = 72;

struct Guard {
  DiskIdentity chosen;
  std::string entry;
  bool recorded = false;
  bool lost = false;
  std::string lastCheck;
};

Guard& State() {
  static Guard guard;
  return guard;
}

// "E:" for a path on a drive letter; "" for any other path.
std::string LetterOf(std::string_view path) {
  if (path.size() < 2 || path[1] != ':') return "";
  char c = path[0];
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c < 'A' || c > 'Z') return "";
  return std::string{c, ':'};
}

std::optional<int> DiskOfPath(std::string_view path) {
  std::string letter = LetterOf(path);
  if (letter.empty()) return std::nullopt;
  std::string number = GetDiskNumOfLetter(letter, false);
  if (number.empty()) return std::nullopt;
  return static_cast<int>(sys::Val(number));
}

}  // namespace

void RecordTarget(const DiskIdentity& identity, std::string_view entry) {
  Guard& g = State();
  g = Guard{};
  g.chosen = identity;
  g.entry = std::string(entry);
  g.recorded = identity.present;
}

void ForgetTarget() { State() = Guard{}; }

const DiskIdentity& RecordedTarget() { return State().chosen; }

namespace {

bool CheckTarget(std::string_view where) {
  Guard& g = State();
  std::string at(where);
  if (!g.recorded) {
    g.lastCheck = at + ": no disk was chosen";
    g.lost = true;
    return false;
  }
  if (g.lost) {
    g.lastCheck = at + ": not checked, " + DescribeDiskIdentity(g.chosen) + " changed earlier";
    return false;
  }
  DiskIdentity now = ReadDiskIdentity(app::iDiskNum);
  if (SameDisk(g.chosen, now)) {
    g.lastCheck = at + ": " + DescribeDiskIdentity(now) + " is the chosen disk";
    return true;
  }
  g.lost = true;
  g.lastCheck = at + ": the chosen " + DescribeDiskIdentity(g.chosen) + " is now " + DescribeDiskIdentity(now);
  return false;
}

}  // namespace

// Every identity check goes into the log with what it compared.
bool TargetStillChosen(std::string_view where) {
  bool same = CheckTarget(where);
  sys::LogCheck("identity", same, State().lastCheck);
  return same;
}

bool LetterOnTarget(std::string_view letter, std::string_view where) {
  if (letter.size() != 2 || letter[1] != ':') return false;
  if (!TargetStillChosen(where)) return false;
  Guard& g = State();
  if (GetDiskNumOfLetter(letter, false) == std::to_string(g.chosen.number)) return true;
  g.lastCheck = std::string(where) + ": " + std::string(letter) + " is not on the chosen " +
                DescribeDiskIdentity(g.chosen);
  sys::LogCheck("letter", false, g.lastCheck);
  return false;
}

bool TargetLost() { return State().lost; }

std::string TargetLostMessage() {
  const Guard& g = State();
  std::string name = g.entry.empty() ? DescribeDiskIdentity(g.chosen) : g.entry;
  return name + "\r\r" + app::LangString(kTargetLostText);
}

void ReportTargetLost(os::MainWindow& window) {
  app::ShowLoggedMessage(window, TargetLostMessage(), app::LangString(10), os::kMbOk | os::kMbIconStop);
  RefreshTargetList(window, app::bMobileHardDisk);
  window.SetListIndex(os::Control::kRDriver, -1);
}

std::string DescribeLastCheck() { return State().lastCheck; }

std::vector<std::string> NeverTargetPaths() {
  std::vector<std::string> paths = {os::WindowsFolder(), app::ProgramFolder(), app::sCfgPath,
                                    app::sIsoFile,       app::sFbaFile,        app::s7zFile};
  for (const std::string& folder : app::SearchFolders())
    if (os::PathExists(folder)) paths.push_back(folder);
  return paths;
}

std::optional<std::string> WhyNeverTarget(int number, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    std::optional<int> disk = DiskOfPath(path);
    if (disk && *disk == number) return path;
  }
  return std::nullopt;
}

std::set<int> NeverTargetDisks() {
  std::set<std::string> letters;
  for (const std::string& path : NeverTargetPaths())
    if (std::string l = LetterOf(path); !l.empty()) letters.insert(l);
  std::set<int> disks;
  for (const std::string& letter : letters)
    if (std::optional<int> d = DiskOfPath(letter)) disks.insert(*d);
  return disks;
}

}  // namespace disk
