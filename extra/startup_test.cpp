#include "extra/startup_test.h"

namespace extra {

void StartupTest(app::Form1&, int) {}

}  // namespace extra
