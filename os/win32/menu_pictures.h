// The system menu's pictures as the main window draws them: the menu asks
// the window for their size (WM_MEASUREITEM) and has it draw them
// (WM_DRAWITEM), 16x16 pixels at 96 dpi and scaled with the dpi, with a
// transparent background.
//
// Public functions: MenuPictureSize(), MeasureMenuPicture(), DrawMenuPicture().
#pragma once

#include <windows.h>

namespace os::win32 {

// The side of a picture in pixels at the screen's dpi.
int MenuPictureSize();

// True when the item is one of the pictures, which is then measured or drawn.
bool MeasureMenuPicture(MEASUREITEMSTRUCT& item);
bool DrawMenuPicture(const DRAWITEMSTRUCT& item);

}  // namespace os::win32
