// The Windows build's two dialogs owned by the main window, and what they
// share: running modally to the owner, the owner's icon, GDI objects that
// delete themselves, and twips.
//
// Public functions: MakeSizeDialog(), MakeAboutWindow(), RunModal(),
//                   OpenModalWindow(), UseOwnerIconOn(), PlaceOver(); class GdiObject.
#pragma once

#include <windows.h>

#include <memory>

#include "os/about_window.h"
#include "os/size_dialog.h"

namespace os::win32 {

std::unique_ptr<SizeDialog> MakeSizeDialog(HWND owner, SizeDialogEvents& events);
std::unique_ptr<AboutWindow> MakeAboutWindow(HWND owner, AboutWindowEvents& events);

// Shows `window` over its disabled owner and handles messages until `closed`
// is set; then gives the owner back its input, its activation and the focus
// of the control that had it.
void RunModal(HWND owner, HWND window, const bool& closed);

// The dialog that RunModal shows now, or null.
HWND OpenModalWindow();

// The property of an owner that holds the control to get the focus back
// when the owner is activated again (the activation may come later than the
// dialog's end, and it gives the focus to the window itself).
inline constexpr wchar_t kFocusProperty[] = L"TarnvaleFocus";

// Gives `window` the owner's big and small icons.
void UseOwnerIconOn(HWND owner, HWND window);

// Where a window of this outer size goes: centred over its owner, inside the
// screen's work area.
POINT PlaceOver(HWND owner, int width, int height);

// Twips and pixels at the screen's dots per inch.
int TwipsToPixels(int twips);
int PixelsToTwips(int pixels);

// A font, brush or bitmap that is deleted with its holder.
template <typename T>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(T h) : h_(h) {}
  ~GdiObject() { Reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  void Reset(T h = nullptr) {
    if (h_) DeleteObject(h_);
    h_ = h;
  }
  T get() const { return h_; }

 private:
  T h_ = nullptr;
};

}  // namespace os::win32
