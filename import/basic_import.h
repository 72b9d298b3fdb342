// F_UPD_BASICINF: the basic values of one inventory CSV into its T_BasicInf row.
#pragma once

#include "batch/run_state.h"

namespace tavrix {

// Sets the 41 basic fields of the row CurrentRno from BasicInfo. A field that fails is shown in
// a message box and the others are still set.
void F_UPD_BASICINF(RunState& s);

}  // namespace tavrix
