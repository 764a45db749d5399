// The host console's part for the system menu and the main window's two
// dialogs: the commands that show and work them (listed in
// os/sim/console.h), and the drivers that run a dialog on the simulated
// machine's event loop while it is shown modally.
//
// Public: class ConsoleIo, RunSizeDialog(), RunAboutWindow(), OpenDialog(),
//         CloseOpenDialog(), ExecuteDialogCommand(), ExpectDialog(),
//         RenderSystemMenu(), RenderSizeDialog(), RenderAbout().
#pragma once

#include <string>
#include <vector>

#include "ui/about_model.h"
#include "ui/size_dialog_model.h"
#include "ui/window_model.h"

namespace ui::console {

// What the dialogs' front-end needs of the console.
class ConsoleIo {
 public:
  virtual ~ConsoleIo() = default;
  virtual void Write(const std::string& text) = 0;
  // A check failed or a command was wrong: the run ends with status 1.
  virtual void Complain(const std::string& why) = 0;
  virtual bool Quiet() const = 0;
  // A person types at a terminal (not a script).
  virtual bool Interactive() const = 0;
  // No more input will come: a script has been played, or the terminal closed.
  virtual bool InputOver() = 0;
  // An "answer" waiting with no message box open is a mistake of the script.
  virtual void DropStrayAnswer() = 0;
  // While held, no input is taken (as while a "wait" runs); returns whether
  // it was held before.
  virtual bool HoldInput(bool hold) = 0;
};

// Handle events, console input included, until the dialog is closed; when
// the input is over, the dialog is closed as a person would close it.
void RunSizeDialog(SizeDialogModel& dialog, ConsoleIo& io);
void RunAboutWindow(AboutModel& about, ConsoleIo& io);

// "form2", "about", or "" when no dialog is open.
std::string OpenDialog();
// The open dialog's close box.
void CloseOpenDialog();

// The commands "sysmenu", "form2 ..." and "about ...", and while a dialog is
// open "click", "type", "key", "paste" and "hover" on it (but not a click on
// a control of the main window); false for any other.
bool ExecuteDialogCommand(const std::vector<std::string>& words, WindowModel& window, ConsoleIo& io);
// The checks "expect checked|unchecked|menu|menutext|nomenu|dialog|form2|
// about ..."; false for any other.
bool ExpectDialog(const std::vector<std::string>& words, WindowModel& window, ConsoleIo& io);

std::string RenderSystemMenu(WindowModel& window);
std::string RenderSizeDialog(const SizeDialogModel& dialog);
std::string RenderAbout(const AboutModel& about);

}  // namespace ui::console
