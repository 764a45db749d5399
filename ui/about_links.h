// The two addresses of the About window, in one place.
//
// The maker's link opens the user guide that ships beside the program,
// <program folder>\Tarnvale-Guide.txt. The donation page is named when the
// program is built (the CMake cache value TV_DONATE_URL); while it is
// empty, the About window shows no donate link.
//
// Public: kGuideFileName, MakerLink(), DonateUrl().
#pragma once

#include <string>

namespace ui {

inline constexpr const char* kGuideFileName = "Tarnvale-Guide.txt";

std::string MakerLink();
// Empty when the build names no donation page.
std::string DonateUrl();

}  // namespace ui
