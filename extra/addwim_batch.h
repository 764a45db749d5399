// The batch file that adds the PE system to the Windows boot menu
// (addwim.bat): its template, the values filled into it, and the checks that
// keep a configuration value from turning into a command.
//
// Public: kBootEntryId, kRamdiskOptionsId, kDefaultBootMenuTimeOut,
//         AddWimTemplate(), FillAddWim(), WithProgramPath(), TimeOutText(),
//         UnsafeValue().
#pragma once

#include <string>
#include <string_view>

namespace extra {

// The boot entry of the PE system, and the ramdisk device options it uses.
constexpr std::string_view kBootEntryId = "{ffffffff-3600-11de-8e71-fffffffffffe}";
constexpr std::string_view kRamdiskOptionsId = "{ffffffff-3600-11de-8e71-ffffffffffff}";

// lAddWim, the template: 20 lines joined by CR LF, with the placeholders
// %PEName%, %WIMFile%, %SDIFile% and %timeout%. It first deletes both
// entries, so a second install replaces the first.
const std::string& AddWimTemplate();

// The template with every placeholder (exactly in that case) replaced, in the
// order PEName, WIMFile, SDIFile, time-out.
std::string FillAddWim(std::string_view peName, std::string_view wimFile, std::string_view sdiFile,
                       std::string_view timeOut);

// The time-out of the Windows boot menu as Windows installs it, in seconds.
constexpr int kDefaultBootMenuTimeOut = 30;

// The batch text with every line that starts the program `name` (the bare
// word, such as "bcdedit", then a blank) starting it by `path` instead, so
// that the interpreter's search of the current folder and the PATH picks no
// other program of that name. Comment lines and the rest stay as they are.
std::string WithProgramPath(std::string_view batch, std::string_view name, std::string_view path);

// The boot menu's time-out from the configuration's text: its leading number
// (0 when there is none), to the nearest whole number (halves to even), at
// most 65535, in decimal. A number that is negative after rounding gives
// kDefaultBootMenuTimeOut.
std::string TimeOutText(std::string_view configured);

// True when the value holds a character that the command interpreter would
// act on inside the batch file or the archiver's command line (" % & | < > ^)
// or a control character; such a value is refused, never run.
bool UnsafeValue(std::string_view value);

}  // namespace extra
