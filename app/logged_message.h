// The message boxes of the operations, logged: the title and the text as
// shown, and for a question the answer given. The last one is kept, so that
// the end of an operation can log the message it ended with.
//
// Public: ShowLoggedMessage(), LastLoggedMessage(), ForgetLoggedMessage().
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace os {
class MainWindow;
}

namespace app {

// window.ShowMessage() with its record in the log; returns the answer.
int ShowLoggedMessage(os::MainWindow& window, std::string_view text, std::string_view title, uint32_t style);

// The text of the last message ShowLoggedMessage showed since
// ForgetLoggedMessage(), with " [answered Cancel]" after a question that was
// not answered OK; "" when none.
const std::string& LastLoggedMessage();
void ForgetLoggedMessage();

}  // namespace app
