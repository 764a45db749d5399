#include "ui/combo_sizing.h"

#include "sys/text.h"

namespace ui {

void SetComboHeight(os::MainWindow& window, os::Control list, int heightTwips) {
  int h = heightTwips;
  if (h == 0) h = window.ControlHeight(os::Control::kUReFresh) * window.TwipsPerPixelY();
  int t = window.TwipsPerPixelX();
  if (t <= 0) return;
  // The field is the button's height less the frame of the list.
  window.SetListFieldHeight(list, static_cast<int>(sys::RoundHalfEven(static_cast<double>(h) / t - 8)));
}

void SetComboWidth(os::MainWindow& window, os::Control list) {
  int count = window.ListCount(list);
  int longest = 0;
  size_t longestLength = 0;
  for (int i = 0; i < count; ++i) {
    size_t length = sys::CountChars(window.ListItem(list, i));
    if (length > longestLength) {
      longestLength = length;
      longest = i;
    }
  }
  int width = window.TextWidth(list, window.ListItem(list, longest));
  if (count > 8) width += window.ScrollBarWidth();
  window.SetListDroppedWidth(list, width + 21);
}

}  // namespace ui
