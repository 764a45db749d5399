#include "make/restore.h"

namespace make {

void InitDisk(app::Form1&) {}

}  // namespace make
