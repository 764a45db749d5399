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
//   wait idle                             later lines wait until no operation
//                                         runs (a restore, install or boot test
//                                         started by the lines before has ended)
//   show                                  print the window with its lists
//   disk <n>                              print disk n as the machine holds it: UD
//                                         area, partitions with letter, file
//                                         system, label, size, type, flags
//   bootmenu                              print the boot store that bcdedit keeps
//   emulator [n]                          print the emulator's last n runs (5):
//                                         mode, disk, booted or failed, from where
//   dir <folder>                          list a folder of the machine, such as
//                                         C:\WinPE
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
//     expect partitions <disk> <n>         the disk holds n partitions
//     expect exists <path> | expect missing <path>   a file or folder of the machine
//     expect emulator <text>               the emulator's last run contains text,
//                                          such as result=booted or mode=uefi
//   close                                 close the window
//   # ...                                 a comment
//
// Input arrives whenever the program handles events, also while an
// operation runs (a line after "key F5" runs while the emulator does; put
// "wait idle" between them to see the result); an "answer" waits for the
// next message box. Texts may be written in double quotes.
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
