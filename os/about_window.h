// The window of the About box (FrmAbout): six labels in a row of lines and
// links, the 64x64 logo picture Image1, two timers and the music bar Prog1.
// The main window makes it (MainWindow::CreateAboutWindow) and it is shown
// modally to the main window. What it does is the shared logic's
// (ui/frm_about.h). Positions and sizes are in twips from the window's
// inside (15 twips to a pixel at 96 dots per inch).
//
// Public: enum AboutTimer, class AboutWindowEvents, class AboutWindow.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "os/progress_bar_window.h"

namespace os {

enum class AboutTimer { kTimer1, kTimer2 };

constexpr int kAboutLabelCount = 6;  // Label1(0) to Label1(5)

// What the window reports, on the window's thread.
class AboutWindowEvents {
 public:
  virtual ~AboutWindowEvents() = default;
  virtual void OnLabelClick(int index) = 0;
  // The mouse is over a label; the window asks which cursor to show.
  virtual void OnLabelMouseMove(int index) = 0;
  virtual void OnImageClick() = 0;
  virtual void OnTimer(AboutTimer timer) = 0;
  // The window closes, however it was closed; it is gone after this.
  virtual void OnUnload() = 0;
};

class AboutWindow {
 public:
  virtual ~AboutWindow() = default;

  virtual void SetTitle(std::string_view title) = 0;
  virtual std::string Title() const = 0;
  // The window shows the main window's icon, whatever it is.
  virtual void UseOwnerIcon() = 0;
  // 0xRRGGBB.
  virtual void SetBackColor(uint32_t rgb) = 0;

  // Labels: a label is as wide as its text.
  virtual void SetLabel(int index, std::string_view text) = 0;
  virtual std::string Label(int index) const = 0;
  virtual void SetLabelVisible(int index, bool visible) = 0;
  virtual bool LabelVisible(int index) const = 0;
  virtual void SetLabelTip(int index, std::string_view tip) = 0;
  virtual void SetLabelLeft(int index, int twips) = 0;
  virtual int LabelLeft(int index) const = 0;
  virtual int LabelWidth(int index) const = 0;
  // The pointing hand for as long as the mouse stays over the label that
  // reported the move.
  virtual void UseHandCursor() = 0;

  // The logo picture.
  virtual void SetImageTop(int twips) = 0;
  virtual int ImageTop() const = 0;
  virtual int ImageHeight() const = 0;
  // The height of the window's inside.
  virtual int InnerHeight() const = 0;

  // Timers: a disabled timer keeps its interval; enabling starts it afresh.
  virtual void SetTimerInterval(AboutTimer timer, uint32_t intervalMs) = 0;
  virtual void SetTimerEnabled(AboutTimer timer, bool enabled) = 0;
  virtual uint32_t TimerInterval(AboutTimer timer) const = 0;
  virtual bool TimerEnabled(AboutTimer timer) const = 0;

  // The container of Prog1, hidden until the tune plays: a progress bar
  // control (ui::ProgressBar) that the window's logic builds in it. Its
  // visibility is Prog1's.
  virtual ProgressBarWindow& Prog1Window() = 0;

  // The default beep (MessageBeep 0).
  virtual void Beep() = 0;
  // A message box modal to the window; returns the answer (kIdOk, ...).
  virtual int ShowMessage(std::string_view text, std::string_view title, uint32_t style) = 0;

  // Shows the window, modal to the main window, and returns once it is closed.
  virtual void ShowModal() = 0;
};

}  // namespace os
