// What the disk tools of the simulated machine share: finding disks and
// volumes, free drive letters, free space, partition types, the host folders
// behind partitions, and the messages and fault switches of a stand-in.
// Every change goes through one locked update of the machine description
// (EditMachine), so two tools never lose each other's work.
//
// Public: kSectorsPerMB, struct Extent, struct Stop, EditMachine(),
//         DiskOfNumber(), FindLetterVolume(), DiskOrder(), PartitionAt(),
//         LetterInUse(), FreeLetter(), FirstUsableSector(), FreeExtents(),
//         AlignUp(), InsertPartition(), RemoveAllPartitions(),
//         NewPartitionFolder(), NewUdFolder(), WipeFolder(), CanonicalFileSystem(),
//         IsFatFamily(), StoredLabel(), TypeForFileSystem(), HiddenType(), VisibleType(),
//         HidePartition(), FormatPartition(), EnsureFolder(), FolderBytes(), CopyTree(),
//         ParseDriveLetter(), SizeText(), GiveLetterAway(), Fail(), class FaultPlay.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os/sim/faults.h"
#include "os/sim/machine.h"

namespace tvtool {

using os::sim::Disk;
using os::sim::Machine;
using os::sim::Partition;

constexpr uint64_t kSectorsPerMB = 2048;  // 1 MB of 512-byte sectors, the alignment unit

// A failure of a tool: the message it prints and its exit code.
struct Stop {
  std::string message;
  int code = 1;
};

// Runs `change` under the machine's lock. When it returns a Stop, the
// description is left as it was (`change` checks before it touches files).
std::optional<Stop> EditMachine(const std::function<std::optional<Stop>(Machine&)>& change);

// A disk with a medium; nothing when the machine has no such disk.
Disk* DiskOfNumber(Machine& m, int number);

struct LetterVolume {
  Disk* disk = nullptr;
  size_t index = 0;  // into disk->partitions
  Partition& partition() const { return disk->partitions[index]; }
};
// The visible partition that carries the letter.
std::optional<LetterVolume> FindLetterVolume(Machine& m, char letter);

// Indexes into disk.partitions in the order the partitions lie on the disk.
std::vector<size_t> DiskOrder(const Disk& disk);
// The i-th partition in disk order (counted from 0), or nullptr.
Partition* PartitionAt(Disk& disk, int i);

// Whether any drive, partition or empty card slot has the letter.
bool LetterInUse(const Machine& m, char letter);
// The first letter from `from` to Z that nothing uses; 0 when none is free.
char FreeLetter(const Machine& m, char from = 'D');

struct Extent {
  uint64_t start = 0;    // first sector
  uint64_t sectors = 0;  // length
};
// The first sector a partition may use: after the first MB, or after the UD area.
uint64_t FirstUsableSector(const Disk& disk);
// Unpartitioned stretches of at least 1 MB, in disk order, aligned to 1 MB.
std::vector<Extent> FreeExtents(const Disk& disk);
uint64_t AlignUp(uint64_t sector);

// Adds a partition, keeping disk order; false past four primary partitions.
bool InsertPartition(Disk& disk, Partition p);
// Deletes every partition with its files, and the UD area.
void RemoveAllPartitions(Disk& disk);

// A new, empty host folder for a partition or the UD area of a disk, named
// relative to the machine folder.
std::string NewPartitionFolder(const Machine& m, int diskNumber);
std::string NewUdFolder(int diskNumber);
// Empties a host folder named relative to the machine folder (made when missing).
void WipeFolder(const std::string& relative);

// "NTFS", "FAT32", "exFAT" or "FAT" for a file-system name in any case
// ("FAT16" reads as FAT); nothing for a name the tools do not know.
std::optional<std::string> CanonicalFileSystem(std::string_view name);
bool IsFatFamily(std::string_view fileSystem);
// A label as the file system keeps it: FAT upper case, 11 characters; exFAT
// 11; NTFS 32.
std::string StoredLabel(const std::string& fileSystem, std::string_view label);
// The MBR type id a formatted partition gets.
uint8_t TypeForFileSystem(const std::string& fileSystem);
uint8_t HiddenType(uint8_t type);
uint8_t VisibleType(uint8_t type);
// Hides a partition: hidden type id, no drive letter.
void HidePartition(Partition& p);
// A fresh file system: no files, no label, no boot code, a matching type id.
void FormatPartition(const Machine& m, int diskNumber, Partition& p, const std::string& fileSystem,
                     std::string_view label);
// The host folder of a partition's files, given one first when it has none.
std::string EnsureFolder(const Machine& m, int diskNumber, Partition& p);

// Bytes of the files under a host folder.
uint64_t FolderBytes(const std::string& hostFolder);
// Copies the content of one host folder into another, replacing files of the
// same name; `limit` > 0 copies only that many files (in name order).
bool CopyTree(const std::string& from, const std::string& to, std::string* why, size_t limit = 0);
// Host files under a folder, relative to it, in name order.
std::vector<std::string> FilesUnder(const std::string& hostFolder);

// "E", "e:", "E:" or "E:\" -> 'E'; 0 when it is not a drive letter.
char ParseDriveLetter(std::string_view text);

// A size as the partition tool shows it: "300.00 MB" below 1 GB, "28.65 GB" above.
std::string SizeText(uint64_t bytes);

// The letter of a repartitioned disk going to another disk: the first visible,
// formatted volume without a letter on any other disk gets it (as a stick
// plugged in meanwhile would). Nothing happens without such a volume.
void GiveLetterAway(Machine& m, int fromDisk, char letter);

// Prints "<tool>: <message>" to standard error and returns the code.
int Fail(std::string_view tool, const Stop& stop);

// The fault switch of one run of a stand-in. Exit() tells whether the tool
// ends before its work, and with which code.
class FaultPlay {
 public:
  // "unplug" pulls the machine's USB disks out right here, as the program
  // starts its work; "slow" waits a second before the work.
  FaultPlay(std::string_view program, std::string_view command);
  // As the program ends, the disk swaps planned for this command are made
  // (os/sim/disk_swap.h).
  ~FaultPlay();
  FaultPlay(const FaultPlay&) = delete;
  FaultPlay& operator=(const FaultPlay&) = delete;
  // "exit-early" ends the program with code 1 at once; "no-output" lets it
  // end with 0 having done nothing; "unplug" ends it with code 1, its disk
  // being gone; "hang" waits to be ended (ten minutes at most, then code 1).
  std::optional<int> Exit() const;
  bool Partial() const { return kind_ == "partial"; }
  // "give-letter": the disk that the program repartitions does not keep its
  // letter; Windows gives it to another disk's volume (GiveLetterAway).
  bool GivesLetterAway() const { return kind_ == "give-letter"; }

 private:
  std::string kind_;
  std::string program_, command_;
};

}  // namespace tvtool
