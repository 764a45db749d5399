#include "ui/frm_about.h"

#include <cmath>

#include "app/language.h"
#include "app/version.h"
#include "os/files.h"
#include "os/main_window.h"
#include "os/mci.h"
#include "os/resources.h"
#include "os/system.h"
#include "sys/text.h"
#include "sys/whole_file.h"
#include "ui/about_links.h"

namespace ui {

using os::AboutTimer;

namespace {

enum Label : int { kProduct = 0, kMaker = 1, kFreeware = 2, kGuideLink = 3, kBar = 4, kDonateLink = 5 };
constexpr int kTuneResource = 101;
constexpr uint32_t kLocaleChinesePrc = 2052;
constexpr int kSwShowNormal = 1;

// 关于 Tarnvale
constexpr const char* kChineseCaption = "\xE5\x85\xB3\xE4\xBA\x8E Tarnvale";
// Tarnvale 项目 出品 (made by the Tarnvale project)
constexpr const char* kChineseMaker = "Tarnvale \xE9\xA1\xB9\xE7\x9B\xAE \xE5\x87\xBA\xE5\x93\x81";

}  // namespace

bool OpenUrl(std::string_view address, os::AboutWindow& window) {
  // Opened as a person opens it: shown, without parameters or a folder.
  intptr_t result = os::ShellOpen(address, "", "", kSwShowNormal);
  if (result > 32) return true;
  window.ShowMessage(app::LangString(58), app::LangString(10), os::kMbIconStop);
  return false;
}

FrmAbout::FrmAbout(os::MainWindow& owner) : owner_(owner) {}

FrmAbout::~FrmAbout() = default;

std::string FrmAbout::TunePath() { return os::WindowsFolder() + "\\Temp\\music.res"; }

void FrmAbout::Show() {
  window_ = owner_.CreateAboutWindow(*this);
  prog1_ = std::make_unique<ProgressBar>(window_->Prog1Window());
  prog1_->Create();
  Load();
  window_->ShowModal();
  prog1_.reset();
  window_.reset();
}

void FrmAbout::Load() {
  window_->UseOwnerIcon();
  window_->SetBackColor(0xF0F0F0);
  window_->SetTitle(kChineseCaption);
  window_->SetLabel(kProduct, std::string(app::kProductName) + " " + std::to_string(app::kVersionMajor) + "." +
                                  std::to_string(app::kVersionMinor) + "." + std::to_string(app::kVersionRevision));
  window_->SetLabel(kMaker, kChineseMaker);
  window_->SetLabel(kFreeware, "Freeware |");
  window_->SetLabel(kGuideLink, "User Guide");
  window_->SetLabel(kBar, "|");
  window_->SetLabel(kDonateLink, "Donate Link");
  window_->SetLabelTip(kDonateLink, "GoTo Donate-Page");
  window_->SetTimerInterval(AboutTimer::kTimer1, 10);
  window_->SetTimerInterval(AboutTimer::kTimer2, 5000);

  if (os::ThreadLocale() != kLocaleChinesePrc) {
    window_->SetLabel(kMaker, "Made by the Tarnvale project");
    window_->SetTitle("About Tarnvale");
  }
  // Without a donation page there is no donate link, nor the bar before it.
  bool donate = !DonateUrl().empty();
  window_->SetLabelVisible(kBar, donate);
  window_->SetLabelVisible(kDonateLink, donate);
  // The links one after another, 80 twips apart.
  for (int i = kGuideLink; i <= kDonateLink; ++i)
    window_->SetLabelLeft(i, window_->LabelLeft(i - 1) + window_->LabelWidth(i - 1) + 80);
}

void FrmAbout::OnLabelMouseMove(int index) {
  if (index == kGuideLink || index == kDonateLink) window_->UseHandCursor();
}

void FrmAbout::OnLabelClick(int index) {
  if (index != kGuideLink && index != kDonateLink) return;
  // Inside a PE system there is no browser to open a page with.
  if (sys::EqualsNoCase(os::EnvVar("SYSTEMDRIVE").value_or(""), "X:")) {
    window_->ShowMessage("PE environment is not available.", "Tips:", os::kMbIconInformation);
    return;
  }
  if (index == kDonateLink) {
    if (!DonateUrl().empty()) OpenUrl(DonateUrl(), *window_);
    return;
  }
  // The guide is a file beside the program: a missing one is said to be
  // missing, not taken for a page the shell could not open.
  std::string guide = MakerLink();
  if (os::PathExists(guide)) OpenUrl(guide, *window_);
  else window_->ShowMessage(app::LangString(74) + "\n" + guide, app::LangString(10), os::kMbIconStop);
}

void FrmAbout::OnImageClick() {
  if (tickCount_ == -1) return;  // the tune plays already
  tickCount_ = 25;
  for (AboutTimer t : {AboutTimer::kTimer1, AboutTimer::kTimer2})
    if (!window_->TimerEnabled(t)) window_->SetTimerEnabled(t, true);
}

void FrmAbout::OnTimer(AboutTimer timer) {
  if (timer == AboutTimer::kTimer1) Timer1Tick();
  else Timer2Tick();
}

void FrmAbout::Timer1Tick() {
  ++tickCount_;
  int top = window_->ImageTop();
  // Low in the window after the first quarter second: once the follow-up
  // timer has said so (or 5 seconds of ticks have passed), the logo rests.
  if (top > 1000 && tickCount_ > 25 && tickCount_ > 500) {
    window_->SetTimerEnabled(AboutTimer::kTimer1, false);
    window_->Beep();
    tickCount_ = -1;
  }
  top += speed_ / 10;
  window_->SetImageTop(top);
  speed_ += fallStep_;
  int bottom = top + window_->ImageHeight();
  int inner = window_->InnerHeight();
  // A bounce off the bottom loses a tenth of the speed.
  if (bottom >= inner) speed_ = static_cast<int32_t>(std::floor(-0.9 * std::abs(speed_)));
  if (bottom < inner || speed_ != 0) speed_ += 1;
  if (top <= 0) speed_ = static_cast<int32_t>(std::floor(0.9 * std::abs(speed_)));
  if (!window_->TimerEnabled(AboutTimer::kTimer1)) StartTune();
}

void FrmAbout::Timer2Tick() {
  if (window_->TimerInterval(AboutTimer::kTimer2) == 5000) {
    // Five seconds after the click: the logo may rest as soon as it is low;
    // from now on this timer follows the tune. A logo that rests already
    // stays at rest.
    if (tickCount_ != -1) tickCount_ = 500;
    window_->SetTimerInterval(AboutTimer::kTimer2, 200);
    return;
  }
  if (!musicOpen_) return;  // the logo still moves
  int32_t position = MciNumber("status MIDI position");
  int32_t length = MciNumber("status MIDI length");
  prog1_->SetValue(position);
  if (position == length && length != 0) {
    // The end of the tune: from the start again.
    os::MciSendString("close MIDI");
    musicOpen_ = OpenTune();
    if (musicOpen_) os::MciSendString("play MIDI");
    else window_->SetTimerEnabled(AboutTimer::kTimer2, false);
  }
}

void FrmAbout::StartTune() {
  musicOpen_ = OpenTune();
  if (!musicOpen_) {
    // No sound: the window stays as it is, without music and without a word.
    window_->SetTimerEnabled(AboutTimer::kTimer2, false);
    return;
  }
  os::MciSendString("play MIDI");
  prog1_->SetMax(MciNumber("status MIDI length"));
  window_->Prog1Window().SetVisible(true);
}

bool FrmAbout::OpenTune() {
  // The tune is written out afresh each time: a file found there (left by
  // an older run, or put there by someone else) is never what is played.
  std::string path = TunePath();
  // ExtractResource (101, "CUSTOM", path): the tune's bytes from the
  // program's resources into its file, afresh each time.
  auto tune = os::LoadResourceData(kTuneResource, "CUSTOM");
  if (!tune || !sys::WriteWholeFile(path, *tune)) return false;
  if (os::MciSendString("open \"" + path + "\" alias MIDI type sequencer") != 0) return false;
  // Length and position in milliseconds, whatever the device's default.
  os::MciSendString("set MIDI time format milliseconds");
  return true;
}

int32_t FrmAbout::MciNumber(std::string_view command) {
  std::string reply;
  if (os::MciSendString(command, &reply) != 0) return 0;
  double value = sys::Val(reply);
  return value > 0 && value < 2147483647.0 ? static_cast<int32_t>(value) : 0;
}

void FrmAbout::OnUnload() {
  // The tune is closed only when it was opened: closing nothing is an error.
  if (musicOpen_) os::MciSendString("close MIDI");
  musicOpen_ = false;
}

}  // namespace ui
