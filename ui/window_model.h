// The main window as plain state: every caption, list, timer setting, the
// progress bar and the menu check marks, kept in memory. The host build's
// headless window is made of it, and tests use it on both builds to watch
// what the system does to its window and to answer its message boxes.
//
// Its two dialogs are models too (ui/size_dialog_model.h, ui/about_model.h),
// worked while they are shown by a driver that the host sets.
//
// Public: class WindowModel, struct ShownMessage.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "os/main_window.h"

namespace ui {

class SizeDialogModel;
class AboutModel;

struct ShownMessage {
  std::string text;
  std::string title;
  uint32_t style = 0;
  int answer = 0;
};

class WindowModel : public os::MainWindow {
 public:
  WindowModel();
  ~WindowModel() override;

  // Who answers message boxes. Without one, every box is answered with OK.
  using Answerer = std::function<int(const ShownMessage&)>;
  void SetAnswerer(Answerer answerer) { answerer_ = std::move(answerer); }
  // Called whenever a timer's interval or enabled state changes, so that a
  // host of the model can run the timers.
  using TimerChanged = std::function<void(os::TimerId)>;
  void SetTimerChanged(TimerChanged changed) { timerChanged_ = std::move(changed); }
  // Called after any visible change (caption, list, progress, state...).
  using Changed = std::function<void()>;
  void SetChanged(Changed changed) { changed_ = std::move(changed); }

  // Every message box shown so far, in order.
  const std::vector<ShownMessage>& Messages() const { return messages_; }
  bool IsVisible() const { return visible_; }
  int ListFieldHeight(os::Control list) const;
  int ListDroppedWidth(os::Control list) const;
  // The caption font and metrics a test or the host machine wants.
  void SetInstalledFonts(std::vector<std::string> fonts) { installedFonts_ = std::move(fonts); }
  void SetMetrics(int twipsPerPixel, int averageCharWidth, int scrollBarWidth);
  // Who works a dialog while it is shown modally (a test, or the console).
  // Without one, a dialog is closed at once, as by a person who only closes
  // it; a dialog that the driver leaves open is closed after it.
  using SizeDialogDriverFn = std::function<void(SizeDialogModel&)>;
  using AboutDriverFn = std::function<void(AboutModel&)>;
  void SetSizeDialogDriver(SizeDialogDriverFn driver) { sizeDialogDriver_ = std::move(driver); }
  void SetAboutDriver(AboutDriverFn driver) { aboutDriver_ = std::move(driver); }
  const SizeDialogDriverFn& SizeDialogDriver() const { return sizeDialogDriver_; }
  const AboutDriverFn& AboutDriver() const { return aboutDriver_; }

  // os::MainWindow
  void SetTitle(std::string_view title) override;
  std::string Title() const override { return title_; }
  os::WindowState State() const override { return state_; }
  void SetState(os::WindowState state) override;
  void Show() override;
  void Hide() override;
  void SetCaption(os::Control control, std::string_view text) override;
  std::string Caption(os::Control control) const override;
  void SetEnabled(os::Control control, bool enabled) override;
  bool IsEnabled(os::Control control) const override;
  void Focus(os::Control control) override { focus_ = control; }
  void ListClear(os::Control list) override;
  void ListAdd(os::Control list, std::string_view entry) override;
  int ListCount(os::Control list) const override;
  std::string ListItem(os::Control list, int index) const override;
  void ListSetItem(os::Control list, int index, std::string_view entry) override;
  int ListIndex(os::Control list) const override;
  void SetListIndex(os::Control list, int index) override;
  std::string ListText(os::Control list) const override;
  void SetTimerInterval(os::TimerId timer, uint32_t intervalMs) override;
  void SetTimerEnabled(os::TimerId timer, bool enabled) override;
  uint32_t TimerInterval(os::TimerId timer) const override;
  bool TimerEnabled(os::TimerId timer) const override;
  // ProgressBar1's container, made when first asked for.
  os::ProgressBarWindow& ProgressBar1Window() override;
  // The model's handle: a number no other window has.
  uintptr_t Handle() const override { return reinterpret_cast<uintptr_t>(this); }
  int ShowMessage(std::string_view text, std::string_view title, uint32_t style) override;
  void SetMenuChecked(int id, bool checked) override;
  bool IsMenuChecked(int id) const override;
  std::string SetFontName(std::string_view face) override;
  std::string FontName() const override { return font_; }
  // The window font's size in points and character set: the design's 8 and
  // 0 until SetFontName() makes them 9 and 1.
  int FontPoints() const { return fontPoints_; }
  int FontCharset() const { return fontCharset_; }
  int ControlHeight(os::Control control) const override;
  int TwipsPerPixelX() const override { return twipsPerPixel_; }
  int TwipsPerPixelY() const override { return twipsPerPixel_; }
  int TextWidth(os::Control control, std::string_view text) const override;
  int ScrollBarWidth() const override { return scrollBarWidth_; }
  void SetListFieldHeight(os::Control list, int pixels) override;
  void SetListDroppedWidth(os::Control list, int pixels) override;
  std::unique_ptr<os::SizeDialog> CreateSizeDialog(os::SizeDialogEvents& events) override;
  std::unique_ptr<os::AboutWindow> CreateAboutWindow(os::AboutWindowEvents& events) override;

 private:
  struct List {
    std::vector<std::string> entries;
    int index = -1;
    int fieldHeight = 0;
    int droppedWidth = 0;
  };
  struct Timer {
    uint32_t interval = 0;
    bool enabled = false;
  };
  void NotifyChanged() const;

  std::string title_;
  os::WindowState state_ = os::WindowState::kNormal;
  bool visible_ = false;
  std::map<os::Control, std::string> captions_;
  std::map<os::Control, bool> disabled_;
  std::map<os::Control, List> lists_;
  std::map<os::TimerId, Timer> timers_;
  std::unique_ptr<os::ProgressBarWindow> progressBar1Window_;
  std::map<int, bool> checks_;
  std::vector<ShownMessage> messages_;
  std::string font_ = "MS Sans Serif";
  int fontPoints_ = 8, fontCharset_ = 0;
  std::vector<std::string> installedFonts_;
  os::Control focus_ = os::Control::kRDriver;
  int twipsPerPixel_ = 15, charWidth_ = 7, scrollBarWidth_ = 17;
  Answerer answerer_;
  TimerChanged timerChanged_;
  Changed changed_;
  SizeDialogDriverFn sizeDialogDriver_;
  AboutDriverFn aboutDriver_;
};

}  // namespace ui
