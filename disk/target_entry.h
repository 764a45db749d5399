// One line of the target list: how it is built and how it is read back.
//
//   "HD" + disk number + ": " + model + " (" + size + ", " + letters + ")"
//
// with the letters as "E:" items joined by ";", for example
// "HD1: Generic Flash Disk (28.89 GB, E:;F:)". Every reader takes the whole
// number between "HD" and the first ":", and the letters from the piece
// after the first ", ". The model and the size are cleaned so that neither
// can move those pieces.
//
// Public functions:
//   CleanModelText()      a device text made safe for an entry
//   MakeTargetEntry()     the entry of a disk with its first letter
//   AddEntryLetter()      the entry with one more letter
//   EntryDiskNumber()     the disk number, when the entry carries a usable one
//   EntryDiskPart()       the piece before the first ", ": number, model, size
//   EntryLettersPiece()   the piece after the first ", " ("E:;F:)")
//   EntryLetters()        the letters of that piece, in order
//   FindTargetEntry()     the first entry of the list for a disk number
//   SelectTargetEntry()   selects it, when there is one
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace os {
class MainWindow;
}

namespace disk {

// The largest disk number the program can carry (it is kept in 16 bits).
constexpr int kMaxDiskNumber = 32767;

// Commas, semicolons, parentheses and control characters become blanks;
// runs of blanks become one, and blanks at the ends go.
std::string CleanModelText(std::string_view text);

// diskNumber is the decimal text of GetDiskNumOfLetter.
std::string MakeTargetEntry(std::string_view diskNumber, std::string_view model, std::string_view size,
                            std::string_view letter);
std::string AddEntryLetter(std::string_view entry, std::string_view letter);

// Nothing when the entry does not begin with "HD", digits and ":", or the
// number is above kMaxDiskNumber.
std::optional<int> EntryDiskNumber(std::string_view entry);
// "HD1: Generic Flash Disk (28.89 GB": what the entry says about the disk.
std::string EntryDiskPart(std::string_view entry);
// "" when the entry has no ", ".
std::string EntryLettersPiece(std::string_view entry);
// Only items of the form letter + ":" are returned.
std::vector<std::string> EntryLetters(std::string_view entry);

// -1 when no entry of the target list belongs to the disk.
int FindTargetEntry(const os::MainWindow& window, int diskNumber);
// Leaves the selection alone when no entry belongs to the disk.
void SelectTargetEntry(os::MainWindow& window, int diskNumber);

}  // namespace disk
