#include "app/logged_message.h"

#include "os/main_window.h"
#include "sys/run_log.h"

namespace app {
namespace {

std::string& Last() {
  static std::string last;
  return last;
}

}  // namespace

int ShowLoggedMessage(os::MainWindow& window, std::string_view text, std::string_view title, uint32_t style) {
  Last() = text;
  sys::Log("message (" + std::string(title.empty() ? "no title" : title) + "): " + std::string(text));
  int answer = window.ShowMessage(text, title, style);
  // Only a question has an answer worth a line.
  if ((style & 0x0F) == os::kMbOkCancel) {
    sys::Log(answer == os::kIdOk ? "answer: OK" : "answer: Cancel");
    if (answer != os::kIdOk) Last() += " [answered Cancel]";
  }
  return answer;
}

const std::string& LastLoggedMessage() { return Last(); }
void ForgetLoggedMessage() { Last().clear(); }

}  // namespace app
