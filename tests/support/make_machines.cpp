#include "tests/support/make_machines.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/config.h"
#include "app/globals.h"
#include "app/language.h"
#include "os/files.h"
#include "os/process.h"
#include "os/profile.h"
#include "os/sim/progress_bar_window.h"
#include "os/sim/sim.h"
#include "os/sim/taskbar.h"
#include "sys/system_programs.h"
#include "sys/text.h"
#include "tests/support/tool_machines.h"
#include "tools/tvtool/commands.h"

namespace fs = std::filesystem;

namespace test {

os::sim::Disk& UsbStickWithTwoVolumes(os::sim::Machine& m, int number) {
  os::sim::Disk& d = AddStick(m, number, 'E');
  os::sim::Partition& first = d.partitions[0];
  first.sectors = 8192ull * 2048;  // 8 GB
  os::sim::Partition second = first;
  second.start = first.start + first.sectors;
  second.sectors = d.Sectors() - second.start;
  second.letter = 'F';
  second.label = "SECOND";
  second.folder = "disks/" + std::to_string(number) + "/part2";
  d.partitions.push_back(second);
  return d;
}

void AwaitArchiverEnd() {
  auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  auto running = [] {
    for (const os::ProcessEntry& p : os::ListProcesses())
      if (sys::EqualsNoCase(p.exeName, "x86.dll")) return true;
    return false;
  };
  while (running() && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

MakeMachine::MakeMachine(const std::function<void(os::sim::Machine&)>& change)
    : sim_([&](os::sim::Machine& m) {
        m.timeScale = 1000;
        if (change) change(m);
      }) {
  std::error_code ec;
  fs::copy(std::string(TV_SAMPLE_DIR) + "/program", sim_.Host("C:\\Tarnvale"),
           fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
  if (ec) ADD_FAILURE() << "cannot copy the sample program folder (build sample_package): " << ec.message();
  app::sCfgPath.clear();
  app::sTmpPath.clear();
  app::bMobileHardDisk = false;
  app::iTaskbarProg = 0;
  app::iVerifyPhase = 0;
  app::iProgCeiling = 0;
  app::LangStrings.fill("");
}

MakeMachine::~MakeMachine() {
  // The trace goes before the window, which still changes as it goes.
  os::sim::SetTaskbarObserver(nullptr);
  if (window_) static_cast<os::sim::SimProgressBarWindow&>(window_->ProgressBar1Window()).SetObserver(nullptr);
  if (form_) form_->OnUnload();
  app::sCfgPath.clear();
  app::sTmpPath.clear();
  app::LangStrings.fill("");
}

void MakeMachine::SetOption(const std::string& key, const std::string& value) {
  os::ProfileWrite("Option", key, value, "C:\\Tarnvale\\PE\\Tarnvale.cfg");
}

void MakeMachine::RemoveProgramFile(const std::string& relative) {
  std::error_code ec;
  fs::remove(sim_.Host("C:\\Tarnvale\\" + relative), ec);
}

void MakeMachine::Start(bool prepareTool) {
  os::sim::SetCommandLineText("\"C:\\Tarnvale\\Tarnvale.exe\"");
  form_ = std::make_unique<app::Form1>([this](os::MainWindowEvents&) {
    auto w = std::make_unique<ui::WindowModel>();
    w->SetAnswerer([this](const ui::ShownMessage& message) {
      if (onMessage_) onMessage_(message);
      if (answers_.empty()) return static_cast<int>(os::kIdOk);
      int answer = answers_.front();
      answers_.erase(answers_.begin());
      return answer;
    });
    w->SetTimerChanged([this](os::TimerId) { TraceProgress(); });
    w->SetChanged([this] { TraceProgress(); });
    window_ = w.get();
    return w;
  });
  operations_ = std::make_unique<app::MainOperations>(*form_);
  form_->SetOperations(operations_.get());
  ASSERT_TRUE(form_->Load());
  // ProgressBar1 is a control of its own: its changes are traced as they reach the bar.
  static_cast<os::sim::SimProgressBarWindow&>(window_->ProgressBar1Window()).SetObserver([this] { TraceProgress(); });
  // So are the calls that reach the taskbar button, in their place among them.
  os::sim::SetTaskbarObserver([this](const os::sim::TaskbarCall& call) {
    TraceProgress();
    NoteProgress("taskbar " + os::sim::TaskbarCallText(call));
  });
  if (prepareTool) {
    form_->OnTimer(os::TimerId::kTimer1);
    AwaitArchiverEnd();
    ASSERT_TRUE(form_->WaitForPartitionTool()) << "the sample's partition tool did not unpack";
  }
}

void MakeMachine::Choose(const std::string& layout, int mode, int fileSystem) {
  for (int i = 0; i < window_->ListCount(os::Control::kFsys); ++i) {
    std::string entry = window_->ListItem(os::Control::kFsys, i);
    if (entry.rfind(layout, 0) == 0 && sys::Contains(entry, app::LangString(mode))) {
      window_->SetListIndex(os::Control::kFsys, i);
      window_->SetListIndex(os::Control::kFSFor, fileSystem);
      return;
    }
  }
  ADD_FAILURE() << "no layout entry " << layout << " for mode " << mode;
}

void MakeMachine::PressStart(std::vector<int> answers) {
  if (!answers.empty()) answers_ = std::move(answers);
  entryAtPress_ = EntryText();
  progress_.clear();
  shown_ = Shown{window_->ProgressValue(), app::iProgCeiling, window_->ProgressMarquee(),
                 window_->TimerEnabled(os::TimerId::kTimerProg), window_->TimerEnabled(os::TimerId::kTimer1),
                 window_->TimerInterval(os::TimerId::kTimerProg)};
  messagesBefore_ = window_->Messages().size();
  startedMark_ = LogLinesFromMark("started.log", 0).size();
  profileMark_ = LogLinesFromMark("profile.log", 0).size();
  form_->OnClick(os::Control::kCommand1);
}

void MakeMachine::NoteProgress(const std::string& entry) {
  if (app::iProgCeiling != shown_.ceiling) {
    shown_.ceiling = app::iProgCeiling;
    progress_.push_back("ceiling " + std::to_string(shown_.ceiling));
  }
  progress_.push_back(entry);
}

void MakeMachine::TraceProgress() {
  if (!window_) return;
  auto note = [&](bool changed, const std::string& entry) {
    if (changed) NoteProgress(entry);
  };
  const ui::WindowModel& w = *window_;
  bool marquee = w.ProgressMarquee();
  note(marquee != shown_.marquee, marquee ? "marquee on" : "marquee off");
  shown_.marquee = marquee;
  int value = w.ProgressValue();
  note(value != shown_.value, "value " + std::to_string(value));
  shown_.value = value;
  uint32_t interval = w.TimerInterval(os::TimerId::kTimerProg);
  note(interval != shown_.progInterval, "TimerProg " + std::to_string(interval) + " ms");
  shown_.progInterval = interval;
  bool progOn = w.TimerEnabled(os::TimerId::kTimerProg);
  note(progOn != shown_.progOn, progOn ? "TimerProg on" : "TimerProg off");
  shown_.progOn = progOn;
  bool timer1On = w.TimerEnabled(os::TimerId::kTimer1);
  note(timer1On != shown_.timer1On, timer1On ? "Timer1 on" : "Timer1 off");
  shown_.timer1On = timer1On;
}

std::string MakeMachine::EntryText() const { return window_->ListText(os::Control::kRDriver); }

std::vector<std::string> MakeMachine::Messages() const {
  std::vector<std::string> out;
  const auto& all = window_->Messages();
  for (size_t i = messagesBefore_; i < all.size(); ++i) out.push_back(all[i].title + "|" + all[i].text);
  return out;
}

std::vector<std::string> MakeMachine::LogLinesFromMark(const std::string& file, size_t mark) const {
  std::vector<std::string> lines;
  std::ifstream in(sim_.Folder() + "/" + file);
  std::string line;
  size_t n = 0;
  while (std::getline(in, line))
    if (n++ >= mark) lines.push_back(line);
  return lines;
}

std::vector<std::string> MakeMachine::Commands() const {
  std::vector<std::string> out;
  for (const std::string& line : LogLinesFromMark("started.log", startedMark_)) {
    std::string command = line.substr(line.find('\t', line.find('\t') + 1) + 1);
    // The program that cmd.exe starts in turn is logged right after it
    // (without the outer quotes and the output redirection of its line).
    if (!out.empty() && out.back() == sys::ThroughCmd(command)) continue;
    const std::string quoted = sys::ThroughCmd("\"") ;
    const std::string outer = quoted.substr(0, quoted.size() - 2);  // <cmd> /s /c "
    if (!out.empty() && out.back().rfind(outer, 0) == 0 && out.back().find(" > ") != std::string::npos &&
        out.back().substr(outer.size()).rfind(command, 0) == 0)
      continue;
    out.push_back(command);
  }
  return out;
}

void MakeMachine::ExpectIdle() const {
  for (os::Control c : {os::Control::kFsys, os::Control::kFSFor, os::Control::kRDriver, os::Control::kUReFresh,
                        os::Control::kCommand1})
    EXPECT_TRUE(window_->IsEnabled(c));
  EXPECT_EQ(app::LangString(3), window_->Caption(os::Control::kStatus));
  EXPECT_EQ(app::LangString(4), window_->Caption(os::Control::kCommand1));
  EXPECT_FALSE(window_->TimerEnabled(os::TimerId::kTimerProg));
  EXPECT_FALSE(window_->ProgressMarquee());
  EXPECT_FALSE(form_->guard().Busy());
}

std::vector<std::string> MakeMachine::BreakPoints() const {
  std::vector<std::string> out;
  const std::string key = "\t[Option]\tBreakPoint=";
  for (const std::string& line : LogLinesFromMark("profile.log", profileMark_)) {
    size_t at = line.find(key);
    if (at != std::string::npos) out.push_back(line.substr(at + key.size()));
  }
  return out;
}

std::string MakeMachine::Expand(const std::string& pattern) const {
  auto quotedShort = [](const std::string& path) { return "\"" + os::ShortPath(path).value_or(path) + "\""; };
  std::string s = pattern;
  s = sys::ReplaceAll(s, "<pa>", "<cmd> /c <tmp>\\PACMD\\PartAssist.exe");
  s = sys::ReplaceAll(s, "<format>", "<cmd> /c C:\\Windows\\System32\\format.com");
  s = sys::ReplaceAll(s, "<cmd>", "C:\\Windows\\System32\\cmd.exe");
  s = sys::ReplaceAll(s, "<diskpart>", "C:\\Windows\\System32\\diskpart.exe");
  s = sys::ReplaceAll(s, "<tmp>", app::sTmpPath);
  s = sys::ReplaceAll(s, "<x86>", "\"C:\\Tarnvale\\Data\\Bin\\x86.dll\"");
  s = sys::ReplaceAll(s, "<aes>", "\"C:\\Tarnvale\\Data\\Bin\\aes.dll\"");
  s = sys::ReplaceAll(s, "<iso>", quotedShort("C:\\Tarnvale\\PE\\TarnvalePE.iso"));
  s = sys::ReplaceAll(s, "<fba>", quotedShort("C:\\Tarnvale\\PE\\TarnvalePE.fba"));
  s = sys::ReplaceAll(s, "<7z>", quotedShort("C:\\Tarnvale\\PE\\TarnvalePE.7z"));
  return s;
}

std::vector<std::string> MakeMachine::Expand(const std::vector<std::string>& patterns) const {
  std::vector<std::string> out;
  for (const std::string& p : patterns) out.push_back(Expand(p));
  return out;
}

std::string MakeMachine::Disk(int number) const { return tvtool::DescribeDisk(sim_.Folder(), sim_.Get(), number); }

std::string MakeMachine::PartitionFolder(int disk, int index) const { return test::PartitionFolder(sim_, disk, index); }

}  // namespace test
