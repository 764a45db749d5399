#include "make/make_request.h"

#include <limits>

#include "app/config.h"
#include "app/globals.h"
#include "app/language.h"
#include "disk/target_guard.h"
#include "sys/text.h"

namespace make {

Layout LayoutOf(std::string_view entry) {
  if (sys::Contains(entry, "UD+DATA+UEFI")) return Layout::kUdDataUefi;
  if (sys::Contains(entry, "UEFI+DATA")) return Layout::kUefiData;
  return Layout::kDataUefi;
}

const char* LayoutName(Layout layout) {
  switch (layout) {
    case Layout::kUdDataUefi: return "UD+DATA+UEFI";
    case Layout::kUefiData: return "UEFI+DATA";
    case Layout::kDataUefi: break;
  }
  return "DATA+UEFI";
}

bool EntryNamesMode(std::string_view entry, int modeString) {
  const std::string& mode = app::LangString(modeString);
  return !mode.empty() && sys::Contains(entry, mode);
}

int32_t SizeSetting(std::string_view text, double above, int32_t fallback) {
  double value = sys::Val(text);
  // The test is made on the number as written; a number beyond 32 bits is
  // no size at all (NaN and infinity fail both tests too).
  if (!(value > above) || !(value <= static_cast<double>(std::numeric_limits<int32_t>::max()))) return fallback;
  return static_cast<int32_t>(sys::RoundHalfEven(value));
}

std::string LabelSetting(std::string_view text) { return text.empty() ? "Tarnvale" : std::string(text); }

void MakeRequest::BreakPoint(std::string_view step) const {
  app::WriteCfg("BreakPoint", step, app::CfgSection::kOption);
}

void MakeRequest::Status(int n) const { window.SetCaption(os::Control::kStatus, app::LangString(n)); }

MakeRequest ReadMakeRequest(app::Form1& form) {
  MakeRequest r{form, form.window(), form.window().ListText(os::Control::kFsys)};
  r.layout = LayoutOf(r.entry);
  r.newMake = EntryNamesMode(r.entry, kNewMakeMode);
  r.update = EntryNamesMode(r.entry, kUpdateMode);
  r.diskpart = EntryNamesMode(r.entry, kDiskpartMode);
  const char* option = app::CfgSection::kOption;
  r.udSizeMB = SizeSetting(app::ReadCfg("UDSize", option), 9, 300);
  r.efiSizeMB = SizeSetting(app::ReadCfg("EFISize", option), 99, 1032);
  r.label = LabelSetting(app::ReadCfg("Label", option));
  return r;
}

bool VolumeOnTarget(std::string_view letter) {
  return disk::LetterOnTarget(letter, "before writing through " + std::string(letter));
}

}  // namespace make
