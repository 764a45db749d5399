// The host build's main window: the window's state (ui::WindowModel), its
// timers on the simulated machine's event loop, and the console front-end
// that shows it and takes input (the commands are listed in os/sim/console.h).
#include <poll.h>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include <deque>
#include <optional>
#include <sstream>
#include <vector>

#include "os/files.h"
#include "os/main_window.h"
#include "os/window_procedure.h"
#include "ui/console/console_window.h"
#include "ui/console/dialogs_console.h"
#include "os/sim/disk_swap.h"
#include "os/sim/event_loop.h"
#include "ui/console/machine_views.h"
#include "os/sim/progress_bar_window.h"
#include "os/sim/taskbar.h"
#include "ui/console/render.h"
#include "os/sim/sim.h"
#include "os/sim/words.h"
#include "os/sim/windows.h"
#include "sys/run_log.h"
#include "sys/text.h"
#include "ui/window_model.h"

namespace ui::console {
namespace {

using os::Control;
using os::KeyModifiers;
using os::MainWindowEvents;
using os::TimerId;
using os::WindowState;
using os::sim::ConsoleOptions;
using os::sim::EventLoop;
using os::sim::EventSource;

const std::pair<const char*, Control> kControls[] = {
    {"Label3", Control::kLabel3},   {"RDriver", Control::kRDriver}, {"UReFresh", Control::kUReFresh},
    {"Label0", Control::kLabel0},   {"Fsys", Control::kFsys},       {"Label1", Control::kLabel1},
    {"FSFor", Control::kFSFor},     {"Command1", Control::kCommand1}, {"Status", Control::kStatus},
    {"LProgress", Control::kLProgress},
};

std::optional<Control> ControlNamed(const std::string& name) {
  for (const auto& [n, c] : kControls)
    if (sys::EqualsNoCase(n, name)) return c;
  return std::nullopt;
}

// Words of a command line; double quotes keep blanks in a word.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  os::sim::SplitWords(line, words);
  return words;
}

std::string Rest(const std::vector<std::string>& w, size_t from) {
  std::string out;
  for (size_t i = from; i < w.size(); ++i) out += (i > from ? " " : "") + w[i];
  return out;
}

bool IsAnswer(const std::string& line) {
  auto w = Words(line);
  return !w.empty() && sys::EqualsNoCase(w[0], "answer");
}

bool IsWaitIdle(const std::string& line) {
  auto w = Words(line);
  return w.size() == 2 && sys::EqualsNoCase(w[0], "wait") && sys::EqualsNoCase(w[1], "idle");
}

bool IsBlankOrComment(const std::string& line) {
  std::string t = sys::TrimSpaces(line);
  return t.empty() || t[0] == '#';
}

class ConsoleWindow : public ui::WindowModel, public EventSource, public ConsoleIo {
 public:
  ConsoleWindow(MainWindowEvents& events, const ConsoleOptions& options) : events_(events), options_(options) {
    auto machine = os::sim::Current();
    SetInstalledFonts(machine->fonts);
    SetMetrics(static_cast<int>(1440 / machine->dpi), static_cast<int>(machine->charWidth),
               static_cast<int>(machine->scrollBarWidth));
    SetAnswerer([this](const ui::ShownMessage& m) { return AskAnswer(m); });
    SetTimerChanged([this](TimerId t) { ApplyTimer(t); });
    SetChanged([this] { changed_ = true; });
    if (options_.input && options_.inputFd < 0) {
      // A script: every line is known from the start.
      std::string line;
      while (std::getline(*options_.input, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!IsBlankOrComment(line)) queue_.push_back(line);
      }
    }
    EventLoop::Get().AddSource(this);
    current_ = this;
    // The window's own procedure, behind whatever the system puts in front.
    os::sim::SetOwnProcedure(*this, [this](const os::WindowMessage& m) { return OwnProcedure(m); });
    SetSizeDialogDriver([this](ui::SizeDialogModel& d) { RunSizeDialog(d, *this); });
    SetAboutDriver([this](ui::AboutModel& a) { RunAboutWindow(a, *this); });
    Bar().SetObserver([this] { progressChanged_ = true; });
    os::sim::SetTaskbarObserver([this](const os::sim::TaskbarCall& call) { TaskbarCalled(call); });
  }
  ~ConsoleWindow() override {
    Bar().SetObserver(nullptr);
    os::sim::SetTaskbarObserver(nullptr);
    EventLoop::Get().RemoveSource(this);
    EventLoop::Get().KillTimer(TimerKey(TimerId::kTimer1));
    EventLoop::Get().KillTimer(TimerKey(TimerId::kTimerProg));
    if (current_ == this) current_ = nullptr;
  }

  static ConsoleWindow* current() { return current_; }
  bool AllowedToClose() { return events_.OnCloseRequest(); }
  // Nothing runs and no message box is open: an answer waiting in the queue
  // can answer nothing.
  void DiscardStrayAnswer() {
    // Every one of them: an answer never counts as pending input, so one
    // left at the front would keep the window waiting for ever.
    while (!queue_.empty() && IsAnswer(queue_.front())) {
      queue_.pop_front();
      Fail("no message box is open");
    }
  }
  void RefuseClose() {
    closeRequested_ = false;
    Print("  (the window stays open while an operation runs)\n");
  }
  bool closeRequested() const { return closeRequested_; }
  int status() const { return failed_ ? 1 : 0; }
  bool scriptDone() const { return options_.inputFd < 0 && queue_.empty(); }
  bool inputEnded() const { return inputEnded_; }

  // --- ConsoleIo, for the dialogs' front-end ---
  void Write(const std::string& text) override { Print(text); }
  void Complain(const std::string& why) override { Fail(why); }
  bool Quiet() const override { return options_.quiet; }
  bool Interactive() const override { return options_.inputFd >= 0; }
  bool InputOver() override { return scriptDone() || (inputEnded() && !Pending()); }
  void DropStrayAnswer() override { DiscardStrayAnswer(); }
  bool HoldInput(bool hold) override {
    bool before = waiting_;
    waiting_ = hold;
    return before;
  }

  // --- os::MainWindow, where the console adds to the model ---
  void Show() override {
    ui::WindowModel::Show();
    if (!shownOnce_) {
      shownOnce_ = true;
      progressChanged_ = false;
      lastProgress_ = RenderProgressState(Bar());
      Print(RenderWindow(*this, false));
    }
  }
  void SetCaption(Control control, std::string_view text) override {
    bool statusChanged = control == Control::kStatus && Caption(control) != text;
    // What the bar shows already comes before the new text.
    if (statusChanged && progressChanged_) DrawProgress();
    ui::WindowModel::SetCaption(control, text);
    if (statusChanged && shownOnce_ && !options_.quiet) Print("  . " + std::string(text) + "\n");
  }

  // --- EventSource ---
  int Fd() const override { return inputEnded_ ? -1 : options_.inputFd; }
  // While a "wait" runs, the person does nothing: later lines wait too. A
  // "wait idle" holds them back until no operation runs (the window could
  // close).
  bool Pending() override {
    // The bar is drawn anew when the window handles its events, as the
    // screen shows it then (not each step of a rebuild).
    if (progressChanged_) DrawProgress();
    if (waiting_ || queue_.empty() || IsAnswer(queue_.front())) return false;
    return !IsWaitIdle(queue_.front()) || events_.OnCloseRequest();
  }
  void Dispatch() override {
    ReadTypedInput(false);
    if (queue_.empty() || IsAnswer(queue_.front())) return;
    std::string line = queue_.front();
    queue_.pop_front();
    Execute(line);
    if (changed_ && options_.inputFd >= 0 && !options_.quiet) Print(RenderWindow(*this, false));
    changed_ = false;
  }

 private:
  static int TimerKey(TimerId t) { return t == TimerId::kTimer1 ? 1 : 2; }

  os::sim::SimProgressBarWindow& Bar() {
    return static_cast<os::sim::SimProgressBarWindow&>(ProgressBar1Window());
  }

  // A line for the bar when it shows something else than before (a marquee
  // that only moves on is not drawn again).
  void DrawProgress() {
    progressChanged_ = false;
    std::string state = RenderProgressState(Bar());
    if (state == lastProgress_) return;
    lastProgress_ = state;
    if (shownOnce_ && !options_.quiet) Print("  " + RenderProgress(Bar(), os::TickCount()) + "\n");
  }

  void TaskbarCalled(const os::sim::TaskbarCall& call) {
    if (call.window != Handle() || !shownOnce_ || options_.quiet) return;
    // The bar's change that the call mirrors is printed first.
    if (progressChanged_) DrawProgress();
    Print("  taskbar: " + TaskbarText(call) + "\n");
  }

  static std::string TaskbarText(const os::sim::TaskbarCall& call) {
    if (!call.isState) return "value " + std::to_string(call.completed) + " of " + std::to_string(call.total);
    const char* names[] = {"none", "busy", "normal", "", "error", "", "", "", "paused"};
    std::string name = call.state >= 0 && call.state <= 8 ? names[call.state] : "";
    return "state " + std::to_string(call.state) + (name.empty() ? "" : " (" + name + ")");
  }

  void ApplyTimer(TimerId t) {
    if (TimerEnabled(t) && TimerInterval(t) > 0)
      EventLoop::Get().SetTimer(TimerKey(t), TimerInterval(t), [this, t] { events_.OnTimer(t); });
    else
      EventLoop::Get().KillTimer(TimerKey(t));
  }

  void Print(const std::string& text) {
    if (options_.output) {
      *options_.output << text;
      options_.output->flush();
    }
  }

  void Fail(const std::string& why) {
    failed_ = true;
    Print("! " + why + "\n");
  }

  // What the window's class does with a message: the platform's system
  // commands, and the others reported to the window's logic.
  intptr_t OwnProcedure(const os::WindowMessage& m) {
    if (m.message != os::kWmSysCommand) return 0;
    switch (m.wParam & 0xFFF0) {
      case os::kScClose: closeRequested_ = true; break;
      case os::kScMinimize: SetState(WindowState::kMinimized); events_.OnResize(WindowState::kMinimized); break;
      case os::kScRestore: SetState(WindowState::kNormal); events_.OnResize(WindowState::kNormal); break;
      case os::kScMaximize: events_.OnResize(WindowState::kMaximized); break;  // not maximised
      case os::kScMove:
      case os::kScSize: break;
      default:
        if (m.wParam < 0xF000) events_.OnSysCommand(static_cast<int>(m.wParam));
        break;
    }
    return 0;
  }

  // Lines typed in a terminal; with `block`, waits for at least one.
  void ReadTypedInput(bool block) {
    if (options_.inputFd < 0 || inputEnded_) return;
    pollfd p{options_.inputFd, POLLIN, 0};
    while (poll(&p, 1, block ? -1 : 0) > 0) {
      char buffer[1024];
      ssize_t n = read(options_.inputFd, buffer, sizeof buffer);
      if (n <= 0) {
        inputEnded_ = true;
        break;
      }
      partial_.append(buffer, static_cast<size_t>(n));
      size_t nl;
      while ((nl = partial_.find('\n')) != std::string::npos) {
        std::string line = partial_.substr(0, nl);
        partial_.erase(0, nl + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!IsBlankOrComment(line)) queue_.push_back(line);
      }
      if (!queue_.empty()) break;
      block = true;  // a partial line: wait for its end
    }
  }

  int AskAnswer(const ui::ShownMessage& m) {
    Print(RenderMessage(m));
    bool okCancel = (m.style & 0x0F) == os::kMbOkCancel;
    while (true) {
      if (queue_.empty()) ReadTypedInput(true);
      if (queue_.empty()) {
        Fail("the input ended while a message box waited for an answer");
        return okCancel ? os::kIdCancel : os::kIdOk;
      }
      std::string line = queue_.front();
      queue_.pop_front();
      auto w = Words(line);
      // The machine may change while the box is open: a disk is swapped
      // for another behind the user's back.
      if (!w.empty() && sys::EqualsNoCase(w[0], "swap")) {
        Swap(w);
        continue;
      }
      if (!IsAnswer(line)) {
        // A modal box takes no other input.
        if (options_.inputFd >= 0) {
          Print("  (answer the message box first: answer ok" + std::string(okCancel ? " or answer cancel)\n" : ")\n"));
          continue;
        }
        Fail("a message box waits for an answer, the script says: " + line);
        queue_.push_front(line);
        return okCancel ? os::kIdCancel : os::kIdOk;
      }
      std::string a = w.size() > 1 ? sys::LowerAscii(w[1]) : "";
      if (a == "ok") return os::kIdOk;
      if (a == "cancel" && okCancel) return os::kIdCancel;
      Fail("'" + line + "' does not answer this box");
      return okCancel ? os::kIdCancel : os::kIdOk;
    }
  }

  // "swap <disk> <spare>": the spare disk takes the disk's place.
  void Swap(const std::vector<std::string>& w) {
    if (w.size() != 3) return Fail("swap: name the disk and the spare disk, such as swap 1 9");
    std::string why;
    if (!os::sim::SwapDisksNow(atoi(w[1].c_str()), atoi(w[2].c_str()), &why)) return Fail(why);
    if (!options_.quiet) Print("  (disk " + w[1] + " pulled out; disk " + w[2] + " arrived as disk " + w[1] + ")\n");
  }

  bool Key(const std::string& keys) {
    KeyModifiers mods;
    std::string key;
    for (const std::string& part : sys::Split(keys, "+")) {
      std::string p = sys::LowerAscii(part);
      if (p == "ctrl") mods.ctrl = true;
      else if (p == "shift") mods.shift = true;
      else if (p == "alt") mods.alt = true;
      else key = sys::UpperAscii(part);
    }
    int code = 0;
    if (key.size() >= 2 && key[0] == 'F') code = 0x70 + atoi(key.c_str() + 1) - 1;
    else if (key.size() == 1) code = key[0];
    if (code == 0) return false;
    events_.OnKeyDown(code, mods);
    return true;
  }

  void Select(Control list, const std::string& which) {
    int index = -1;
    bool number = !which.empty() && which.find_first_not_of("0123456789") == std::string::npos;
    if (number) {
      index = atoi(which.c_str());
    } else {
      for (int i = 0; i < ListCount(list); ++i)
        if (ListItem(list, i).rfind(which, 0) == 0) {
          index = i;
          break;
        }
    }
    if (index < 0 || index >= ListCount(list)) return Fail("no entry '" + which + "' in the list");
    if (!IsEnabled(list)) return Fail("the list is disabled");
    SetListIndex(list, index);
  }

  void Expect(const std::vector<std::string>& w) {
    std::string what = w.size() > 1 ? sys::LowerAscii(w[1]) : "";
    auto control = [&](size_t i) { return i < w.size() ? ControlNamed(w[i]) : std::nullopt; };
    auto check = [&](bool ok, const std::string& actual) {
      if (!ok) Fail("expected " + Rest(w, 1) + ", but it is: " + actual);
    };
    if (what == "title") return check(Title() == Rest(w, 2), Title());
    if (what == "state") {
      const char* names[] = {"normal", "minimized", "maximized"};
      std::string actual = names[static_cast<int>(State())];
      return check(sys::EqualsNoCase(actual, Rest(w, 2)), actual);
    }
    if (what == "progress") {
      std::string actual = std::to_string(ProgressValue());
      return check(actual == Rest(w, 2), actual);
    }
    if (what == "marquee") {
      std::string actual = ProgressMarquee() ? "on" : "off";
      return check(sys::EqualsNoCase(actual, Rest(w, 2)), actual);
    }
    if (what == "taskbar") {
      std::string actual = os::sim::TaskbarButton(Handle());
      return check(sys::EqualsNoCase(actual, Rest(w, 2)), actual);
    }
    if (what == "log") {
      bool found = sys::ThisRunLog().find(Rest(w, 2)) != std::string::npos;
      return check(found, "not in this run's log");
    }
    if (what == "message") {
      std::string last = Messages().empty() ? "(no message box)" : Messages().back().text;
      return check(last == Rest(w, 2), last);
    }
    if (what == "partitions") {
      int number = w.size() > 2 ? atoi(w[2].c_str()) : -1;
      auto machine = os::sim::Current();
      const os::sim::Disk* d = machine->FindDisk(number);
      std::string actual = d ? std::to_string(d->partitions.size()) : "no such disk";
      return check(d && actual == Rest(w, 3), actual);
    }
    if (what == "exists" || what == "missing") {
      bool exists = os::PathExists(Rest(w, 2));
      return check(exists == (what == "exists"), exists ? "there" : "not there");
    }
    if (what == "emulator") {
      std::string last = sys::TrimSpaces(RenderEmulatorLog(1));
      return check(sys::Contains(last, Rest(w, 2)), last);
    }
    if (ExpectDialog(w, *this, *this)) return;
    auto c = control(2);
    if (!c) return Fail("expect: name a control");
    if (what == "caption") return check(Caption(*c) == Rest(w, 3), Caption(*c));
    if (what == "text") return check(ListText(*c) == Rest(w, 3), ListText(*c));
    if (what == "count") return check(ListCount(*c) == atoi(Rest(w, 3).c_str()), std::to_string(ListCount(*c)));
    if (what == "item") {
      int i = w.size() > 3 ? atoi(w[3].c_str()) : -1;
      return check(ListItem(*c, i) == Rest(w, 4), ListItem(*c, i));
    }
    if (what == "enabled") return check(IsEnabled(*c), "disabled");
    if (what == "disabled") return check(!IsEnabled(*c), "enabled");
    Fail("expect: unknown check '" + what + "'");
  }

  void Execute(const std::string& line) {
    auto w = Words(line);
    std::string verb = sys::LowerAscii(w[0]);
    auto control = [&](size_t i) { return i < w.size() ? ControlNamed(w[i]) : std::nullopt; };
    // While a dialog is open, the main window takes no input.
    if (ExecuteDialogCommand(w, *this, *this)) return;
    bool mainInput = verb == "click" || verb == "select" || verb == "open" || verb == "key" || verb == "menu" ||
                     verb == "maximize" || verb == "minimize" || verb == "restore";
    if (mainInput && !OpenDialog().empty()) return Fail("the main window takes no input while a dialog is open");
    if (verb == "close" && !OpenDialog().empty()) return CloseOpenDialog();
    if (verb == "click") {
      auto c = control(1);
      if (!c || (*c != Control::kCommand1 && *c != Control::kUReFresh && *c != Control::kStatus))
        return Fail("click: Command1, UReFresh or Status");
      if (!IsEnabled(*c)) return;  // a disabled button takes no click
      events_.OnClick(*c);
    } else if (verb == "select" || verb == "open") {
      auto c = control(1);
      if (!c || (*c != Control::kRDriver && *c != Control::kFsys && *c != Control::kFSFor))
        return Fail(verb + ": RDriver, Fsys or FSFor");
      if (!IsEnabled(*c)) return Fail("the list is disabled");
      events_.OnDropDown(*c);
      if (verb == "select") Select(*c, Rest(w, 2));
    } else if (verb == "key") {
      if (w.size() < 2 || !Key(w[1])) Fail("key: such as F2, F5, Ctrl+I");
    } else if (verb == "menu") {
      // As choosing the entry: WM_SYSCOMMAND through the window's procedure.
      uintptr_t id = static_cast<uintptr_t>(w.size() > 1 ? atoll(w[1].c_str()) : 0);
      os::SendWindowMessage(*this, {os::kWmSysCommand, id, 0});
    } else if (verb == "answer") {
      Fail("no message box is open");
    } else if (verb == "maximize" || verb == "minimize" || verb == "restore") {
      WindowState s = verb == "maximize" ? WindowState::kMaximized
                      : verb == "minimize" ? WindowState::kMinimized
                                           : WindowState::kNormal;
      SetState(s);
      events_.OnResize(s);
    } else if (verb == "wait" && IsWaitIdle(line)) {
      // Dispatched only once the operation has ended (see Pending).
    } else if (verb == "wait") {
      uint64_t until = os::TickCount() + static_cast<uint64_t>(atoll(w.size() > 1 ? w[1].c_str() : "0"));
      waiting_ = true;
      while (os::TickCount() < until) {
        os::WaitForEvents(static_cast<uint32_t>(until - os::TickCount()));
        os::PumpEvents();
      }
      waiting_ = false;
    } else if (verb == "show") {
      Print(RenderWindow(*this, true));
    } else if (verb == "disk") {
      Print(RenderDisk(w.size() > 1 ? atoi(w[1].c_str()) : -1));
    } else if (verb == "swap") {
      Swap(w);
    } else if (verb == "bootmenu") {
      Print(RenderBootStore());
    } else if (verb == "emulator") {
      Print(RenderEmulatorLog(w.size() > 1 ? static_cast<size_t>(atoi(w[1].c_str())) : 5));
    } else if (verb == "dir") {
      if (w.size() < 2) return Fail("dir: name a folder, such as C:\\WinPE");
      Print(RenderFolder(Rest(w, 1), 200));
    } else if (verb == "log") {
      const std::string& run = sys::ThisRunLog();
      Print(run.empty() ? "  log: (nothing logged in this run)\n" : sys::ReplaceAll(run, "\r\n", "\n"));
    } else if (verb == "taskbar") {
      std::string calls;
      for (const os::sim::TaskbarCall& call : os::sim::TaskbarCalls())
        if (call.window == Handle()) calls += "  taskbar: " + TaskbarText(call) + "\n";
      Print(calls.empty() ? "  taskbar: (no calls)\n" : calls);
    } else if (verb == "expect") {
      Expect(w);
    } else if (verb == "close") {
      closeRequested_ = true;
    } else if (verb == "endsession") {
      EndSession(w.size() > 1 && sys::LowerAscii(w[1]) == "force");
    } else {
      Fail("unknown command: " + line);
    }
  }

  // Logoff or shutdown: the window is asked first; the session ends when it
  // agrees or when the end is forced, and the process with it, at once, as
  // the system ends it.
  void EndSession(bool force) {
    std::string reason = events_.OnQueryEndSession();
    if (!reason.empty()) Print("  (the session's end is held up: " + reason + ")\n");
    if (!reason.empty() && !force) return;
    Print("  (the session ends)\n");
    events_.OnEndSession();
    fflush(stdout);
    fflush(stderr);
    _Exit(status());
  }

  MainWindowEvents& events_;
  ConsoleOptions options_;
  std::deque<std::string> queue_;
  std::string partial_;
  bool inputEnded_ = false;
  bool closeRequested_ = false;
  bool failed_ = false;
  bool shownOnce_ = false;
  bool changed_ = false;
  bool waiting_ = false;
  bool progressChanged_ = false;
  std::string lastProgress_;
  static ConsoleWindow* current_;
};

ConsoleWindow* ConsoleWindow::current_ = nullptr;

}  // namespace

int RunConsoleWindow() {
  ConsoleWindow* w = ConsoleWindow::current();
  if (!w) return 1;
  while (true) {
    os::PumpEvents();
    w = ConsoleWindow::current();
    if (!w) break;
    w->DiscardStrayAnswer();
    if (w->closeRequested()) {
      if (w->AllowedToClose()) break;
      w->RefuseClose();
    }
    // A script closes the window at its end, as a person would.
    if ((w->scriptDone() || (w->inputEnded() && !w->Pending())) && w->AllowedToClose()) break;
    os::WaitForEvents(os::kInfinite);
  }
  return w ? w->status() : 1;
}

std::unique_ptr<os::MainWindow> CreateConsoleWindow(os::MainWindowEvents& events, const ConsoleOptions& options) {
  return std::make_unique<ConsoleWindow>(events, options);
}

}  // namespace ui::console
