// Sizing the drop-down lists of the main window.
#include <gtest/gtest.h>

#include "ui/combo_sizing.h"
#include "ui/window_model.h"

namespace {

using os::Control;

TEST(ComboSizing, FieldAsTallAsTheRefreshButtonLessTheFrame) {
  ui::WindowModel w;  // a 25-pixel button at 15 twips a pixel: 375 twips
  ui::SetComboHeight(w, Control::kRDriver, 0);
  EXPECT_EQ(17, w.ListFieldHeight(Control::kRDriver));
  ui::SetComboHeight(w, Control::kFsys, 300);
  EXPECT_EQ(12, w.ListFieldHeight(Control::kFsys));
}

TEST(ComboSizing, OpenedWidthFitsTheLongestEntry) {
  ui::WindowModel w;
  w.SetMetrics(15, 7, 17);
  w.ListAdd(Control::kRDriver, "HD1: Stick (14.90 GB, E:)");
  w.ListAdd(Control::kRDriver, "HD10: A Longer Model Name (28.89 GB, F:;G:)");
  ui::SetComboWidth(w, Control::kRDriver);
  EXPECT_EQ(43 * 7 + 21, w.ListDroppedWidth(Control::kRDriver));
}

TEST(ComboSizing, NineEntriesAddAScrollBar) {
  ui::WindowModel eight, nine;
  for (int i = 0; i < 9; ++i) {
    if (i < 8) eight.ListAdd(Control::kRDriver, "HD" + std::to_string(i) + ": Stick");
    nine.ListAdd(Control::kRDriver, "HD" + std::to_string(i) + ": Stick");
  }
  ui::SetComboWidth(eight, Control::kRDriver);
  ui::SetComboWidth(nine, Control::kRDriver);
  EXPECT_EQ(eight.ListDroppedWidth(Control::kRDriver) + nine.ScrollBarWidth(), nine.ListDroppedWidth(Control::kRDriver));
}

TEST(ComboSizing, AnEmptyListOpensAtTheSmallestWidth) {
  ui::WindowModel w;
  ui::SetComboWidth(w, Control::kRDriver);
  EXPECT_EQ(21, w.ListDroppedWidth(Control::kRDriver));
}

}  // namespace
