// ProgressBar1 and the taskbar button on the host console: the bar drawn
// as it changes, the marquee's moving mark, the taskbar calls, and the
// console's checks of them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/config.h"
#include "app/form1.h"
#include "app/globals.h"
#include "os/sim/console.h"
#include "os/sim/sim.h"
#include "os/sim/taskbar.h"
#include "tests/support/sim_machine.h"
#include "ui/console/console_window.h"
#include "ui/console/render.h"
#include "ui/progress_bar.h"

namespace {

class ProgressConsole : public ::testing::Test {
 protected:
  ProgressConsole() : m([](os::sim::Machine& mm) { mm.timeScale = 100; }) {}

  void SetUp() override {
    app::sCfgPath.clear();
    os::sim::ClearTaskbarCalls();
    m.WriteFile("C:\\Tarnvale\\Tarnvale.cfg", "[Option]\r\nTitle=Progress Test\r\nTaskbarProgress=1\r\n");
  }
  void TearDown() override { app::sCfgPath.clear(); }

  // Runs the console on a script; `prepare` sets the window up before it is shown.
  int Run(const std::string& lines, const std::function<void(app::Form1&)>& prepare) {
    std::istringstream script(lines);
    os::sim::ConsoleOptions options{&script, -1, &output, false};
    app::Form1 form([&](os::MainWindowEvents& events) { return ui::console::CreateConsoleWindow(events, options); });
    EXPECT_TRUE(form.Load());
    form.window().SetTimerEnabled(os::TimerId::kTimer1, false);
    form.window().SetTimerInterval(os::TimerId::kTimer1, 3000);
    prepare(form);
    form.window().Show();
    int status = ui::console::RunConsoleWindow();
    form.OnUnload();
    return status;
  }
  size_t Find(const std::string& text, size_t from = 0) { return output.str().find(text, from); }

  test::SimMachine m;
  std::ostringstream output;
};

TEST_F(ProgressConsole, TheBarAndTheTaskbarAreShownAsTheyChange) {
  int status = Run(
      "wait 30000\n"
      "expect progress 99\n"
      "expect marquee off\n"
      "expect taskbar 99\n"
      "taskbar\n",
      [](app::Form1& form) {
        // The creep of a make's last phase.
        form.window().SetProgressValue(97);
        form.window().SetTimerEnabled(os::TimerId::kTimer1, true);
      });
  EXPECT_EQ(0, status) << output.str();
  // The window shows the bar at 97; then each step is printed with its
  // taskbar call.
  EXPECT_NE(std::string::npos, Find("[###################.] 97%")) << output.str();
  size_t at98 = Find("  [###################.] 98%\n");
  size_t call98 = Find("  taskbar: value 98 of 100\n");
  size_t at99 = Find("  [###################.] 99%\n");
  EXPECT_NE(std::string::npos, at98) << output.str();
  EXPECT_NE(std::string::npos, call98);
  EXPECT_NE(std::string::npos, at99);
  EXPECT_LT(at98, at99);
  // The "taskbar" command lists the calls again, in order.
  size_t list = Find("taskbar: value 99 of 100\n", at99);
  ASSERT_NE(std::string::npos, list);
  EXPECT_NE(std::string::npos, Find("taskbar: value 98 of 100\n  taskbar: value 99 of 100\n", call98 + 1));
  // The simulated taskbar kept them for other programs to read as well.
  std::ifstream log(m.Folder() + "/taskbar.log");
  std::stringstream logged;
  logged << log.rdbuf();
  EXPECT_EQ("value 98 100\nvalue 99 100\n", logged.str());
}

TEST_F(ProgressConsole, AMarqueeShowsAsBusy) {
  int status = Run(
      "show\n"
      "expect marquee on\n"
      "expect taskbar busy\n",
      [](app::Form1& form) {
        form.window().SetProgressMarquee(true);
        form.TaskbarState(1);
      });
  EXPECT_EQ(0, status) << output.str();
  EXPECT_NE(std::string::npos, Find("<=>")) << output.str();
  EXPECT_NE(std::string::npos, Find("] busy"));
}

TEST(ProgressRender, TheMarqueeMarkMovesWithTheTimeAndStopsWithItsAnimation) {
  auto container = os::CreateProgressBarWindow(0, 0, 0, 0, 200, 18);
  const auto& shown = static_cast<const os::sim::SimProgressBarWindow&>(*container);
  ui::ProgressBar bar(*container);
  bar.Create();
  bar.SetMarquee(true);
  // At the default speed the mark moves one place every 200 ms.
  EXPECT_EQ("[<=>                 ] busy", ui::console::RenderProgress(shown, 0));
  EXPECT_EQ("[ <=>                ] busy", ui::console::RenderProgress(shown, 200));
  EXPECT_EQ("[     <=>            ] busy", ui::console::RenderProgress(shown, 1000));
  // Twice the interval, half the speed.
  bar.SetVelocity(60);
  EXPECT_EQ("[  <=>               ] busy", ui::console::RenderProgress(shown, 1000));
  bar.SetVelocity(0);
  EXPECT_EQ("[                    ] stopped", ui::console::RenderProgress(shown, 1000));
  // A value: the part of the range, filled.
  bar.SetMarquee(false);
  bar.SetMin(50);
  bar.SetValue(75);
  EXPECT_EQ("[##########..........] 50%", ui::console::RenderProgress(shown, 0));
  bar.SetState(2);
  EXPECT_EQ("[##########..........] 50% (error)", ui::console::RenderProgress(shown, 0));
}

TEST_F(ProgressConsole, FailedProgressChecksEndTheRunWithStatusOne) {
  int status = Run(
      "expect progress 50\n"
      "expect marquee on\n"
      "expect taskbar none\n"
      "expect taskbar 40\n",
      [](app::Form1& form) {
        form.window().SetProgressValue(40);
        form.TaskbarValue();
      });
  EXPECT_EQ(1, status);
  EXPECT_NE(std::string::npos, Find("! expected progress 50, but it is: 40")) << output.str();
  EXPECT_NE(std::string::npos, Find("! expected marquee on, but it is: off"));
  EXPECT_NE(std::string::npos, Find("! expected taskbar none, but it is: 40"));
  EXPECT_EQ(std::string::npos, Find("! expected taskbar 40"));
}

}  // namespace
