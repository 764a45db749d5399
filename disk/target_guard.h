// The guard of the chosen disk: the only place that decides whether the disk
// an operation is about to write to is still the one the user chose, and
// which disks are never a target at all. Every operation calls it and says
// only where it stands ("after the confirmation", "before the partition
// pass"); how the check is made is this module's business.
//
// Public functions:
//   RecordTarget()          the chosen disk's identity and entry, at the target check
//   ForgetTarget()          nothing is chosen (a refused check)
//   RecordedTarget()        the identity recorded
//   TargetStillChosen()     disk app::iDiskNum is still the recorded disk
//   LetterOnTarget()        a letter's volume lies on the recorded disk
//   TargetLost()            a check of this operation found the disk changed or gone
//   TargetLostMessage()     what the user is told then
//   ReportTargetLost()      tells the user, and shows the disks as they are now
//   DescribeLastCheck()     the last check's outcome in plain words
//   NeverTargetDisks()      the disks that hold Windows, the program and its files
//   WhyNeverTarget()        the path that makes a disk one of them
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "disk/disk_identity.h"

namespace os {
class MainWindow;
}

namespace disk {

// A new choice: the checks that follow compare against `identity`. `entry`
// is the target list's text the user confirmed; the message names it.
void RecordTarget(const DiskIdentity& identity, std::string_view entry);
void ForgetTarget();
const DiskIdentity& RecordedTarget();

// Reads the identity of disk app::iDiskNum again and compares it with the
// recorded one. False when it differs, the disk is gone, no disk was
// recorded, or an earlier check of this choice failed: once the disk has
// changed nothing more is written, even if the first disk comes back.
bool TargetStillChosen(std::string_view where);

// The letter ("E:") names a volume of disk app::iDiskNum, and that disk is
// still the recorded one (TargetStillChosen).
bool LetterOnTarget(std::string_view letter, std::string_view where);

bool TargetLost();

// The entry that was chosen, then language string 72.
std::string TargetLostMessage();

// What every operation does once the disk has changed, after its own
// clean-up: the message (TargetLostMessage) and the target list rebuilt
// with no entry chosen, so that the disk that now has the number is not
// offered as if it were the one confirmed.
void ReportTargetLost(os::MainWindow& window);

// "after the confirmation: disk 1 (USB, ...) is the chosen disk", or how it
// differed; "" before the first check.
std::string DescribeLastCheck();

// The disk numbers of the volumes that hold the running Windows (its
// folder as the system gives it), the program's folder, the folders where
// the configuration file and the PE package are looked for, the
// configuration file and the packages found.
std::set<int> NeverTargetDisks();

// The first of those paths that lies on disk `number`; nothing when the disk
// may be a target. `paths` are the paths to look at (NeverTargetPaths()).
std::optional<std::string> WhyNeverTarget(int number, const std::vector<std::string>& paths);
std::vector<std::string> NeverTargetPaths();

}  // namespace disk
