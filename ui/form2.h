// Form2, the partition size dialog: the sizes in MB of the UD boot area and
// of the EFI partition that the next make uses. It shows the configured
// sizes (or the fallbacks 300 and 1032), takes digits only, and stores both
// sizes with their comments when it closes, if they are within bounds;
// otherwise it says so and stores nothing.
//
// Public: class Form2, kUdSizeComment, kEfiSizeComment.
#pragma once

#include <memory>

#include "os/size_dialog.h"

namespace os {
class MainWindow;
}

namespace ui {

// The comments written after the two sizes.
// "//UD区大小，单位：MB,最低10M，最高4096MB"
inline constexpr const char* kUdSizeComment =
    "//UD\xE5\x8C\xBA\xE5\xA4\xA7\xE5\xB0\x8F\xEF\xBC\x8C\xE5\x8D\x95\xE4\xBD\x8D\xEF\xBC\x9A"
    "MB,\xE6\x9C\x80\xE4\xBD\x8E" "10M\xEF\xBC\x8C\xE6\x9C\x80\xE9\xAB\x98" "4096MB";
// "//EFI区大小，单位：MB,最低100M，无上限"
inline constexpr const char* kEfiSizeComment =
    "//EFI\xE5\x8C\xBA\xE5\xA4\xA7\xE5\xB0\x8F\xEF\xBC\x8C\xE5\x8D\x95\xE4\xBD\x8D\xEF\xBC\x9A"
    "MB,\xE6\x9C\x80\xE4\xBD\x8E" "100M\xEF\xBC\x8C\xE6\x97\xA0\xE4\xB8\x8A\xE9\x99\x90";

class Form2 : public os::SizeDialogEvents {
 public:
  explicit Form2(os::MainWindow& owner);
  ~Form2() override;

  // Loads the dialog, shows it modally, and returns once it has closed.
  void Show();

  // os::SizeDialogEvents
  void OnTimer() override;
  void OnFieldClick(os::SizeDialogControl field) override;
  void OnFieldFocus(os::SizeDialogControl field) override;
  bool OnKeyPress(os::SizeDialogControl field, int character) override;
  bool OnPaste(os::SizeDialogControl field) override;
  void OnClose() override;

 private:
  void Load();
  void SelectAll(os::SizeDialogControl field);
  // The field to start in: the UD field, or the EFI field when the UD row
  // is out of sight.
  os::SizeDialogControl FirstField() const;

  os::MainWindow& owner_;
  std::unique_ptr<os::SizeDialog> window_;
  bool udHidden_ = false;
};

}  // namespace ui
