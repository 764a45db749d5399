#include "disk/target_entry.h"

#include "os/main_window.h"
#include "sys/text.h"

namespace disk {

std::string CleanModelText(std::string_view text) {
  std::string out;
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    bool blank = c == ' ' || c == ',' || c == ';' || c == '(' || c == ')' || u < 0x20 || u == 0x7F;
    if (blank) {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::string MakeTargetEntry(std::string_view diskNumber, std::string_view model, std::string_view size,
                            std::string_view letter) {
  // The size is our own text, but its separators come from the user's
  // regional settings: a grouping sign of ", " must not open a new piece.
  std::string safeSize = sys::ReplaceAll(std::string(size), ", ", ",");
  return "HD" + std::string(diskNumber) + ": " + CleanModelText(model) + " (" + safeSize + ", " +
         std::string(letter) + ")";
}

std::string AddEntryLetter(std::string_view entry, std::string_view letter) {
  if (!entry.empty()) entry.remove_suffix(1);  // the closing ")"
  return std::string(entry) + ";" + std::string(letter) + ")";
}

std::optional<int> EntryDiskNumber(std::string_view entry) {
  if (entry.substr(0, 2) != "HD") return std::nullopt;
  size_t colon = entry.find(':');
  if (colon == std::string_view::npos || colon == 2) return std::nullopt;
  int number = 0;
  for (size_t i = 2; i < colon; ++i) {
    char c = entry[i];
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
    if (number > kMaxDiskNumber) return std::nullopt;
  }
  return number;
}

std::string EntryDiskPart(std::string_view entry) { return sys::Split(entry, ", ")[0]; }

std::string EntryLettersPiece(std::string_view entry) {
  std::vector<std::string> pieces = sys::Split(entry, ", ");
  return pieces.size() >= 2 ? pieces[1] : "";
}

std::vector<std::string> EntryLetters(std::string_view entry) {
  std::string piece = EntryLettersPiece(entry);
  if (!piece.empty() && piece.back() == ')') piece.pop_back();
  std::vector<std::string> letters;
  for (const std::string& item : sys::Split(piece, ";")) {
    bool isLetter = item.size() == 2 && item[1] == ':' &&
                    ((item[0] >= 'A' && item[0] <= 'Z') || (item[0] >= 'a' && item[0] <= 'z'));
    if (isLetter) letters.push_back(item);
  }
  return letters;
}

int FindTargetEntry(const os::MainWindow& window, int diskNumber) {
  int count = window.ListCount(os::Control::kRDriver);
  for (int i = 0; i < count; ++i) {
    if (EntryDiskNumber(window.ListItem(os::Control::kRDriver, i)) == diskNumber) return i;
  }
  return -1;
}

void SelectTargetEntry(os::MainWindow& window, int diskNumber) {
  int index = FindTargetEntry(window, diskNumber);
  if (index >= 0) window.SetListIndex(os::Control::kRDriver, index);
}

}  // namespace disk
