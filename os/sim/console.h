// The host console: the terminal of the simulated machine, where a person
// (or a test) sees the host build's headless main window as text and works
// it, typing in a terminal or through a script, one command per line. The
// front-end that carries out these commands is ui/console/console_window.h.
// The commands:
//
//   click <Command1|UReFresh|Status>      press a button or the status line
//   select <RDriver|Fsys|FSFor> <n|text>  choose a list entry (index, or the
//                                         first entry that starts with text)
//   open <RDriver|Fsys|FSFor>             open a list (as a click on its arrow)
//   key <F2|F5|Ctrl+I|Ctrl+Shift+I|...>   press a key with its modifiers
//   menu <id>                             a system-menu command: WM_SYSCOMMAND <id> through
//                                         the window's procedure, as choosing the entry
//                                         does (any id is sent, also one the menu lacks;
//                                         61472 minimises, 61536 closes, ...)
//   sysmenu                               print the system menu: each entry's id, [x] when
//                                         it is checked, its text and {picture}; the
//                                         entries of a submenu indented below it
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
//                                         mode, disk, booted or failed, from where,
//                                         and how a real UEFI boot ended (real=...)
//   swap <disk> <spare>                   pull disk <disk> out and let disk <spare> take
//                                         its number and its drive letters (the spare
//                                         keeps its partitions, boot code and files);
//                                         also while a message box is open, as another
//                                         disk arrives while the user reads the box
//   dir <folder>                          list a folder of the machine, such as
//                                         C:\WinPE
//   taskbar                               print every call made to the
//                                         taskbar button's progress, in order
//   log                                   print this run's log (the lines the program
//                                         wrote to Tarnvale.log since it started)
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
//     expect log <text>                    this run's log contains the text
//     expect partitions <disk> <n>         the disk holds n partitions
//     expect exists <path> | expect missing <path>   a file or folder of the machine
//     expect emulator <text>               the emulator's last run contains text,
//                                          such as result=booted or mode=uefi, or
//                                          real=switched-off (a real UEFI boot ran and
//                                          the system on the disk switched it off)
//     expect checked <id> | expect unchecked <id>   an entry of the system menu
//     expect menu <id> ...                 the system menu's entries begin with these ids
//                                          (a submenu's entries count in its place, depth
//                                          first; separators by their id: 2006, or 0)
//     expect menutext <id> <text>          an entry's text (a tab written as two blanks)
//     expect nomenu <id>                   the menu has no such entry
//     expect dialog <form2|about|none>     which dialog is open
//     expect form2 title <text>
//     expect form2 text <UD|EFI> <text>
//     expect form2 hidden <UD|EFI> | expect form2 shown <UD|EFI>   the row out of sight or not
//     expect form2 selected <UD|EFI>       the field has the focus and its whole text is selected
//     expect about title <text>
//     expect about line <0..5|guide|donate> <text>    a label's text
//     expect about label <0..5|guide|donate> <shown|hidden>
//     expect about animation <still|moving|resting>
//     expect about tune <playing|stopped|closed>      the MIDI sequencer of the machine
//     expect about prog1 <shown|hidden>
//     expect progress <n>                  ProgressBar1's value
//     expect marquee <on|off>              ProgressBar1 shows the busy marquee
//     expect taskbar <none|busy|n>         the taskbar button shows no
//                                          progress, the busy animation, or n%
//   close                                 close the open dialog; else the window
//   endsession [force]                    the user logs off or shuts down: the window is
//                                         asked first; while an operation runs it holds
//                                         the end up and the reason it gives is printed
//                                         ("(the session's end is held up: <text>)").
//                                         When it agrees, or with force (the system ends
//                                         the session all the same), the window's
//                                         session-end handling runs and the program ends
//                                         at once, as the system ends it
//
// The two dialogs of the system menu are modal: while one is open the main
// window takes no click, select, open, key, menu or window-state command,
// and click, type, key, paste and hover go to the dialog ("type UD 500" is
// "form2 type UD 500", "click logo" is "about click logo"). The size
// dialog takes input once its first field is selected, 10 ms after it opens.
//   form2 [show]                          print the partition size dialog: each row's
//                                         caption, field and bounds ("<...>" the selected
//                                         text, "|" the caret of the field with the focus)
//   form2 click <UD|EFI>                  click a field (its whole text is selected)
//   form2 type <UD|EFI> <text>            type into a field, each character through the
//                                         dialog's key filter (so letters are refused);
//                                         typing replaces a selection; "\b" is backspace
//   form2 key <UD|EFI> <Backspace|Ctrl+V|Ctrl+C|Ctrl+X|Tab|c>   one key into a field
//   form2 paste <UD|EFI> <text>           paste text into a field (the dialog refuses it)
//   form2 close                           close the dialog (it stores the sizes, or says
//                                         why not in a message box to answer)
//   about [show]                          print the About window: where the logo is (still,
//                                         moving or resting, and its top), the lines, the
//                                         links, the tune and Prog1
//   about click <logo|guide|donate|0..5>  click the logo, or a label (guide is Label1(3),
//                                         donate Label1(5); without Tarnvale-Guide.txt beside
//                                         the program the guide link shows string 74 and the path)
//   about hover <guide|donate|0..5>       the mouse over a label
//   about close                           close the window
//   # ...                                 a comment
//
// Input arrives whenever the program handles events, also while an
// operation runs or a dialog is open (a line after "key F5" runs while the
// emulator does; put "wait idle" between them to see the result); an
// "answer" waits for the next message box, also one of a dialog. Texts may
// be written in double quotes. A script that ends while a dialog is open
// closes the dialog, as a person would, and then the window. The machine records what the shell opened in
// <machine>/shell-open.log and every MCI command in <machine>/mci.log.
//
// The window shows ProgressBar1 beside the status line: a marquee as a mark
// that moves with the time, "[   <=>    ] busy", a value as a filled bar
// with its percentage, "[#########...........] 45%". While the window is
// up, a line with the bar is printed whenever it shows something new, and
// one line for each call to the taskbar button: "taskbar: state 1 (busy)",
// "taskbar: state 0 (none)", "taskbar: value 45 of 100". A change of the
// bar is printed before the taskbar call or the status text that follows it.
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
