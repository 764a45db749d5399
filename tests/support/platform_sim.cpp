#include "tests/support/platform.h"

namespace test {
bool RunningOnWine() { return false; }
bool HostBuild() { return true; }
}  // namespace test
