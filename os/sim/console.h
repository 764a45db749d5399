// The host console: the terminal of the simulated machine, where a person
// (or a test) sees the host build's headless main window as text and works
// it, typing in a terminal or through a script, one command per line. The
// front-end that carries out these commands is ui/console/console_window.h.
//
//
//   click <Command1|UReFresh|Status>      press a button or the status line
//   select <RDriver|Fsys|FSFor> <n|text>  choose a list entry (index, or the
//                                         first entry that starts with text)
//   open <RDriver|Fsys|FSFor>             open a list (as a click on its arrow)
//   key <F2|F5|Ctrl+I|Ctrl+Shift+I|...>   press a key with its modifiers
//   menu <id>                             a system-menu command
//   answer <ok|cancel>                    answer the open message box
//   maximize | minimize | restore         ask the window to change its state
//   wait <ms>                             let simulated time pass (the window
//                                         handles its events; later lines wait)
//   show                                  print the window with its lists
//   taskbar                               print every call made to the
//                                         taskbar button's progress, in order
//   expect <what> ...                     check the window; a failed check
//                                         makes the run end with status 1:
//     expect title <text>
//     expect state <normal|minimized|maximized>
//     expect caption <control> <text>
//     expect text <list> <text>            the list's shown text
//     expect item <list> <n> <text>
//     expect count <list> <n>
//     expect enabled <control> | expect disabled <control>
//     expect message <text>                the last message box's text
//     expect progress <n>                  ProgressBar1's value
//     expect marquee <on|off>              ProgressBar1 shows the busy marquee
//     expect taskbar <none|busy|n>         the taskbar button shows no
//                                          progress, the busy animation, or n%
//   close                                 close the window
//   # ...                                 a comment
//
// Input arrives whenever the program handles events, also while an
// operation runs; an "answer" waits for the next message box. Texts may be
// written in double quotes.
//
// The window shows ProgressBar1 beside the status line: a marquee as a mark
// that moves with the time, "[   <=>    ] busy", a value as a filled bar
// with its percentage, "[#########...........] 45%". While the window is
// up, a line with the bar is printed whenever it shows something new, and
// one line for each call to the taskbar button: "taskbar: state 1 (busy)",
// "taskbar: state 0 (none)", "taskbar: value 45 of 100".
//
// Public: struct ConsoleOptions.
#pragma once

#include <istream>
#include <ostream>

namespace os::sim {

struct ConsoleOptions {
  std::istream* input = nullptr;  // the script or the terminal; nullptr: no input
  int inputFd = -1;               // a descriptor to watch for typed input (a terminal)
  std::ostream* output = nullptr;
  bool quiet = false;             // only message boxes, failed checks and errors
};

}  // namespace os::sim
