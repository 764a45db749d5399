#include "make/make_procedure.h"

namespace make {

void MakeProcedure(app::Form1&) {}

}  // namespace make
