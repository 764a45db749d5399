// The make procedure: the start button's job of turning the chosen USB disk
// into a startup disk, in the new-make, update or diskpart mode.
//
// Public: MakeProcedure().
#pragma once

#include "app/form1.h"

namespace make {

// One press of the start button, from the checks to the report.
void MakeProcedure(app::Form1& form);

}  // namespace make
