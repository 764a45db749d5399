#include "ui/console/render.h"

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

std::string RenderProgress(const ui::WindowModel& w) {
  if (w.ProgressMarquee()) return "[ <=>       ] working";
  int v = w.ProgressValue();
  int filled = v < 0 ? 0 : v > 100 ? 10 : v / 10;
  return "[" + std::string(static_cast<size_t>(filled), '#') + std::string(static_cast<size_t>(10 - filled), '.') +
         "] " + std::to_string(v) + "%";
}

std::string RenderWindow(const ui::WindowModel& w, bool lists) {
  std::string title = w.Title();
  std::string out = "\xE2\x94\x8C\xE2\x94\x80 " + title + " " + Line(title.size() < 60 ? 60 - sys::CountChars(title) : 2) + "\n";
  const std::string bar = "\xE2\x94\x82 ";  // │
  out += bar + w.Caption(Control::kLabel3) + " " + List(w, Control::kRDriver) + " " + Button(w, Control::kUReFresh) + "\n";
  out += bar + w.Caption(Control::kLabel0) + " " + List(w, Control::kFsys) + "  " + w.Caption(Control::kLabel1) + " " +
         List(w, Control::kFSFor) + "\n";
  std::string percent = w.Caption(Control::kLProgress);
  out += bar + Button(w, Control::kCommand1) + "  " + w.Caption(Control::kStatus) + "  " + RenderProgress(w) +
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
