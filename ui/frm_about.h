// FrmAbout, the About window: the product and version, a maker line, the
// links to the user guide (and to a donation page when the build names
// one). A click on the logo drops it to bounce inside the window; when it
// has come to rest, the tune from the program's resources plays in a loop
// with Prog1 following it, until the window closes.
//
// Public: class FrmAbout, OpenUrl().
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "os/about_window.h"
#include "ui/progress_bar.h"

namespace os {
class MainWindow;
}

namespace ui {

// Opens an address with the shell; when the shell cannot, an error box
// (language string 58) on `window`. False then.
bool OpenUrl(std::string_view address, os::AboutWindow& window);

class FrmAbout : public os::AboutWindowEvents {
 public:
  explicit FrmAbout(os::MainWindow& owner);
  ~FrmAbout() override;

  // Loads the window, shows it modally, and returns once it has closed.
  void Show();

  // The file the tune is played from: <Windows folder>\Temp\music.res.
  static std::string TunePath();

  // os::AboutWindowEvents
  void OnLabelClick(int index) override;
  void OnLabelMouseMove(int index) override;
  void OnImageClick() override;
  void OnTimer(os::AboutTimer timer) override;
  void OnUnload() override;

 private:
  void Load();
  void Timer1Tick();
  void Timer2Tick();
  void StartTune();
  // Opens the tune (writing it out first when the file is missing); true
  // when the sequencer has it.
  bool OpenTune();
  int32_t MciNumber(std::string_view command);

  os::MainWindow& owner_;
  std::unique_ptr<os::AboutWindow> window_;
  // The music position bar, a progress bar control in the window's
  // container; it lives as long as the window.
  std::unique_ptr<ProgressBar> prog1_;
  int32_t speed_ = 20;    // tenths of a twip per tick, downwards
  int32_t fallStep_ = 10;  // added to the speed on every tick
  int32_t tickCount_ = 0;  // -1 once the logo has come to rest
  bool musicOpen_ = false;
};

}  // namespace ui
