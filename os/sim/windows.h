// The simulated machine's windows, as far as the system reaches them by
// handle: each window's chain of procedures and its system menu, and the
// popup menus (os/menu.h, os/window_procedure.h). Here are the calls that
// only the host build has.
//
// Public functions:
//   SetOwnProcedure()   the window's own procedure, at the bottom of its
//                       chain (what its window class does with a message)
//   OwnProcedureLog()   the messages that reached the own procedure of a
//                       window that has none set
//   PictureName()       the name of a menu picture ("install", ...)
#pragma once

#include <string>
#include <vector>

#include "os/window_procedure.h"

namespace os::sim {

void SetOwnProcedure(const MainWindow& window, MessageHandler procedure);
std::vector<WindowMessage> OwnProcedureLog(const MainWindow& window);
std::string PictureName(int picture);

}  // namespace os::sim
