#include "ui/console/render.h"

#include <algorithm>

#include "os/events.h"
#include "sys/text.h"

namespace ui::console {

using os::Control;
namespace {

std::string Button(const ui::WindowModel& w, Control c) {
  std::string text = "[" + w.Caption(c) + "]";
  return w.IsEnabled(c) ? text : text + "(disabled)";
}

std::string List(const ui::WindowModel& w, Control c) {
  std::string text = "[" + w.ListText(c) + " v]";
  return w.IsEnabled(c) ? text : text + "(disabled)";
}

std::string Line(size_t width) {
  std::string s;
  for (size_t i = 0; i < width; ++i) s += "\xE2\x94\x80";  // ─
  return s;
}

}  // namespace

namespace {

constexpr int kBarCells = 20;

std::string MarqueeBar(const os::sim::SimProgressBarWindow& bar, uint64_t nowMs, bool moving) {
  if (!bar.MarqueeRunning()) return "[" + std::string(kBarCells, ' ') + "] stopped";
  // The mark moves one cell per 200 ms of the marquee's animation at its
  // default speed, faster or slower with its interval.
  uint64_t step = nowMs * 30 / 200 / std::max<uint32_t>(bar.MarqueeInterval(), 1);
  size_t at = moving ? static_cast<size_t>(step % (kBarCells - 2)) : 0;
  std::string cells(kBarCells, ' ');
  cells.replace(at, 3, "<=>");
  return "[" + cells + "] busy";
}

std::string Render(const os::sim::SimProgressBarWindow& bar, uint64_t nowMs, bool moving) {
  if (!bar.HasBar()) return "[" + std::string(kBarCells, ' ') + "]";
  if (bar.MarqueeStyle()) return MarqueeBar(bar, nowMs, moving);
  int64_t min = bar.RangeMin(), max = bar.RangeMax();
  int64_t percent = max > min ? (bar.Position() - min) * 100 / (max - min) : 0;
  int64_t filled = percent * kBarCells / 100;
  std::string state = bar.BarState() == os::kPbstError ? " (error)" : bar.BarState() == os::kPbstPaused ? " (paused)" : "";
  return "[" + std::string(static_cast<size_t>(filled), '#') + std::string(static_cast<size_t>(kBarCells - filled), '.') +
         "] " + std::to_string(percent) + "%" + state;
}

}  // namespace

std::string RenderProgress(const os::sim::SimProgressBarWindow& bar, uint64_t nowMs) { return Render(bar, nowMs, true); }

std::string RenderProgressState(const os::sim::SimProgressBarWindow& bar) { return Render(bar, 0, false); }

std::string RenderWindow(ui::WindowModel& w, bool lists) {
  std::string title = w.Title();
  std::string out = "\xE2\x94\x8C\xE2\x94\x80 " + title + " " + Line(title.size() < 60 ? 60 - sys::CountChars(title) : 2) + "\n";
  const std::string bar = "\xE2\x94\x82 ";  // │
  out += bar + w.Caption(Control::kLabel3) + " " + List(w, Control::kRDriver) + " " + Button(w, Control::kUReFresh) + "\n";
  out += bar + w.Caption(Control::kLabel0) + " " + List(w, Control::kFsys) + "  " + w.Caption(Control::kLabel1) + " " +
         List(w, Control::kFSFor) + "\n";
  std::string percent = w.Caption(Control::kLProgress);
  const auto& progress = static_cast<const os::sim::SimProgressBarWindow&>(w.ProgressBar1Window());
  out += bar + Button(w, Control::kCommand1) + "  " + w.Caption(Control::kStatus) + "  " +
         RenderProgress(progress, os::TickCount()) +
         (percent.empty() ? "" : "  " + percent) + "\n";
  out += "\xE2\x94\x94" + Line(64) + "\n";  // └
  if (lists) {
    for (auto [name, c] : {std::pair{"RDriver", Control::kRDriver}, std::pair{"Fsys", Control::kFsys},
                           std::pair{"FSFor", Control::kFSFor}}) {
      out += "  " + std::string(name) + ":";
      if (w.ListCount(c) == 0) out += " (empty)";
      out += "\n";
      for (int i = 0; i < w.ListCount(c); ++i)
        out += std::string(i == w.ListIndex(c) ? "   > " : "     ") + std::to_string(i) + ") " + w.ListItem(c, i) + "\n";
    }
  }
  return out;
}

std::string RenderMessage(const ui::ShownMessage& m) {
  std::string icon;
  switch (m.style & 0xF0) {
    case 0x10: icon = "(x) "; break;
    case 0x20: icon = "(?) "; break;
    case 0x30: icon = "(!) "; break;
    case 0x40: icon = "(i) "; break;
    default: break;
  }
  std::string out = "  +-- " + icon + m.title + "\n";
  // Line breaks of the text (CR, LF or both) start new lines in the box.
  std::string text = sys::ReplaceAll(sys::ReplaceAll(m.text, "\r\n", "\n"), "\r", "\n");
  for (const std::string& line : sys::Split(text, "\n")) out += "  | " + line + "\n";
  out += (m.style & 0x0F) == 1 ? "  +-- [OK] [Cancel]\n" : "  +-- [OK]\n";
  return out;
}

}  // namespace ui::console
