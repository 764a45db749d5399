#include "os/mci.h"

#include <windows.h>
#include <mmsystem.h>

#include "os/win32/wide.h"

namespace os {

uint32_t MciSendString(std::string_view command, std::string* reply) {
  // Room for any answer the commands of a sequencer give.
  wchar_t answer[512] = {};
  MCIERROR r = mciSendStringW(win32::Wide(command).c_str(), answer, 512, nullptr);
  if (reply) *reply = r == 0 ? win32::Utf8(answer) : "";
  return static_cast<uint32_t>(r);
}

}  // namespace os
