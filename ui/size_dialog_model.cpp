#include "ui/size_dialog_model.h"

#include <algorithm>

#include "sys/text.h"
#include "ui/window_model.h"

namespace ui {

using C = os::SizeDialogControl;

namespace {
bool IsField(C c) { return c == C::kText1 || c == C::kText2; }
}  // namespace

SizeDialogModel::SizeDialogModel(WindowModel& owner, os::SizeDialogEvents& events) : owner_(owner), events_(events) {
  // The rows as the Windows dialog places them, in twips.
  for (C c : {C::kLabel1, C::kText1, C::kLabel11}) At(c).top = 450;
  for (C c : {C::kLabel2, C::kText2, C::kLabel22}) At(c).top = 1080;
}

void SizeDialogModel::SetText(C c, std::string_view text) {
  Control& control = At(c);
  control.text = text;
  // As an edit control: the caret goes to the start, nothing is selected.
  control.selStart = 0;
  control.selLength = 0;
}

std::string SizeDialogModel::Text(C c) const { return At(c).text; }

void SizeDialogModel::Select(C field, int start, int length) {
  if (!IsField(field)) return;
  Control& control = At(field);
  int size = static_cast<int>(control.text.size());
  start = start < 0 ? 0 : start > size ? size : start;
  length = length < 0 ? 0 : start + length > size ? size - start : length;
  control.selStart = start;
  control.selLength = length;
}

void SizeDialogModel::SetMaxLength(C field, int characters) {
  if (IsField(field)) At(field).maxLength = characters > 0 ? characters : 0;
}

int SizeDialogModel::SelectionStart(C field) const { return At(field).selStart; }
int SizeDialogModel::SelectionLength(C field) const { return At(field).selLength; }

void SizeDialogModel::Focus(C field) {
  if (!IsField(field) || (focused_ && focus_ == field)) return;
  focus_ = field;
  focused_ = true;
  events_.OnFieldFocus(field);
}

void SizeDialogModel::SetTop(C c, int twips) { At(c).top = twips; }
int SizeDialogModel::Top(C c) const { return At(c).top; }

void SizeDialogModel::SetTimer(bool enabled, uint32_t intervalMs) {
  timer_ = enabled;
  interval_ = intervalMs;
  if (timerChanged_) timerChanged_();
}

int SizeDialogModel::ShowMessage(std::string_view text, std::string_view title, uint32_t style) {
  return owner_.ShowMessage(text, title, style);
}

void SizeDialogModel::ClickField(C field) {
  if (!IsField(field)) return;
  Focus(field);
  events_.OnFieldClick(field);
}

bool SizeDialogModel::TypeChar(C field, int character) {
  if (!IsField(field)) return false;
  Focus(field);
  if (!events_.OnKeyPress(field, character)) return false;
  Control& c = At(field);
  if (character == 8) {
    // Backspace: the selection, or the character before the caret.
    if (c.selLength == 0 && c.selStart > 0) {
      --c.selStart;
      c.selLength = 1;
    }
    c.text.erase(static_cast<size_t>(c.selStart), static_cast<size_t>(c.selLength));
  } else if (character >= 32) {
    // As an edit control with a limit: a character that would go past it
    // is not taken.
    if (c.maxLength > 0 && static_cast<int>(c.text.size()) - c.selLength + 1 > c.maxLength) return false;
    c.text.replace(static_cast<size_t>(c.selStart), static_cast<size_t>(c.selLength), 1, static_cast<char>(character));
    ++c.selStart;
  }
  c.selLength = 0;
  return true;
}

bool SizeDialogModel::Paste(C field, const std::string& text) {
  if (!IsField(field)) return false;
  Focus(field);
  if (!events_.OnPaste(field)) return false;
  Control& c = At(field);
  // Only as much of the text as the limit leaves room for.
  std::string taken = text;
  if (c.maxLength > 0) {
    int room = c.maxLength - (static_cast<int>(c.text.size()) - c.selLength);
    taken.resize(static_cast<size_t>(room > 0 ? std::min<int>(room, static_cast<int>(text.size())) : 0));
  }
  c.text.replace(static_cast<size_t>(c.selStart), static_cast<size_t>(c.selLength), taken);
  c.selStart += static_cast<int>(taken.size());
  c.selLength = 0;
  return true;
}

void SizeDialogModel::FireTimer() {
  if (timer_ && !closed_) events_.OnTimer();
}

void SizeDialogModel::Close() {
  if (closing_ || closed_) return;
  closing_ = true;
  SetTimer(false, interval_);
  events_.OnClose();
  closed_ = true;
}

void SizeDialogModel::ShowModal() {
  shown_ = true;
  if (owner_.SizeDialogDriver()) owner_.SizeDialogDriver()(*this);
  // Whoever works the dialog leaves it closed, as a person closes it.
  Close();
}

}  // namespace ui
