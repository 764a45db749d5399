// The multimedia command interface (MCI) by command strings: the About
// window's tune is opened, played, asked for its length and position, and
// closed this way.
//
// Public functions: MciSendString().
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace os {

// mciSendString without a callback window. Returns 0 on success, otherwise
// the MCI error number (MCIERR_...); shows no message. `reply` (when given)
// receives the whole answer, such as the "12800" of "status x length".
uint32_t MciSendString(std::string_view command, std::string* reply = nullptr);

}  // namespace os
