#include "ui/console/dialogs_console.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "os/events.h"
#include "os/menu.h"
#include "os/sim/event_loop.h"
#include "os/sim/mci_devices.h"
#include "os/sim/windows.h"
#include "sys/text.h"

namespace ui::console {
namespace {

using C = os::SizeDialogControl;
using os::AboutTimer;
using os::sim::EventLoop;

// Timers of the event loop, beside the main window's 1 and 2.
constexpr int kTimerForm2 = 11;
constexpr int kTimerAbout1 = 21;
constexpr int kTimerAbout2 = 22;

SizeDialogModel* g_form2 = nullptr;
AboutModel* g_about = nullptr;

std::string Rest(const std::vector<std::string>& w, size_t from) {
  std::string out;
  for (size_t i = from; i < w.size(); ++i) out += (i > from ? " " : "") + w[i];
  return out;
}

std::string Line(size_t width) {
  std::string s;
  for (size_t i = 0; i < width; ++i) s += "\xE2\x94\x80";  // ─
  return s;
}

std::string Top(const std::string& title) {
  size_t n = sys::CountChars(title);
  return "\xE2\x94\x8C\xE2\x94\x80 " + title + " " + Line(n < 56 ? 56 - n : 2) + "\n";
}

const std::string kBar = "\xE2\x94\x82 ";  // │

std::string Bottom() { return "\xE2\x94\x94" + Line(60) + "\n"; }

std::optional<C> FieldNamed(const std::string& name) {
  std::string n = sys::LowerAscii(name);
  if (n == "ud" || n == "text1") return C::kText1;
  if (n == "efi" || n == "text2") return C::kText2;
  return std::nullopt;
}

// A label of the About window: its number, or the name of a link.
std::optional<int> LabelNamed(const std::string& name) {
  std::string n = sys::LowerAscii(name);
  if (n == "guide") return 3;
  if (n == "donate") return 5;
  if (n.size() == 1 && n[0] >= '0' && n[0] <= '5') return n[0] - '0';
  return std::nullopt;
}

std::string Tabs(const std::string& text) { return sys::ReplaceAll(text, "\t", "  "); }

// Every entry id, top down, a submenu's entries after the entry that opens it.
void FlatIds(os::MenuHandle menu, std::vector<std::string>& out, int depth = 0) {
  if (depth > 4) return;
  for (const os::MenuEntry& e : os::MenuEntries(menu)) {
    if (e.submenu) FlatIds(e.submenu, out, depth + 1);
    else out.push_back(std::to_string(e.id));
  }
}

std::optional<os::MenuEntry> FindEntry(os::MenuHandle menu, uintptr_t id, int depth = 0) {
  if (depth > 4) return std::nullopt;
  for (const os::MenuEntry& e : os::MenuEntries(menu)) {
    if (e.submenu) {
      if (auto inner = FindEntry(e.submenu, id, depth + 1)) return inner;
    } else if (e.id == id) {
      return e;
    }
  }
  return std::nullopt;
}

void RenderMenu(os::MenuHandle menu, int depth, std::string& out) {
  if (depth > 4) return;
  std::string indent(static_cast<size_t>(4 + depth * 6), ' ');
  for (const os::MenuEntry& e : os::MenuEntries(menu)) {
    std::string line = indent;
    if (e.submenu) {
      line += ">       ";
    } else {
      std::string id = std::to_string(e.id);
      line += id + std::string(id.size() < 6 ? 6 - id.size() : 1, ' ');
      line += (e.state & os::kMfChecked) ? "[x] " : "[ ] ";
    }
    if (e.state & os::kMfSeparator) line += "----------";
    else line += Tabs(e.text);
    if (e.state & os::kMfGrayed) line += "  (grayed)";
    if (e.picture >= 0) line += "  {" + os::sim::PictureName(e.picture) + "}";
    out += line + "\n";
    if (e.submenu) RenderMenu(e.submenu, depth + 1, out);
  }
}

std::string TuneState(std::string* detail) {
  auto device = os::sim::FindMciDevice("MIDI");
  if (!device) {
    if (detail) *detail = "not open";
    return "closed";
  }
  std::string state = device->playing ? "playing" : "stopped";
  if (detail)
    *detail = state + " at " + std::to_string(device->positionMs) + " of " + std::to_string(device->lengthMs) + " ms";
  return state;
}

std::string Animation(const AboutModel& a) {
  if (a.TimerEnabled(AboutTimer::kTimer1)) return "moving";
  return a.AnimationStarted() ? "resting" : "still";
}

// Keeps a model's timers on the event loop while it is shown.
void RunTimer(int id, bool enabled, uint32_t interval, std::function<void()> tick) {
  if (enabled && interval > 0) EventLoop::Get().SetTimer(id, interval, std::move(tick));
  else EventLoop::Get().KillTimer(id);
}

void HookForm2(SizeDialogModel& d) {
  auto apply = [&d] { RunTimer(kTimerForm2, d.TimerEnabled(), d.TimerInterval(), [&d] { d.FireTimer(); }); };
  d.SetTimerChanged(apply);
  apply();
}

void HookAbout(AboutModel& a) {
  auto apply = [&a](AboutTimer t) {
    int id = t == AboutTimer::kTimer1 ? kTimerAbout1 : kTimerAbout2;
    RunTimer(id, a.TimerEnabled(t), a.TimerInterval(t), [&a, t] { a.FireTimer(t); });
  };
  a.SetTimerChanged(apply);
  apply(AboutTimer::kTimer1);
  apply(AboutTimer::kTimer2);
}

template <typename Dialog>
void RunModal(Dialog& dialog, ConsoleIo& io, const std::function<void()>& close) {
  while (!dialog.IsClosed()) {
    io.DropStrayAnswer();
    if (io.InputOver()) {
      close();  // a script that ends leaves the dialog as a person would
      break;
    }
    os::WaitForEvents(os::kInfinite);
    os::PumpEvents();
  }
}

bool Form2Command(const std::vector<std::string>& w, ConsoleIo& io) {
  if (!g_form2) {
    io.Complain("the partition size dialog is not open");
    return true;
  }
  SizeDialogModel& d = *g_form2;
  std::string verb = w.size() > 1 ? sys::LowerAscii(w[1]) : "show";
  if (verb == "show") {
    io.Write(RenderSizeDialog(d));
    return true;
  }
  if (verb == "close") {
    d.Close();
    return true;
  }
  auto field = w.size() > 2 ? FieldNamed(w[2]) : std::nullopt;
  if (!field) {
    io.Complain("form2 " + verb + ": name a field, UD or EFI");
    return true;
  }
  if (d.OutOfSight(*field)) {
    io.Complain("the " + w[2] + " field is out of sight");
    return true;
  }
  if (verb == "click") {
    d.ClickField(*field);
  } else if (verb == "type") {
    // "\b" stands for a backspace.
    std::string text = sys::ReplaceAll(Rest(w, 3), "\\b", "\b");
    for (char c : text) d.TypeChar(*field, static_cast<unsigned char>(c));
  } else if (verb == "key") {
    std::string key = sys::LowerAscii(Rest(w, 3));
    int code = key == "backspace" ? 8 : key == "ctrl+v" ? 22 : key == "ctrl+c" ? 3 : key == "ctrl+x" ? 24
               : key == "tab" ? 9 : key.size() == 1 ? static_cast<unsigned char>(Rest(w, 3)[0]) : -1;
    if (code < 0) io.Complain("form2 key: such as Backspace, Ctrl+V or one character");
    else d.TypeChar(*field, code);
  } else if (verb == "paste") {
    d.Paste(*field, Rest(w, 3));
  } else {
    io.Complain("form2: show, click, type, key, paste or close");
  }
  if (io.Interactive() && !io.Quiet() && g_form2) io.Write(RenderSizeDialog(*g_form2));
  return true;
}

bool AboutCommand(const std::vector<std::string>& w, ConsoleIo& io) {
  if (!g_about) {
    io.Complain("the About window is not open");
    return true;
  }
  AboutModel& a = *g_about;
  std::string verb = w.size() > 1 ? sys::LowerAscii(w[1]) : "show";
  if (verb == "show") {
    io.Write(RenderAbout(a));
    return true;
  }
  if (verb == "close") {
    a.Close();
    return true;
  }
  std::string what = w.size() > 2 ? sys::LowerAscii(w[2]) : "";
  if (verb == "click" && (what == "logo" || what == "image1")) {
    a.ClickImage();
  } else if (verb == "click" || verb == "hover") {
    auto label = LabelNamed(what);
    if (!label) return io.Complain("about " + verb + ": logo, guide, donate or a label 0 to 5"), true;
    if (!a.LabelVisible(*label)) return io.Complain("label " + std::to_string(*label) + " is not shown"), true;
    if (verb == "click") a.ClickLabel(*label);
    else a.HoverLabel(*label);
  } else {
    io.Complain("about: show, click, hover or close");
  }
  if (io.Interactive() && !io.Quiet() && g_about) io.Write(RenderAbout(*g_about));
  return true;
}

}  // namespace

void RunSizeDialog(SizeDialogModel& dialog, ConsoleIo& io) {
  g_form2 = &dialog;
  HookForm2(dialog);
  // Nobody types within the dialog's first moment: its one-shot timer
  // selects the first field before the next line is taken.
  bool held = io.HoldInput(true);
  while (dialog.TimerEnabled() && !dialog.IsClosed()) {
    os::WaitForEvents(dialog.TimerInterval());
    os::PumpEvents();
  }
  io.HoldInput(held);
  if (!io.Quiet()) io.Write(RenderSizeDialog(dialog));
  RunModal(dialog, io, [&dialog] { dialog.Close(); });
  dialog.SetTimerChanged(nullptr);
  EventLoop::Get().KillTimer(kTimerForm2);
  g_form2 = nullptr;
  if (!io.Quiet()) io.Write("  (the partition size dialog is closed)\n");
}

void RunAboutWindow(AboutModel& about, ConsoleIo& io) {
  g_about = &about;
  HookAbout(about);
  if (!io.Quiet()) io.Write(RenderAbout(about));
  RunModal(about, io, [&about] { about.Close(); });
  about.SetTimerChanged(nullptr);
  EventLoop::Get().KillTimer(kTimerAbout1);
  EventLoop::Get().KillTimer(kTimerAbout2);
  g_about = nullptr;
  if (!io.Quiet()) io.Write("  (the About window is closed)\n");
}

std::string OpenDialog() {
  if (g_form2) return "form2";
  if (g_about) return "about";
  return "";
}

void CloseOpenDialog() {
  if (g_form2) g_form2->Close();
  else if (g_about) g_about->Close();
}

bool ExecuteDialogCommand(const std::vector<std::string>& w, WindowModel& window, ConsoleIo& io) {
  std::string verb = sys::LowerAscii(w[0]);
  // The open dialog has the input: "type UD 500" is "form2 type UD 500".
  std::string open = OpenDialog();
  bool dialogVerb = verb == "type" || verb == "key" || verb == "paste" || verb == "hover" || verb == "click";
  if (!open.empty() && dialogVerb) {
    std::string target = w.size() > 1 ? sys::LowerAscii(w[1]) : "";
    bool mainControl = target == "command1" || target == "urefresh" || target == "status" || target == "rdriver" ||
                       target == "fsys" || target == "fsfor";
    if (!(verb == "click" && mainControl) && !(verb == "key" && w.size() < 3)) {
      std::vector<std::string> routed{open};
      routed.insert(routed.end(), w.begin(), w.end());
      return open == "form2" ? Form2Command(routed, io) : AboutCommand(routed, io);
    }
  }
  if (verb == "sysmenu") {
    io.Write(RenderSystemMenu(window));
    return true;
  }
  if (verb == "form2") return Form2Command(w, io);
  if (verb == "about") return AboutCommand(w, io);
  return false;
}

bool ExpectDialog(const std::vector<std::string>& w, WindowModel& window, ConsoleIo& io) {
  std::string what = w.size() > 1 ? sys::LowerAscii(w[1]) : "";
  auto check = [&](bool ok, const std::string& actual) {
    if (!ok) io.Complain("expected " + Rest(w, 1) + ", but it is: " + actual);
    return true;
  };
  os::MenuHandle menu = os::GetSystemMenu(window);
  if (what == "checked" || what == "unchecked") {
    uintptr_t id = static_cast<uintptr_t>(atoll(w.size() > 2 ? w[2].c_str() : "0"));
    int32_t state = os::GetMenuState(menu, id);
    if (state == os::kMenuNoEntry) return check(false, "no such entry");
    bool checked = (state & os::kMfChecked) != 0;
    return check(checked == (what == "checked"), checked ? "checked" : "unchecked");
  }
  if (what == "menu") {
    std::vector<std::string> ids;
    FlatIds(menu, ids);
    std::vector<std::string> want(w.begin() + 2, w.end());
    bool ok = want.size() <= ids.size() && std::equal(want.begin(), want.end(), ids.begin());
    return check(ok, Rest(ids, 0));
  }
  if (what == "menutext" || what == "nomenu") {
    uintptr_t id = static_cast<uintptr_t>(atoll(w.size() > 2 ? w[2].c_str() : "0"));
    auto entry = FindEntry(menu, id);
    if (what == "nomenu") return check(!entry, "there is one");
    return check(entry && Tabs(entry->text) == Tabs(Rest(w, 3)), entry ? Tabs(entry->text) : "no such entry");
  }
  if (what == "dialog") {
    std::string open = OpenDialog();
    std::string want = sys::LowerAscii(Rest(w, 2));
    return check(open == (want == "none" ? "" : want), open.empty() ? "none" : open);
  }
  if (what == "form2") {
    if (!g_form2) return check(false, "the dialog is not open");
    const SizeDialogModel& d = *g_form2;
    std::string kind = w.size() > 2 ? sys::LowerAscii(w[2]) : "";
    if (kind == "title") return check(d.Title() == Rest(w, 3), d.Title());
    auto field = w.size() > 3 ? FieldNamed(w[3]) : std::nullopt;
    if (!field) return io.Complain("expect form2: title, or text|hidden|shown|selected with UD or EFI"), true;
    if (kind == "text") return check(d.Text(*field) == Rest(w, 4), d.Text(*field));
    if (kind == "hidden") return check(d.OutOfSight(*field), "shown");
    if (kind == "shown") return check(!d.OutOfSight(*field), "out of sight");
    if (kind == "selected") {
      bool all = d.Focused() == *field && d.SelectionStart(*field) == 0 &&
                 d.SelectionLength(*field) == static_cast<int>(d.Text(*field).size());
      return check(all, "not wholly selected");
    }
    return io.Complain("expect form2: title, text, hidden, shown or selected"), true;
  }
  if (what == "about") {
    if (!g_about) return check(false, "the About window is not open");
    const AboutModel& a = *g_about;
    std::string kind = w.size() > 2 ? sys::LowerAscii(w[2]) : "";
    if (kind == "title") return check(a.Title() == Rest(w, 3), a.Title());
    if (kind == "line" || kind == "label") {
      auto label = w.size() > 3 ? LabelNamed(w[3]) : std::nullopt;
      if (!label) return io.Complain("expect about " + kind + ": a label 0 to 5, guide or donate"), true;
      if (kind == "line") return check(a.Label(*label) == Rest(w, 4), a.Label(*label));
      std::string state = a.LabelVisible(*label) ? "shown" : "hidden";
      return check(state == sys::LowerAscii(Rest(w, 4)), state);
    }
    if (kind == "animation") {
      std::string state = Animation(a);
      return check(state == sys::LowerAscii(Rest(w, 3)), state);
    }
    if (kind == "tune") {
      std::string state = TuneState(nullptr);
      return check(state == sys::LowerAscii(Rest(w, 3)), state);
    }
    if (kind == "prog1") {
      std::string state = a.Prog1Shown() ? "shown" : "hidden";
      return check(state == sys::LowerAscii(Rest(w, 3)), state);
    }
    return io.Complain("expect about: title, line, label, animation, tune or prog1"), true;
  }
  return false;
}

std::string RenderSystemMenu(WindowModel& window) {
  std::string out = "  System menu:\n";
  RenderMenu(os::GetSystemMenu(window), 0, out);
  return out;
}

std::string RenderSizeDialog(const SizeDialogModel& d) {
  std::string out = Top(d.Title());
  auto row = [&](C caption, C field, C bounds) {
    std::string name = field == C::kText1 ? "UD" : "EFI";
    if (d.OutOfSight(field)) {
      out += kBar + "(" + name + " row out of sight: " + d.Text(caption) + " [" + d.Text(field) + "])\n";
      return;
    }
    std::string text = d.Text(field);
    int start = d.SelectionStart(field), length = d.SelectionLength(field);
    std::string shown = text;
    bool focused = d.Focused() == field;
    if (focused && length > 0)
      shown = text.substr(0, static_cast<size_t>(start)) + "<" + text.substr(static_cast<size_t>(start), static_cast<size_t>(length)) +
              ">" + text.substr(static_cast<size_t>(start + length));
    else if (focused)
      shown = text.substr(0, static_cast<size_t>(start)) + "|" + text.substr(static_cast<size_t>(start));
    out += kBar + d.Text(caption) + " [" + shown + "] " + d.Text(bounds) + (focused ? "   <- focus" : "") + "\n";
  };
  row(C::kLabel1, C::kText1, C::kLabel11);
  row(C::kLabel2, C::kText2, C::kLabel22);
  out += Bottom();
  return out;
}

std::string RenderAbout(const AboutModel& a) {
  std::string out = Top(a.Title());
  out += kBar + "[logo] " + Animation(a) + ", top " + std::to_string(a.ImageTop()) + " of " +
         std::to_string(a.InnerHeight() - a.ImageHeight()) + " twips\n";
  out += kBar + a.Label(0) + "\n";
  out += kBar + a.Label(1) + "\n";
  std::string links = kBar;
  for (int i = 2; i < os::kAboutLabelCount; ++i) {
    if (!a.LabelVisible(i)) continue;
    bool link = i == 3 || i == 5;
    links += (link ? "_" + a.Label(i) + "_" : a.Label(i)) + " ";
  }
  out += links + "\n";
  std::string tune;
  TuneState(&tune);
  out += kBar + "tune: " + tune;
  if (a.Prog1Shown()) {
    int32_t value = a.Prog1Value();
    int32_t max = a.Prog1Max() > 0 ? a.Prog1Max() : 1;
    int32_t v = value < 0 ? 0 : value > max ? max : value;
    size_t filled = static_cast<size_t>(static_cast<int64_t>(v) * 10 / max);
    out += "   Prog1 [" + std::string(filled, '#') + std::string(10 - filled, '.') + "] " + std::to_string(value) +
           " of " + std::to_string(a.Prog1Max());
  } else {
    out += "   Prog1 hidden";
  }
  out += "\n" + Bottom();
  return out;
}

}  // namespace ui::console
