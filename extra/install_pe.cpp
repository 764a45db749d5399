#include "extra/install_pe.h"

namespace extra {

bool InstPEToDisk(app::Form1&) { return false; }

}  // namespace extra
