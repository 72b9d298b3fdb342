// F07_CRE_MDB: the work database with its version table.
#pragma once

#include "batch/run_state.h"

namespace tavrix {

// Creates MDB_DIR + ScriptMdbName with T_Version unless the file exists (with ScriptServer: T_Version
// in its transaction unless the table exists). True when it failed.
bool F07_CRE_MDB(RunState& s);

}  // namespace tavrix
