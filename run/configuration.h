// The settings checks that stop a batch before it touches any file.
#pragma once

#include <string>

#include "batch/run_state.h"

namespace tavrix {

// "" when the settings can be used; else the one message that says what is wrong. Looks at the
// required keys, the CSV folder against the save folder, and, when the database is still to be
// built, MDB_NAME against the name the script files build. A run log without a folder or name
// setting is written beside the program, so the message is logged all the same.
std::string configurationProblem(RunState& s);

// The inventory database must be built from the scripts: no file, or a zero-length one.
bool databaseMissing(const RunState& s);

}  // namespace tavrix
