// F_READ_INI: the run settings from Tavrix.ini.
#pragma once

#include "batch/run_state.h"

namespace tavrix {

// Reads IniPath into the eight settings and RunMode. True when it failed.
bool F_READ_INI(RunState& s);

}  // namespace tavrix
