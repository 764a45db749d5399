#include "ui/about_model.h"

#include "ui/window_model.h"

namespace ui {

AboutModel::AboutModel(WindowModel& owner, os::AboutWindowEvents& events)
    : owner_(owner), events_(events), prog1_(os::CreateProgressBarWindow(0, 0, 110, 150, 296, 14)) {
  // Hidden until the tune plays.
  prog1_->SetVisible(false);
}

int32_t AboutModel::Prog1Max() const {
  return static_cast<int32_t>(prog1_->SendToBar(os::kPbmGetRange, 0, 0));
}

int32_t AboutModel::Prog1Value() const { return static_cast<int32_t>(prog1_->SendToBar(os::kPbmGetPos, 0, 0)); }

void AboutModel::SetLabel(int index, std::string_view text) {
  if (Valid(index)) labels_[static_cast<size_t>(index)].text = text;
}

std::string AboutModel::Label(int index) const { return Valid(index) ? labels_[static_cast<size_t>(index)].text : ""; }

void AboutModel::SetLabelVisible(int index, bool visible) {
  if (Valid(index)) labels_[static_cast<size_t>(index)].visible = visible;
}

bool AboutModel::LabelVisible(int index) const { return Valid(index) && labels_[static_cast<size_t>(index)].visible; }

void AboutModel::SetLabelTip(int index, std::string_view tip) {
  if (Valid(index)) labels_[static_cast<size_t>(index)].tip = tip;
}

std::string AboutModel::LabelTip(int index) const { return Valid(index) ? labels_[static_cast<size_t>(index)].tip : ""; }

void AboutModel::SetLabelLeft(int index, int twips) {
  if (Valid(index)) labels_[static_cast<size_t>(index)].left = twips;
}

int AboutModel::LabelLeft(int index) const { return Valid(index) ? labels_[static_cast<size_t>(index)].left : 0; }

int AboutModel::LabelWidth(int index) const {
  if (!Valid(index)) return 0;
  // As wide as its text in the window's font, as the Windows label is.
  return owner_.TextWidth(os::Control::kLabel3, labels_[static_cast<size_t>(index)].text) * owner_.TwipsPerPixelX();
}

void AboutModel::SetTimerInterval(os::AboutTimer t, uint32_t intervalMs) {
  Slot(t).interval = intervalMs;
  if (timerChanged_) timerChanged_(t);
}

void AboutModel::SetTimerEnabled(os::AboutTimer t, bool enabled) {
  Slot(t).enabled = enabled;
  if (enabled && t == os::AboutTimer::kTimer1) started_ = true;
  if (timerChanged_) timerChanged_(t);
}

uint32_t AboutModel::TimerInterval(os::AboutTimer t) const { return Slot(t).interval; }
bool AboutModel::TimerEnabled(os::AboutTimer t) const { return Slot(t).enabled; }

int AboutModel::ShowMessage(std::string_view text, std::string_view title, uint32_t style) {
  return owner_.ShowMessage(text, title, style);
}

void AboutModel::ClickLabel(int index) {
  if (LabelVisible(index)) events_.OnLabelClick(index);
}

void AboutModel::HoverLabel(int index) {
  hand_ = false;
  if (LabelVisible(index)) events_.OnLabelMouseMove(index);
}

void AboutModel::ClickImage() { events_.OnImageClick(); }

void AboutModel::FireTimer(os::AboutTimer t) {
  if (Slot(t).enabled && !closed_) events_.OnTimer(t);
}

void AboutModel::Close() {
  if (closing_ || closed_) return;
  closing_ = true;
  events_.OnUnload();
  Slot(os::AboutTimer::kTimer1).enabled = false;
  Slot(os::AboutTimer::kTimer2).enabled = false;
  if (timerChanged_) {
    timerChanged_(os::AboutTimer::kTimer1);
    timerChanged_(os::AboutTimer::kTimer2);
  }
  closed_ = true;
}

void AboutModel::ShowModal() {
  shown_ = true;
  if (owner_.AboutDriver()) owner_.AboutDriver()(*this);
  // Whoever works the window leaves it closed, as a person closes it.
  Close();
}

}  // namespace ui
