// F_UPD_BASICINF: the basic values of one inventory CSV into its T_BasicInf row.
#pragma once

#include <string>
#include <vector>

#include "batch/run_state.h"

namespace tavrix {

// Sets the 41 basic fields of the row CurrentRno from BasicInfo. A failure is kept in FileFailure.
void F_UPD_BASICINF(RunState& s);
// The fields of T_BasicInf that the import writes: the keys, then the 41 basic fields.
std::vector<std::string> basicInfoFields();

}  // namespace tavrix
