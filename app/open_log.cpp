#include "app/open_log.h"

#include <string>

#include "app/language.h"
#include "os/main_window.h"
#include "os/system.h"
#include "sys/run_log.h"

namespace app {
namespace {

constexpr int kShowNormal = 1;  // SW_SHOWNORMAL

}  // namespace

void OpenLogFile(os::MainWindow& window) {
  const std::string& path = sys::LogPath();
  if (path.empty()) {
    window.ShowMessage(LangString(87), LangString(8), os::kMbOk | os::kMbIconInformation);
    return;
  }
  intptr_t result = os::ShellOpen(path, "", "", kShowNormal);
  // Values of 32 and less are the shell's failures.
  if (result <= 32) {
    sys::Log("the log could not be opened by the shell (code " + std::to_string(result) + ")");
    window.ShowMessage(LangString(86) + path, LangString(10), os::kMbOk | os::kMbIconStop);
  }
}

}  // namespace app
