// The reason a window gives the system for holding up a logoff or shutdown.
//
// Public function: SetShutdownBlockReason().
#pragma once

#include <windows.h>

#include <string>

namespace os::win32 {

// ShutdownBlockReasonCreate with the text for the window, or, for the empty
// text, ShutdownBlockReasonDestroy. Nothing on systems before Vista, which
// have no such reason.
void SetShutdownBlockReason(HWND window, const std::string& reason);

}  // namespace os::win32
