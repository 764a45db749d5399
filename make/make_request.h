// One make request: the layout and make mode read from the chosen layout
// entry, the partition sizes and the volume label from the configuration,
// and what the make's steps share while they run (the window, the step
// marker, the check that a drive letter still names a volume of the
// target disk).
//
// Public: enum class Layout, LayoutOf(), EntryNamesMode(), SizeSetting(),
//         LabelSetting(), struct MakeRequest, ReadMakeRequest(),
//         VolumeOnTarget().
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/form1.h"

namespace make {

enum class Layout { kUdDataUefi, kDataUefi, kUefiData };

// "UD+DATA+UEFI" when the entry names it, "UEFI+DATA" when it names that,
// otherwise "DATA+UEFI".
Layout LayoutOf(std::string_view entry);
// The layout's name as the layout list and the partition list show it.
const char* LayoutName(Layout layout);

// Language strings that name the make modes in the layout entries.
constexpr int kNewMakeMode = 64;
constexpr int kUpdateMode = 5;
constexpr int kDiskpartMode = 67;

// Whether the entry names the mode of this language string. A mode text that
// is empty (a language file without it) names no mode: an empty text would
// be found in every entry.
bool EntryNamesMode(std::string_view entry, int modeString);

// A size in MB from the configuration: Val of the text, to the nearest
// integer with halves to the even one, when Val is greater than `above`;
// otherwise, and when the value does not fit 32 bits, the fallback.
int32_t SizeSetting(std::string_view text, double above, int32_t fallback);

// The data partition's volume label: the text, or "Tarnvale" when it is empty.
std::string LabelSetting(std::string_view text);

struct MakeRequest {
  app::Form1& form;
  os::MainWindow& window;
  std::string entry;  // the chosen layout entry
  Layout layout = Layout::kDataUefi;
  bool newMake = false, update = false, diskpart = false;
  int32_t udSizeMB = 300;
  int32_t efiSizeMB = 1032;
  std::string label = "Tarnvale";

  // The step marker BreakPoint in the configuration file.
  void BreakPoint(std::string_view step) const;
  // The status line: language string n.
  void Status(int n) const;
  // The partition tool's index of the EFI and of the data partition.
  int EfiIndex() const { return layout == Layout::kUefiData ? 0 : 1; }
  int DataIndex() const { return layout == Layout::kUefiData ? 1 : 0; }
};

// The layout and mode of the chosen entry, with the sizes and the label
// (keys UDSize, EFISize and Label of section Option).
MakeRequest ReadMakeRequest(app::Form1& form);

// Whether the letter ("E:") names a volume that lies on the chosen disk, and
// that disk is still the one chosen (disk::LetterOnTarget). Every step that
// writes through a drive letter asks first: after a repartition the letter
// may have gone to another disk's volume, and the disk may have been
// replaced by another one with its number.
bool VolumeOnTarget(std::string_view letter);

}  // namespace make
