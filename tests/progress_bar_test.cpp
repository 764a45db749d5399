// The progress bar control on either build: the messages its properties
// send to the bar window (as the bar window receives them), what the bar
// window then shows, the rebuild of the bar window, and its size.
#include <gtest/gtest.h>

#include <memory>

#include "os/progress_bar_window.h"
#include "tests/support/bar_spy.h"
#include "tests/support/platform.h"
#include "ui/progress_bar.h"

namespace {

using Lines = std::vector<std::string>;

class ProgressBarTest : public ::testing::Test {
 protected:
  ProgressBarTest()
      : container(os::CreateProgressBarWindow(0, 0, 0, 0, 200, 18)), spy(*container),
        bar(std::make_unique<ui::ProgressBar>(*container)) {}

  // What the bar window shows.
  intptr_t Pos() { return container->SendToBar(os::kPbmGetPos, 0, 0); }
  intptr_t Low() { return container->SendToBar(os::kPbmGetRange, 1, 0); }
  intptr_t High() { return container->SendToBar(os::kPbmGetRange, 0, 0); }
  // The state the bar window shows, where the platform tells it: Wine's bar
  // answers 1 (normal) to every PBM_GETSTATE.
  bool StateShown(intptr_t expected) {
    return !test::HostBuild() || container->SendToBar(os::kPbmGetState, 0, 0) == expected;
  }
  uint32_t Styles() { return container->BarStyle() & 0xFFFF000Fu; }

  std::unique_ptr<os::ProgressBarWindow> container;
  test::BarSpy spy;
  std::unique_ptr<ui::ProgressBar> bar;
};

TEST_F(ProgressBarTest, ANewBarIsMadeWithTheDefaultsAndFillsItsContainer) {
  EXPECT_FALSE(bar->HasBarWindow());
  bar->Create();
  EXPECT_EQ((Lines{"create 50000000 200x18", "SETRANGE32 0 100", "SETPOS 0 0"}), spy.Take());
  ASSERT_TRUE(bar->HasBarWindow());
  EXPECT_EQ(container->Handle(), bar->hWnd());
  EXPECT_EQ(0x50000000u, Styles());
  EXPECT_EQ(0, Low());
  EXPECT_EQ(100, High());
  EXPECT_EQ(0, Pos());
  os::BarRect r = container->BarBounds();
  EXPECT_EQ(0, r.x);
  EXPECT_EQ(0, r.y);
  EXPECT_EQ(200, r.width);
  EXPECT_EQ(18, r.height);
  EXPECT_EQ(100, bar->Max());
  EXPECT_EQ(1, bar->State());
  EXPECT_FALSE(bar->Marquee());
}

TEST_F(ProgressBarTest, RangeAndPositionWritesBeforeTheBarWindowAreIgnored) {
  bar->SetValue(40);
  bar->SetMax(50);
  bar->SetMin(10);
  EXPECT_TRUE(spy.Take().empty());
  EXPECT_EQ(0, bar->Value());
  EXPECT_EQ(100, bar->Max());
  EXPECT_EQ(0, bar->Min());
  bar->Create();
  spy.Take();
  EXPECT_EQ(100, High());
  EXPECT_EQ(0, Pos());
}

TEST_F(ProgressBarTest, ValueMinAndMaxSendTheirMessages) {
  bar->Create();
  spy.Take();
  bar->SetMax(200);
  bar->SetMin(10);
  bar->SetValue(42);
  EXPECT_EQ((Lines{"SETRANGE32 0 200", "SETRANGE32 10 200", "SETPOS 42 0"}), spy.Take());
  EXPECT_EQ(10, Low());
  EXPECT_EQ(200, High());
  EXPECT_EQ(42, Pos());
  EXPECT_EQ(42, bar->Value());
}

TEST_F(ProgressBarTest, AValueOutsideTheRangeIsKeptAndShownClipped) {
  bar->Create();
  bar->SetValue(150);
  EXPECT_EQ(150, bar->Value());
  EXPECT_EQ(100, Pos());
  bar->SetValue(-5);
  EXPECT_EQ(-5, bar->Value());
  EXPECT_EQ(0, Pos());
}

TEST_F(ProgressBarTest, StylesRebuildTheBarWindowWithRangeAndPosition) {
  bar->Create();
  bar->SetMax(50);
  bar->SetValue(30);
  spy.Take();
  bar->SetOrientation(1);
  EXPECT_EQ((Lines{"destroy", "create 50000004 200x18", "SETRANGE32 0 50", "SETPOS 30 0"}), spy.Take());
  EXPECT_EQ(0x50000004u, Styles());
  bar->SetSmooth(true);
  EXPECT_EQ((Lines{"destroy", "create 50000005 200x18", "SETRANGE32 0 50", "SETPOS 30 0"}), spy.Take());
  // Any orientation other than 1 is horizontal.
  bar->SetOrientation(2);
  EXPECT_EQ((Lines{"destroy", "create 50000001 200x18", "SETRANGE32 0 50", "SETPOS 30 0"}), spy.Take());
  EXPECT_EQ(0x50000001u, Styles());
  EXPECT_EQ(50, High());
  EXPECT_EQ(30, Pos());
}

TEST_F(ProgressBarTest, MarqueeOnAndOffRebuildsTwiceAndKeepsRangeAndPosition) {
  bar->Create();
  bar->SetMin(5);
  bar->SetValue(60);
  bar->SetVelocity(40);  // no marquee yet: nothing is sent
  spy.Take();
  bar->SetMarquee(true);
  EXPECT_EQ((Lines{"destroy", "create 50000008 200x18", "SETRANGE32 5 100", "SETPOS 60 0", "SETMARQUEE 1 40"}),
            spy.Take());
  EXPECT_EQ(0x50000008u, Styles());
  bar->SetMarquee(false);
  EXPECT_EQ((Lines{"destroy", "create 50000000 200x18", "SETRANGE32 5 100", "SETPOS 60 0"}), spy.Take());
  EXPECT_EQ(5, Low());
  EXPECT_EQ(100, High());
  EXPECT_EQ(60, Pos());
  EXPECT_EQ(60, bar->Value());
}

TEST_F(ProgressBarTest, VelocityRetimesARunningMarqueeAndZeroStopsIt) {
  bar->Create();
  bar->SetMarquee(true);
  spy.Take();
  bar->SetVelocity(50);
  bar->SetVelocity(0);
  EXPECT_EQ((Lines{"SETMARQUEE 50 50", "SETMARQUEE 0 0"}), spy.Take());
  EXPECT_EQ(0, bar->Velocity());
  EXPECT_TRUE(bar->Marquee());
}

TEST_F(ProgressBarTest, StatesSetTheirColours) {
  bar->Create();
  spy.Take();
  bar->SetState(2);
  EXPECT_EQ((Lines{"SETSTATE 2 0", "SETBARCOLOR 0 ff"}), spy.Take());
  EXPECT_TRUE(StateShown(2));
  EXPECT_EQ(static_cast<intptr_t>(os::kClrRed), container->SendToBar(os::kPbmGetBarColor, 0, 0));
  bar->SetState(3);
  EXPECT_EQ((Lines{"SETSTATE 3 0", "SETBARCOLOR 0 ffff"}), spy.Take());
  EXPECT_TRUE(StateShown(3));
  bar->SetState(1);
  EXPECT_EQ((Lines{"SETSTATE 1 0", "SETBARCOLOR 0 ff000000"}), spy.Take());
  EXPECT_TRUE(StateShown(1));
  // Any other state is passed on without a colour, and kept.
  bar->SetState(5);
  EXPECT_EQ((Lines{"SETSTATE 5 0"}), spy.Take());
  EXPECT_EQ(5, bar->State());
}

TEST_F(ProgressBarTest, ARebuiltBarShowsTheNormalStateAgain) {
  bar->Create();
  bar->SetState(2);
  ASSERT_TRUE(StateShown(2));
  bar->SetSmooth(true);
  EXPECT_TRUE(StateShown(1));
  EXPECT_EQ(2, bar->State());
  // The bar window's colour is the default one again.
  EXPECT_EQ(static_cast<intptr_t>(os::kClrDefault), container->SendToBar(os::kPbmGetBarColor, 0, 0));
}

TEST_F(ProgressBarTest, TheBarFollowsTheSizeOfItsContainer) {
  bar->Create();
  container->Place(10, 20, 320, 24);
  os::BarRect r = container->BarBounds();
  EXPECT_EQ(0, r.x);
  EXPECT_EQ(0, r.y);
  EXPECT_EQ(320, r.width);
  EXPECT_EQ(24, r.height);
  // A rebuild takes the new size.
  spy.Take();
  bar->SetSmooth(true);
  EXPECT_EQ("create 50000001 320x24", spy.Take().at(1));
}

TEST_F(ProgressBarTest, TheControlTakesItsBarWindowAlong) {
  bar->Create();
  spy.Take();
  bar.reset();
  EXPECT_EQ(Lines{"destroy"}, spy.Take());
  EXPECT_FALSE(container->HasBar());
  // The container lives on without it.
  container->Place(0, 0, 100, 10);
}

}  // namespace
