// The window thread's message loop: the main window registers a filter that
// sees every message before it is dispatched (its key preview and dialog
// navigation).
//
// Public functions: SetMessageFilter(), RunMessageLoop().
#pragma once

#include <windows.h>

namespace os::win32 {

// Returns true when it has handled the message, which is then not dispatched.
using MessageFilter = bool (*)(MSG& msg);
void SetMessageFilter(MessageFilter filter);

// Translates and dispatches one message through the filter.
void DispatchOne(MSG& msg);

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop();

}  // namespace os::win32
