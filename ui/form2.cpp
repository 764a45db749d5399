#include "ui/form2.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/config.h"
#include "app/language.h"
#include "os/main_window.h"
#include "sys/text.h"

namespace ui {

using C = os::SizeDialogControl;
using app::LangString;

namespace {

constexpr const char* kOption = app::CfgSection::kOption;
constexpr int kOutOfSight = -500;  // twips

// The most digits a field takes: the UD size's upper bound has four; the
// make takes the EFI size as a 32-bit number of MB, which nine digits
// always fit.
constexpr int kUdDigits = 4;
constexpr int kEfiDigits = 9;
constexpr double kLargestSize = 2147483647.0;

// The number as the field shows it: in decimal, without an exponent
// however large it is (beyond 15 digits, to the 15 the number holds).
std::string NumberText(double value) {
  char text[64];
  if (value < 1e15) {
    snprintf(text, sizeof text, "%.15g", value);
    return text;
  }
  snprintf(text, sizeof text, "%.14e", value);  // d.dddddddddddddde+NN
  std::string digits = std::string(1, text[0]) + std::string(text + 2, 14);
  int exponent = atoi(strchr(text, 'e') + 1);
  if (exponent > 400) return digits;  // not reached for a finite number
  digits.resize(static_cast<size_t>(exponent) + 1, '0');
  return digits;
}

}  // namespace

Form2::Form2(os::MainWindow& owner) : owner_(owner) {}

Form2::~Form2() = default;

void Form2::Show() {
  window_ = owner_.CreateSizeDialog(*this);
  Load();
  window_->ShowModal();
  window_.reset();
}

void Form2::Load() {
  window_->UseOwnerIcon();
  window_->SetTitle(LangString(59));
  window_->SetText(C::kLabel1, LangString(60));
  window_->SetText(C::kLabel2, LangString(61));
  window_->SetText(C::kLabel11, "\xEF\xBC\x88" "10 ~ 4096\xEF\xBC\x89");  // （10 ~ 4096）
  window_->SetText(C::kLabel22, "\xEF\xBC\x88" "100 ~ \xEF\xBC\x89");     // （100 ~ ）

  window_->SetMaxLength(C::kText1, kUdDigits);
  window_->SetMaxLength(C::kText2, kEfiDigits);
  // A stored size is shown as its number when it is above the lower bound
  // (the upper bound is checked on closing), else the fallback.
  double ud = sys::Val(app::ReadCfg("UDSize", kOption));
  window_->SetText(C::kText1, ud > 9 && std::isfinite(ud) ? NumberText(ud) : "300");
  double efi = sys::Val(app::ReadCfg("EFISize", kOption));
  window_->SetText(C::kText2, efi > 99 && std::isfinite(efi) ? NumberText(efi) : "1032");

  // Without a UD area in the chosen layout its row is moved out of sight;
  // its value is still checked and stored.
  udHidden_ = !sys::Contains(owner_.ListText(os::Control::kFsys), "UD+DATA+UEFI");
  if (udHidden_) {
    for (C c : {C::kLabel1, C::kText1, C::kLabel11}) window_->SetTop(c, kOutOfSight);
  }
  window_->Focus(FirstField());
  window_->SetTimer(true, 10);
}

C Form2::FirstField() const { return udHidden_ ? C::kText2 : C::kText1; }

void Form2::SelectAll(C field) {
  window_->Select(field, 0, static_cast<int>(window_->Text(field).size()));
  window_->Focus(field);
}

void Form2::OnTimer() {
  // Once, just after the dialog appeared: the first field is ready to be
  // typed over.
  window_->SetTimer(false, 10);
  SelectAll(FirstField());
}

void Form2::OnFieldClick(C field) { SelectAll(field); }

void Form2::OnFieldFocus(C field) { SelectAll(field); }

bool Form2::OnKeyPress(C, int character) { return (character >= '0' && character <= '9') || character == 8; }

bool Form2::OnPaste(C) { return false; }

void Form2::OnClose() {
  std::string udText = window_->Text(C::kText1);
  std::string efiText = window_->Text(C::kText2);
  double ud = sys::Val(udText);
  double efi = sys::Val(efiText);
  // An EFI size past what the make can take (a stored one) is refused too.
  if (ud > 9 && ud < 4097 && efi > 99 && efi <= kLargestSize) {
    // Stored as typed (leading zeros too), with the comment after four tabs.
    app::WriteCfg("UDSize", udText + "\t\t\t\t" + kUdSizeComment, kOption);
    app::WriteCfg("EFISize", efiText + "\t\t\t\t" + kEfiSizeComment, kOption);
  } else {
    window_->ShowMessage(LangString(62), LangString(39), os::kMbIconStop);
  }
}

}  // namespace ui
