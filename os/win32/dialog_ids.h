// The class names, child-window ids and timer ids of the Windows build's
// two dialogs, shared with the test program that reads them under Wine.
#pragma once

namespace os::win32 {

inline constexpr wchar_t kForm2Class[] = L"TarnvaleForm2";
inline constexpr wchar_t kAboutClass[] = L"TarnvaleFrmAbout";

enum DialogControlId : int {
  kIdForm2Frame1 = 2100,
  kIdForm2Label1 = 2101,
  kIdForm2Text1 = 2102,
  kIdForm2Label11 = 2103,
  kIdForm2Label2 = 2104,
  kIdForm2Text2 = 2105,
  kIdForm2Label22 = 2106,

  kIdAboutLabel0 = 2200,  // Label1(0) to Label1(5) are 2200 to 2205
  kIdAboutImage1 = 2210,
  kIdAboutProg1 = 2211,
};

inline constexpr unsigned kTimerIdForm2 = 1;
inline constexpr unsigned kTimerIdAbout1 = 1;
inline constexpr unsigned kTimerIdAbout2 = 2;

}  // namespace os::win32
