// The simulated Windows machine of the host build: its description, and the
// store that loads it from, and saves it to, the machine's folder.
//
// One folder on the host describes one machine. Its description file,
// machine.txt, lists the system settings, the drive letters, the disks with
// their partitions and the processes a test wants the system to see; the
// format is documented in docs/simulated-machine.md. Files of drives and
// partitions live in host folders named relative to the machine folder.
//
// Public: struct Machine (with Disk, Partition, UdArea, Drive, SimProcess),
//         ParseMachine(), FormatMachine(), LoadMachine(), SaveMachine(),
//         class MachineStore.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace os::sim {

constexpr uint32_t kSectorBytes = 512;

struct Partition {
  uint64_t start = 2048;  // first sector
  uint64_t sectors = 0;   // length in sectors
  uint8_t type = 0x0C;    // MBR partition type id
  bool active = false;
  bool hidden = false;
  std::string fileSystem;  // "FAT32", "NTFS", "exFAT", "" when not formatted
  std::string label;
  char letter = 0;         // drive letter, 0 when the volume has none
  std::string folder;      // host folder with the partition's files, relative to the machine
  std::string bootCode;    // boot sector code written to the volume ("" none, "nt60", ...)

  uint64_t Bytes() const { return sectors * kSectorBytes; }
};

// The UD boot area: a region in front of the first partition, not a partition.
struct UdArea {
  uint32_t sizeMB = 0;  // 0: the disk has no UD area
  std::string folder;   // host folder with the loaded UD package's content
};

struct Disk {
  int number = 0;
  int bus = 7;             // STORAGE_BUS_TYPE (7 = USB)
  bool removable = true;   // the descriptor's RemovableMedia
  std::string vendor, product, revision, serial;
  uint64_t sizeBytes = 0;  // true capacity
  // Geometry reported by IOCTL_DISK_GET_DRIVE_GEOMETRY.
  int64_t cylinders = 0;
  uint32_t heads = 255, sectorsPerTrack = 63, bytesPerSector = 512;
  bool media = true;          // false: a card reader without a card
  std::string geometryFault;  // "", "zero" (answers zeros) or "fail" (request fails)
  std::string numberFault;    // "" or "fail": the device-number request fails (some
                              // virtual and card-reader drivers do not answer it)
  char emptyLetter = 0;       // drive letter of the slot while there is no medium
  std::string descriptorHex;  // when set: the exact storage descriptor answer, in hex
  bool shortAnswerFails = false;  // a buffer smaller than the whole descriptor fails the query
  std::string mbrCode;        // boot code in the master boot record ("" none)
  UdArea ud;
  std::vector<Partition> partitions;  // in partition-table order; number = index + 1

  uint64_t Sectors() const { return sizeBytes / kSectorBytes; }
};

// A drive letter that is not a volume of a described disk.
struct Drive {
  enum class Kind { kFixed, kCdrom, kNetwork };
  char letter = 0;
  Kind kind = Kind::kFixed;
  std::string folder;           // host folder with the drive's files ("" none)
  std::string fileSystem = "NTFS";
  std::string label;
  uint64_t sizeBytes = 100ull << 30;
  // CD drives: the device as IOCTL_STORAGE_GET_DEVICE_NUMBER reports it.
  bool dvd = false;
  int deviceNumber = 0;
  int bus = 2;  // ATAPI
  std::string vendor, product;
};

struct SimProcess {
  uint32_t id = 0;
  std::string name;
  bool fullAccess = true;  // OpenProcess succeeds for any access; else only for the limited query right
};

// One disk put in the place of another: disk `disk` is pulled out and the
// spare disk takes its number and its drive letters (see os/sim/disk_swap.h).
// A planned swap happens once, as the outside command `after` ends
// ("<program>" or "<program>@<command>", named as fault switches name them).
struct DiskSwap {
  int disk = 0;
  int spare = 0;
  std::string after;
};

struct Machine {
  uint32_t windowsMajor = 10, windowsMinor = 0, windowsBuild = 19045;
  bool wow64 = true;              // a 64-bit system, with WOW64 redirection
  bool elevated = true;           // the program runs with administrator rights
  uint32_t locale = 1033;         // system default locale id
  uint32_t codePage = 1252;       // ANSI code page
  std::string windir = "C:\\Windows";
  std::string program = "C:\\Tarnvale\\Tarnvale.exe";  // the program's path on the machine
  double timeScale = 1.0;         // simulated milliseconds per real millisecond
  std::string captionFont = "Segoe UI";  // face name of the window-caption font
  std::vector<std::string> fonts;        // installed font faces
  std::string decimalSep = ".", groupSep = ",";
  std::string grouping = "3;0";   // digit groups from the right, as Windows writes them ("3;2;0")
  // The screen: dots per inch (twips per pixel = 1440 / dpi), the average
  // character width of the window font and the width of a scroll bar, in pixels.
  uint32_t dpi = 96, charWidth = 7, scrollBarWidth = 17;
  std::map<std::string, std::string> env;  // more environment variables
  std::vector<Drive> drives;
  std::vector<Disk> disks;
  std::vector<SimProcess> processes;
  std::vector<std::string> filesBeingWritten;  // held open for writing by another program
  std::map<std::string, std::string> faults;  // outside program -> fault switch
  std::vector<DiskSwap> swaps;                // planned disk swaps, in order

  Disk* FindDisk(int number);
  const Disk* FindDisk(int number) const;
};

// Text form <-> model. On a syntax error ParseMachine returns nothing and
// *error names the line and what is wrong with it.
std::optional<Machine> ParseMachine(std::string_view text, std::string* error);
std::string FormatMachine(const Machine& machine);

// Reads or writes <folder>/machine.txt. Saving writes a new file and renames
// it over the old one, so a reader never sees half a description.
std::optional<Machine> LoadMachine(const std::string& folder, std::string* error);
bool SaveMachine(const std::string& folder, const Machine& machine, std::string* error);

// The machine of this process, loaded again whenever its file changed (the
// stand-in programs change it from other processes).
class MachineStore {
 public:
  explicit MachineStore(std::string folder);
  const std::string& folder() const { return folder_; }
  // The current description; an empty machine when the file is missing or
  // broken (the reason goes to standard error once). A caller keeps the
  // pointer for the whole of one call, so a reload cannot pull it away.
  std::shared_ptr<const Machine> Get();
  // Locked read-modify-write of the description, for every writer.
  template <typename F>
  bool Update(F&& change, std::string* error = nullptr) {
    return UpdateWith([&](Machine& m) { change(m); }, error);
  }
  bool UpdateWith(const std::function<void(Machine&)>& change, std::string* error);

 private:
  std::string folder_;
  std::shared_ptr<const Machine> machine_;
  std::string stamp_;  // identity of the file last loaded
  std::string lastError_;
};

// Parses sizes such as "16G", "300M", "512K" or a plain number of `unit`s.
std::optional<uint64_t> ParseSize(std::string_view text, uint64_t unit);

}  // namespace os::sim
