// The two progress timers of the main window (TimerProg and Timer1) and the
// taskbar button's progress, on a simulated machine with a USB stick whose
// data partition is E: and EFI partition F:. Ticks are given one by one, or
// run on the simulated clock.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/config.h"
#include "app/form1.h"
#include "app/globals.h"
#include "app/language.h"
#include "os/sim/event_loop.h"
#include "os/sim/sim.h"
#include "os/sim/taskbar.h"
#include "sys/pause_with_events.h"
#include "sys/text.h"
#include "tests/support/disk_machines.h"
#include "tests/support/make_machines.h"
#include "tests/support/sim_machine.h"
#include "ui/window_model.h"

namespace {

using os::TimerId;
using Calls = std::vector<std::string>;

// The main window, watched: every value written to the bar, and how deeply
// writes were nested. A test may make each write, or each percentage of a
// plug-in copy, handle events for a while, as a slow repaint would.
class Window : public ui::WindowModel {
 public:
  std::vector<int32_t> written;
  int depth = 0, deepest = 0;
  std::function<void()> duringWrite;
  std::function<void()> duringCopyPercent;

  void SetProgressValue(int32_t value) override {
    deepest = std::max(deepest, ++depth);
    ui::WindowModel::SetProgressValue(value);
    written.push_back(value);
    if (duringWrite) duringWrite();
    --depth;
  }
  void SetCaption(os::Control control, std::string_view text) override {
    ui::WindowModel::SetCaption(control, text);
    if (control == os::Control::kLProgress && !text.empty() && duringCopyPercent) duringCopyPercent();
  }
};

class ProgressTimers : public ::testing::Test {
 protected:
  ProgressTimers()
      : m([](os::sim::Machine& mm) {
          test::AddUsbStick(mm, 1, "EF");
          mm.timeScale = 1000;
        }) {}

  void SetUp() override {
    app::sCfgPath.clear();
    app::sTmpPath.clear();
    app::LangStrings.fill("");
    app::iProgCeiling = 0;
    app::sDataLetter = "E:";
    app::sEfiLetter = "F:";
    app::sIsoFile = "C:\\Tarnvale\\PE\\pe.iso";
    app::s7zFile = "C:\\Tarnvale\\PE\\data.7z";
    os::sim::ClearTaskbarCalls();
    m.WriteFile("C:\\Tarnvale\\Tarnvale.cfg", "[Option]\r\nTaskbarProgress=1\r\n");
  }
  void TearDown() override {
    os::sim::EventLoop::Get().KillTimer(kTimer1Key);
    os::sim::EventLoop::Get().KillTimer(kTimerProgKey);
    if (form) form->OnUnload();
    app::sCfgPath.clear();
  }

  void Start() {
    form = std::make_unique<app::Form1>([this](os::MainWindowEvents&) {
      auto w = std::make_unique<Window>();
      window = w.get();
      return w;
    });
    ASSERT_TRUE(form->Load());
    window->SetTimerEnabled(TimerId::kTimer1, false);
    window->SetTimerInterval(TimerId::kTimer1, 3000);
    window->written.clear();
  }

  // The window's timers run on the simulated clock from now on.
  void RunTimersOnTheClock() {
    window->SetTimerChanged([this](TimerId t) {
      int key = t == TimerId::kTimer1 ? kTimer1Key : kTimerProgKey;
      if (window->TimerEnabled(t))
        os::sim::EventLoop::Get().SetTimer(key, window->TimerInterval(t), [this, t] {
          ++ticks;
          form->OnTimer(t);
        });
      else
        os::sim::EventLoop::Get().KillTimer(key);
    });
  }

  // The used space of a volume ("E"), in MB, as one sparse file.
  void Used(char letter, int mb) {
    std::string host = m.Host(std::string(1, letter) + ":\\fill.bin");
    std::ofstream(host, std::ios::app).close();
    std::filesystem::resize_file(host, static_cast<uintmax_t>(mb) << 20);
  }
  void Package(const std::string& path, int mb) {
    m.WriteFile(path, "");
    std::filesystem::resize_file(m.Host(path), static_cast<uintmax_t>(mb) << 20);
  }

  int32_t Tick() {
    form->OnTimer(TimerId::kTimerProg);
    return window->ProgressValue();
  }
  int32_t Creep() {
    form->OnTimer(TimerId::kTimer1);
    return window->ProgressValue();
  }
  // A phase as the make procedure begins it: the bar's value and ceiling.
  void Phase(int32_t value, int16_t ceiling) {
    window->SetProgressValue(value);
    app::iProgCeiling = ceiling;
    os::sim::ClearTaskbarCalls();
  }
  Calls Taskbar() {
    Calls calls;
    for (const auto& c : os::sim::TaskbarCalls()) calls.push_back(os::sim::TaskbarCallText(c));
    return calls;
  }

  static constexpr int kTimer1Key = 801, kTimerProgKey = 802;
  int ticks = 0;  // ticks of the timers on the clock
  test::SimMachine m;
  std::unique_ptr<app::Form1> form;
  Window* window = nullptr;
};

// --- TimerProg ---------------------------------------------------------------------

TEST_F(ProgressTimers, StepsOfOneUpToTheCeilingEachMirroredOnTheTaskbar) {
  Start();
  Phase(0, 5);
  for (int32_t expected : {1, 2, 3, 4, 5, 5}) EXPECT_EQ(expected, Tick());
  // The tick at the ceiling does nothing, not even on the taskbar.
  EXPECT_EQ((Calls{"value 1 100", "value 2 100", "value 3 100", "value 4 100", "value 5 100"}), Taskbar());
  Phase(5, 10);
  for (int32_t expected : {6, 7, 8, 9, 10, 10}) EXPECT_EQ(expected, Tick());
  Phase(10, 25);
  for (int i = 0; i < 20; ++i) Tick();
  EXPECT_EQ(25, window->ProgressValue());
}

TEST_F(ProgressTimers, ThePeImagePhaseEstimatesFromTheSpaceWrittenToTheEfiPartition) {
  Package(app::sIsoFile, 1000);
  Start();
  Phase(25, 90);
  // Unpacking into the staging folder writes nothing to F: yet.
  EXPECT_EQ(25, Tick());
  EXPECT_EQ(Calls{"value 25 100"}, Taskbar());
  Used('F', 100);
  EXPECT_EQ(32, Tick());  // 25 + 65 x 100 / 1000 = 31.5, to the even 32
  Used('F', 500);
  EXPECT_EQ(58, Tick());  // 57.5 to 58
  Used('F', 300);         // less than before: the bar does not go back
  EXPECT_EQ(58, Tick());
}

TEST_F(ProgressTimers, WithoutAnEfiLetterThePeImagePhaseMeasuresTheDataPartition) {
  Package(app::sIsoFile, 1000);
  Start();
  for (const char* efi : {"", "F", "F:\\"}) {
    app::sEfiLetter = efi;
    Used('E', 0);
    Used('F', 0);
    Phase(25, 90);
    Tick();
    Used('F', 800);
    EXPECT_EQ(25, Tick()) << efi;
    Used('E', 200);
    EXPECT_EQ(38, Tick()) << efi;  // 25 + 13
    form->window().SetProgressValue(0);  // the make ends
  }
}

TEST_F(ProgressTimers, DataAlreadyOnTheDataPartitionDoesNotMakeTheBarJump) {
  // An update: the data partition holds 2 GB before the 1 GB data package
  // is unpacked onto it.
  Package(app::s7zFile, 1024);
  Used('E', 2048);
  Start();
  Phase(90, 100);
  EXPECT_EQ(90, Tick());
  Used('E', 2048 + 512);
  EXPECT_EQ(95, Tick());
  Used('E', 2048 + 1024);
  EXPECT_EQ(100, Tick());
  Used('E', 2048 + 1500);
  EXPECT_EQ(100, Tick());
  // The status line tells at most 100%.
  app::LangStrings[30] = "Progress:";
  window->SetCaption(os::Control::kStatus, "Unpacking the data package...");
  form->OnClick(os::Control::kStatus);
  ASSERT_FALSE(window->Messages().empty());
  EXPECT_EQ("Progress:100%", window->Messages().back().text);
}

TEST_F(ProgressTimers, TheEstimateNeverPassesThePhaseCeiling) {
  // A package under half a megabyte counts as 1 MB: the first megabyte
  // written runs the estimate far ahead.
  Package(app::sIsoFile, 0);
  Start();
  Phase(30, 90);
  Tick();
  Used('F', 1);
  EXPECT_EQ(90, Tick());
  EXPECT_EQ((Calls{"value 30 100", "value 90 100"}), Taskbar());
  Used('F', 5);
  EXPECT_EQ(90, Tick());
  EXPECT_EQ(2u, Taskbar().size());  // at the ceiling: nothing more
}

TEST_F(ProgressTimers, AVolumeEmptiedDuringThePhaseCountsFromItsNewLow) {
  // The new-make mode formats the data partition after the phase began.
  Package(app::s7zFile, 1000);
  Used('E', 3000);
  Start();
  Phase(90, 100);
  Tick();
  Used('E', 0);
  EXPECT_EQ(90, Tick());
  Used('E', 500);
  EXPECT_EQ(95, Tick());
}

TEST_F(ProgressTimers, ANewMakeMeasuresFromWhereItsPhaseBegan) {
  Package(app::sIsoFile, 1000);
  Start();
  Phase(25, 90);
  Tick();
  Used('F', 1000);
  EXPECT_EQ(90, Tick());
  // The make ends and the next one reaches the same phase at once; F:
  // still holds the files of the first.
  form->window().SetProgressValue(0);
  Phase(10, 90);
  EXPECT_EQ(11, Tick());
  Used('F', 1500);
  EXPECT_EQ(58, Tick());  // 25 + 65 x 500 / 1000 = 57.5
}

TEST_F(ProgressTimers, AVolumeThatCannotBeReadAdvancesByOneUpToThePhaseBase) {
  app::sEfiLetter = "";
  app::sDataLetter = "Q:";
  Package(app::sIsoFile, 1000);
  Start();
  Phase(20, 90);
  for (int32_t expected : {21, 22, 23, 24, 25, 25}) EXPECT_EQ(expected, Tick());
  Phase(90, 100);
  EXPECT_EQ(90, Tick());
}

// --- Timer1 --------------------------------------------------------------------------

TEST_F(ProgressTimers, TheCreepAddsOneUpTo99AndThenStops) {
  Start();
  Phase(97, 100);
  window->SetTimerEnabled(TimerId::kTimer1, true);
  EXPECT_EQ(98, Creep());
  EXPECT_EQ(99, Creep());
  EXPECT_TRUE(window->TimerEnabled(TimerId::kTimer1));
  EXPECT_EQ(99, Creep());
  EXPECT_FALSE(window->TimerEnabled(TimerId::kTimer1));
  EXPECT_EQ((Calls{"value 98 100", "value 99 100"}), Taskbar());
  // Other intervals do nothing.
  window->SetProgressValue(50);
  window->SetTimerInterval(TimerId::kTimer1, 1000);
  EXPECT_EQ(50, Creep());
}

TEST_F(ProgressTimers, OnTheSimulatedClockTheBarMovesPhaseByPhase) {
  Start();
  RunTimersOnTheClock();
  Phase(0, 5);
  window->SetTimerEnabled(TimerId::kTimerProg, true);
  // (A loaded machine may merge late ticks: the count of ticks is not fixed.)
  for (int i = 0; i < 100 && window->ProgressValue() < 5; ++i) sys::PauseWithEvents(1000);
  sys::PauseWithEvents(3000);
  EXPECT_EQ((std::vector<int32_t>{0, 1, 2, 3, 4, 5}), window->written);
  // The creep of the last phase: one every three seconds, up to 99.
  window->SetTimerEnabled(TimerId::kTimerProg, false);
  Phase(97, 100);
  window->SetTimerEnabled(TimerId::kTimer1, true);
  for (int i = 0; i < 100 && window->TimerEnabled(TimerId::kTimer1); ++i) sys::PauseWithEvents(3000);
  EXPECT_EQ(99, window->ProgressValue());
  EXPECT_FALSE(window->TimerEnabled(TimerId::kTimer1));
}

// --- Ticks do not nest --------------------------------------------------------------------

TEST_F(ProgressTimers, ATickHandledInsideATickDoesNothing) {
  Start();
  RunTimersOnTheClock();
  // Each bar write handles events for longer than the timer's interval, so
  // further ticks arrive while the first one still runs.
  window->duringWrite = [&] { sys::PauseWithEvents(2500); };
  Phase(0, 5);
  window->written.clear();
  window->SetTimerEnabled(TimerId::kTimerProg, true);
  sys::PauseWithEvents(6000);
  window->duringWrite = nullptr;
  // The ticks arrived inside the waits, but no write began inside another.
  EXPECT_GT(ticks, static_cast<int>(window->written.size()));
  EXPECT_EQ(1, window->deepest);
  for (size_t i = 1; i < window->written.size(); ++i) EXPECT_EQ(window->written[i - 1] + 1, window->written[i]);
}

TEST_F(ProgressTimers, TheCreepDoesNotNestEither) {
  Start();
  RunTimersOnTheClock();
  window->duringWrite = [&] { sys::PauseWithEvents(7000); };
  Phase(90, 100);
  window->written.clear();
  window->SetTimerEnabled(TimerId::kTimer1, true);
  sys::PauseWithEvents(20000);
  window->duringWrite = nullptr;
  ASSERT_FALSE(window->written.empty());
  EXPECT_EQ(1, window->deepest);
  for (size_t i = 1; i < window->written.size(); ++i) EXPECT_EQ(window->written[i - 1] + 1, window->written[i]);
}

TEST_F(ProgressTimers, ThePlugInIsPreparedOnceWhileItsCopyHandlesEvents) {
  std::string sample = std::string(TV_SAMPLE_DIR) + "/program/Data/";
  for (const char* file : {"Plugins/pacmd.aes", "Bin/x86.dll"}) {
    std::ifstream in(sample + file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    m.WriteFile("C:\\Tarnvale\\Data\\" + sys::ReplaceAll(file, "/", "\\"), bytes.str());
  }
  form = std::make_unique<app::Form1>([this](os::MainWindowEvents&) {
    auto w = std::make_unique<Window>();
    window = w.get();
    return w;
  });
  RunTimersOnTheClock();
  window->duringCopyPercent = [] { sys::PauseWithEvents(50); };
  ASSERT_TRUE(form->Load());  // enables Timer1 with 10 ms
  sys::PauseWithEvents(3000);
  EXPECT_EQ(1u, m.Started().size());
  EXPECT_FALSE(window->TimerEnabled(TimerId::kTimer1));
  EXPECT_EQ(3000u, window->TimerInterval(TimerId::kTimer1));
  test::AwaitArchiverEnd();
  EXPECT_TRUE(form->WaitForPartitionTool());
}

// --- The taskbar button -------------------------------------------------------------------

TEST_F(ProgressTimers, TheTaskbarShowsStatesAndTheBarsValueUnchanged) {
  Start();
  form->TaskbarState(1);
  form->TaskbarState(0);
  form->window().SetProgressValue(110);
  form->TaskbarValue();
  EXPECT_EQ((Calls{"state 1", "state 0", "value 110 100"}), Taskbar());
  EXPECT_EQ(form->window().Handle(), os::sim::TaskbarCalls()[0].window);
  EXPECT_EQ("110", os::sim::TaskbarButton(form->window().Handle()));
  // The object goes with the window.
  form->OnUnload();
  form->TaskbarState(1);
  EXPECT_EQ(3u, Taskbar().size());
}

TEST_F(ProgressTimers, NoTaskbarCallsWhenTheFeatureIsOffOrMissing) {
  struct Case {
    const char* config;
    uint32_t major, minor;
  };
  for (const Case& c : {Case{"TaskbarProgress=0\r\n", 10, 0}, Case{"", 10, 0}, Case{"TaskbarProgress=yes\r\n", 10, 0},
                        Case{"TaskbarProgress=1\r\nBreakPoint=1\r\n", 10, 0},
                        Case{"TaskbarProgress=1\r\n", 6, 0}}) {
    m.Update([&](os::sim::Machine& mm) {
      mm.windowsMajor = c.major;
      mm.windowsMinor = c.minor;
    });
    m.WriteFile("C:\\Tarnvale\\Tarnvale.cfg", std::string("[Option]\r\n") + c.config);
    app::iTaskbarProg = 0;
    Start();
    Phase(0, 5);
    form->TaskbarState(1);
    Tick();
    form->TaskbarValue();
    EXPECT_TRUE(Taskbar().empty()) << c.config << " on " << c.major << "." << c.minor;
    form->OnUnload();
  }
  // Windows 7 has it.
  m.Update([&](os::sim::Machine& mm) {
    mm.windowsMajor = 6;
    mm.windowsMinor = 1;
  });
  m.WriteFile("C:\\Tarnvale\\Tarnvale.cfg", "[Option]\r\nTaskbarProgress=1\r\n");
  Start();
  form->TaskbarState(1);
  EXPECT_EQ(Calls{"state 1"}, Taskbar());
}

}  // namespace
