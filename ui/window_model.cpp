#include "ui/window_model.h"

#include <algorithm>

#include "os/menu.h"
#include "os/window_procedure.h"
#include "sys/text.h"
#include "ui/about_model.h"
#include "ui/size_dialog_model.h"

namespace ui {

using os::Control;

WindowModel::WindowModel() {
  // The design captions and contents, before the language file replaces them.
  captions_[Control::kLabel3] = "\xE9\x80\x89\xE6\x8B\xA9\xE7\xA3\x81\xE7\x9B\x98\xEF\xBC\x9A";  // 选择磁盘：
  captions_[Control::kLabel0] = "\xE5\x88\xB6\xE4\xBD\x9C\xE6\xA8\xA1\xE5\xBC\x8F\xEF\xBC\x9A";  // 制作模式：
  captions_[Control::kLabel1] = "\xE5\x88\x86\xE5\x8C\xBA\xE6\xA0\xBC\xE5\xBC\x8F\xEF\xBC\x9A";  // 分区格式：
  captions_[Control::kUReFresh] = "\xE5\x88\xB7\xE6\x96\xB0";                                   // 刷新
  captions_[Control::kCommand1] = "\xE5\xBC\x80\xE5\xA7\x8B\xE5\x88\xB6\xE4\xBD\x9C";           // 开始制作
  // 还原空间（F2）
  captions_[Control::kStatus] = "\xE8\xBF\x98\xE5\x8E\x9F\xE7\xA9\xBA\xE9\x97\xB4\xEF\xBC\x88" "F2\xEF\xBC\x89";
  lists_[Control::kFSFor].entries = {"NTFS", "FAT32", "exFAT"};
  timers_[os::TimerId::kTimer1] = {10, false};
  timers_[os::TimerId::kTimerProg] = {1000, false};
}

// The platform forgets the window's procedures and system menu with it.
WindowModel::~WindowModel() { os::WindowDestroyed(*this); }

void WindowModel::NotifyChanged() const {
  if (changed_) changed_();
}

void WindowModel::SetTitle(std::string_view title) {
  title_ = title;
  NotifyChanged();
}

void WindowModel::SetState(os::WindowState state) {
  state_ = state;
  NotifyChanged();
}

void WindowModel::Show() {
  visible_ = true;
  NotifyChanged();
}

void WindowModel::Hide() {
  visible_ = false;
  NotifyChanged();
}

void WindowModel::SetCaption(Control control, std::string_view text) {
  captions_[control] = text;
  NotifyChanged();
}

std::string WindowModel::Caption(Control control) const {
  auto it = captions_.find(control);
  return it == captions_.end() ? "" : it->second;
}

void WindowModel::SetEnabled(Control control, bool enabled) {
  disabled_[control] = !enabled;
  NotifyChanged();
}

bool WindowModel::IsEnabled(Control control) const {
  auto it = disabled_.find(control);
  return it == disabled_.end() || !it->second;
}

void WindowModel::ListClear(Control list) {
  lists_[list].entries.clear();
  lists_[list].index = -1;
  NotifyChanged();
}

void WindowModel::ListAdd(Control list, std::string_view entry) {
  lists_[list].entries.emplace_back(entry);
  NotifyChanged();
}

int WindowModel::ListCount(Control list) const {
  auto it = lists_.find(list);
  return it == lists_.end() ? 0 : static_cast<int>(it->second.entries.size());
}

std::string WindowModel::ListItem(Control list, int index) const {
  auto it = lists_.find(list);
  if (it == lists_.end() || index < 0 || index >= static_cast<int>(it->second.entries.size())) return "";
  return it->second.entries[static_cast<size_t>(index)];
}

void WindowModel::ListSetItem(Control list, int index, std::string_view entry) {
  auto& l = lists_[list];
  if (index < 0 || index >= static_cast<int>(l.entries.size())) return;
  l.entries[static_cast<size_t>(index)] = entry;
  NotifyChanged();
}

int WindowModel::ListIndex(Control list) const {
  auto it = lists_.find(list);
  return it == lists_.end() ? -1 : it->second.index;
}

void WindowModel::SetListIndex(Control list, int index) {
  auto& l = lists_[list];
  l.index = index >= 0 && index < static_cast<int>(l.entries.size()) ? index : -1;
  NotifyChanged();
}

std::string WindowModel::ListText(Control list) const { return ListItem(list, ListIndex(list)); }

void WindowModel::SetTimerInterval(os::TimerId timer, uint32_t intervalMs) {
  timers_[timer].interval = intervalMs;
  if (timerChanged_) timerChanged_(timer);
}

void WindowModel::SetTimerEnabled(os::TimerId timer, bool enabled) {
  timers_[timer].enabled = enabled;
  if (timerChanged_) timerChanged_(timer);
}

uint32_t WindowModel::TimerInterval(os::TimerId timer) const {
  auto it = timers_.find(timer);
  return it == timers_.end() ? 0 : it->second.interval;
}

bool WindowModel::TimerEnabled(os::TimerId timer) const {
  auto it = timers_.find(timer);
  return it != timers_.end() && it->second.enabled;
}

os::ProgressBarWindow& WindowModel::ProgressBar1Window() {
  // In the status row, beside the status line, as on the Windows window.
  if (!progressBar1Window_) progressBar1Window_ = os::CreateProgressBarWindow(0, 0, 340, 98, 200, 18);
  return *progressBar1Window_;
}

int WindowModel::ShowMessage(std::string_view text, std::string_view title, uint32_t style) {
  ShownMessage m{std::string(text), std::string(title.empty() ? std::string_view("Tarnvale") : title), style, os::kIdOk};
  if (answerer_) m.answer = answerer_(m);
  messages_.push_back(m);
  return m.answer;
}

// The marks are the system menu's once it holds the entries, so that the
// menu itself and these calls always agree.
void WindowModel::SetMenuChecked(int id, bool checked) {
  if (os::CheckMenuEntry(os::GetSystemMenu(*this), static_cast<uintptr_t>(id), checked) == os::kMenuNoEntry)
    checks_[id] = checked;
  NotifyChanged();
}

bool WindowModel::IsMenuChecked(int id) const {
  int32_t state = os::GetMenuState(os::GetSystemMenu(*this), static_cast<uintptr_t>(id));
  if (state != os::kMenuNoEntry) return (state & os::kMfChecked) != 0;
  auto it = checks_.find(id);
  return it != checks_.end() && it->second;
}

std::string WindowModel::SetFontName(std::string_view face) {
  // A font that is not installed gives the default face, as the platform
  // substitutes one.
  bool installed = std::any_of(installedFonts_.begin(), installedFonts_.end(),
                               [&](const std::string& f) { return sys::EqualsNoCase(f, face); });
  font_ = installed ? std::string(face) : "MS Sans Serif";
  fontPoints_ = 9;
  fontCharset_ = 1;
  NotifyChanged();
  return font_;
}

void WindowModel::SetMetrics(int twipsPerPixel, int averageCharWidth, int scrollBarWidth) {
  twipsPerPixel_ = twipsPerPixel;
  charWidth_ = averageCharWidth;
  scrollBarWidth_ = scrollBarWidth;
}

int WindowModel::ControlHeight(Control control) const {
  // The refresh and start buttons are 25 pixels high, the lists 21.
  switch (control) {
    case Control::kUReFresh:
    case Control::kCommand1: return 25;
    case Control::kRDriver:
    case Control::kFsys:
    case Control::kFSFor: return 21;
    default: return 17;
  }
}

int WindowModel::TextWidth(Control, std::string_view text) const {
  return static_cast<int>(sys::CountChars(text)) * charWidth_;
}

void WindowModel::SetListFieldHeight(Control list, int pixels) { lists_[list].fieldHeight = pixels; }

void WindowModel::SetListDroppedWidth(Control list, int pixels) { lists_[list].droppedWidth = pixels; }

int WindowModel::ListFieldHeight(Control list) const {
  auto it = lists_.find(list);
  return it == lists_.end() ? 0 : it->second.fieldHeight;
}

int WindowModel::ListDroppedWidth(Control list) const {
  auto it = lists_.find(list);
  return it == lists_.end() ? 0 : it->second.droppedWidth;
}

std::unique_ptr<os::SizeDialog> WindowModel::CreateSizeDialog(os::SizeDialogEvents& events) {
  return std::make_unique<SizeDialogModel>(*this, events);
}

std::unique_ptr<os::AboutWindow> WindowModel::CreateAboutWindow(os::AboutWindowEvents& events) {
  return std::make_unique<AboutModel>(*this, events);
}

}  // namespace ui
