// What the restore, the local install and the boot test show on
// ProgressBar1 and on the taskbar button, in order among the status line's
// texts and the message boxes, on a simulated machine with the sample
// package (whose configuration has taskbar progress on).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/globals.h"
#include "app/language.h"
#include "os/profile.h"
#include "os/sim/progress_bar_window.h"
#include "os/sim/sim.h"
#include "os/sim/taskbar.h"
#include "tests/support/make_machines.h"
#include "tests/support/ops_machine.h"

namespace {

using Lines = std::vector<std::string>;
using os::Control;

class OperationProgress : public test::OpsTest {
 protected:
  void SetUp() override {
    test::OpsTest::SetUp();
    m.Update([](os::sim::Machine& mm) { test::AddMadeDisk(mm, 1, 'E'); });
    test::WriteMadeDiskFiles(m, 1);
  }
  void TearDown() override {
    // The window outlives the trace: it goes with the fixture's base.
    os::sim::SetTaskbarObserver(nullptr);
    if (window) {
      static_cast<os::sim::SimProgressBarWindow&>(window->ProgressBar1Window()).SetObserver(nullptr);
      window->onCaption = nullptr;
      window->SetAnswerer(nullptr);
    }
    test::OpsTest::TearDown();
  }

  // Starts the window and traces from then on: "marquee on|off", "value
  // <n>", "taskbar <call>", "status <n>" (the language string shown on the
  // status line) and "box <n>" (a message box of language string n, or
  // "box ?" for a question built from several).
  void StartTraced() {
    Start();
    auto& bar = static_cast<os::sim::SimProgressBarWindow&>(window->ProgressBar1Window());
    marquee = window->ProgressMarquee();
    value = window->ProgressValue();
    bar.SetObserver([this] {
      if (window->ProgressMarquee() != marquee) {
        marquee = window->ProgressMarquee();
        trace.push_back(marquee ? "marquee on" : "marquee off");
      }
      if (window->ProgressValue() != value) {
        value = window->ProgressValue();
        trace.push_back("value " + std::to_string(value));
      }
    });
    os::sim::SetTaskbarObserver(
        [this](const os::sim::TaskbarCall& call) { trace.push_back("taskbar " + os::sim::TaskbarCallText(call)); });
    window->onCaption = [this](Control c, const std::string& text) {
      if (c == Control::kStatus) trace.push_back("status " + Number(text));
    };
    window->SetAnswerer([this](const ui::ShownMessage& message) {
      trace.push_back("box " + Number(message.text));
      return static_cast<int>(os::kIdOk);
    });
  }

  static std::string Number(const std::string& text) {
    for (int n = 0; n < static_cast<int>(app::LangStrings.size()); ++n)
      if (!text.empty() && app::LangString(n) == text) return std::to_string(n);
    return "?";
  }
  Lines TaskbarOnly() const {
    Lines out;
    std::copy_if(trace.begin(), trace.end(), std::back_inserter(out),
                 [](const std::string& e) { return e.rfind("taskbar", 0) == 0; });
    return out;
  }

  Lines trace;
  bool marquee = false;
  int32_t value = 0;
};

TEST_F(OperationProgress, TheRestoreIsBusyOnTheBarAndTheTaskbarUntilItsCheck) {
  StartTraced();
  Key(os::kVkF2);
  EXPECT_EQ((Lines{"box ?", "taskbar state 1", "marquee on", "status 19", "status 3", "taskbar state 0",
                   "marquee off", "box 31"}),
            trace);
  ExpectIdle();
  EXPECT_EQ("none", os::sim::TaskbarButton(window->Handle()));
}

TEST_F(OperationProgress, TheInstallIsBusyAroundTheUnpackingAndTheBatchRun) {
  StartTraced();
  Key('I', true);
  // The report comes while the busy display still runs.
  EXPECT_EQ((Lines{"box 40", "status 54", "taskbar state 1", "marquee on", "box 46", "status 3", "taskbar state 0",
                   "marquee off"}),
            trace);
  ExpectIdle();
}

TEST_F(OperationProgress, AnInstallRefusedBeforeItsWorkShowsNoProgress) {
  SetInstallKey("WIMFile", "");
  StartTraced();
  Key('I', true);
  EXPECT_EQ((Lines{"box 40", "box 42"}), trace);
}

TEST_F(OperationProgress, TheBootTestShowsTheMarqueeButLeavesTheTaskbarToTheEmulator) {
  // The emulator runs in a window of its own, with its own taskbar button.
  StartTraced();
  Key(os::kVkF5);
  EXPECT_EQ((Lines{"marquee on", "marquee off"}), trace);
  ExpectIdle();
}

TEST_F(OperationProgress, WithTaskbarProgressOffOnlyTheBarShowsTheWork) {
  os::ProfileWrite("Option", "TaskbarProgress", "0", "C:\\Tarnvale\\PE\\Tarnvale.cfg");
  StartTraced();
  Key(os::kVkF2);
  Key('I', true);
  EXPECT_TRUE(TaskbarOnly().empty());
  EXPECT_EQ(4, std::count_if(trace.begin(), trace.end(), [](const std::string& e) { return e.rfind("marquee", 0) == 0; }));
}

TEST_F(OperationProgress, AStopInsideTheRestoreTurnsTaskbarProgressOffAtTheNextStart) {
  // The last run ended between the restore's steps 1 and 2, where the
  // taskbar button shows busy.
  os::ProfileWrite("Option", "BreakPoint", "1", "C:\\Tarnvale\\PE\\Tarnvale.cfg");
  StartTraced();
  EXPECT_EQ(0, app::iTaskbarProg);
  EXPECT_EQ("0", app::ReadCfg("TaskbarProgress", "Option"));
  Key(os::kVkF2);
  EXPECT_TRUE(TaskbarOnly().empty());
  EXPECT_EQ("box 31", trace.back());
}

// --- On the console -----------------------------------------------------------------------

class ConsoleProgress : public test::OpsTest {
 protected:
  // Runs the host program on the machine with the script; its output.
  std::string Program(const std::string& script) {
    std::string scriptFile = m.Folder() + "/script.txt";
    std::ofstream(scriptFile) << script;
    std::string out = m.Folder() + "/console.txt";
    std::string command = os::sim::ToolsFolder() + "/tarnvale --machine " + m.Folder() + " --script " + scriptFile +
                          " > " + out + " 2>&1";
    status = WEXITSTATUS(system(command.c_str()));
    std::ifstream in(out);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // The texts, one after another in the output; the first one missing.
  static std::string MissingInOrder(const std::string& output, const Lines& texts) {
    size_t at = 0;
    for (const std::string& text : texts) {
      size_t found = output.find(text, at);
      if (found == std::string::npos) return text;
      at = found + text.size();
    }
    return "";
  }

  int status = -1;
};

TEST_F(ConsoleProgress, AMakeShowsTheBarMovingPhaseByPhaseAndTheTaskbarCalls) {
  // A stick with two volumes: the make repartitions it first.
  m.Update([](os::sim::Machine& mm) {
    test::UsbStickWithTwoVolumes(mm, 1);
    mm.timeScale = 200;
  });
  std::string output = Program(
      "select RDriver 0\n"
      "select Fsys 0\n"
      "click Command1\n"
      "answer ok\n"
      "answer ok\n"
      "expect progress 0\n"
      "expect marquee off\n"
      "expect taskbar none\n"
      "taskbar\n");
  EXPECT_EQ(0, status) << output;
  // The busy partition pass, then each phase's percentage (the timers tick
  // in between: simulated time runs fast); the end of the make on the
  // taskbar button; the bar back at 0.
  EXPECT_EQ("", MissingInOrder(output, {"taskbar: state 1 (busy)", "<=>", "] busy", "taskbar: state 0 (none)",
                                        "] 5%", "] 10%", "] 90%", "[####################] 100%\n",
                                        "taskbar: value 100 of 100\n", "[....................] 0%\n",
                                        "taskbar: state 0 (none)\n"}))
      << output;
  // The taskbar's own record: busy during the pass, then the values the
  // timers and the end of the make gave, never falling, up to 100, and
  // none at last.
  std::ifstream log(m.Folder() + "/taskbar.log");
  Lines calls;
  for (std::string line; std::getline(log, line);) calls.push_back(line);
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ((Lines{"state 1", "state 0"}), Lines(calls.begin(), calls.begin() + 2));
  EXPECT_EQ((Lines{"value 100 100", "state 0"}), Lines(calls.end() - 2, calls.end()));
  int last = 0;
  for (size_t i = 2; i + 1 < calls.size(); ++i) {
    int completed = -1, total = -1;
    ASSERT_EQ(2, sscanf(calls[i].c_str(), "value %d %d", &completed, &total)) << calls[i];
    EXPECT_GE(completed, last);  // every tick below the ceiling tells the value, also an unchanged one
    EXPECT_EQ(100, total);
    last = completed;
  }
}

}  // namespace
