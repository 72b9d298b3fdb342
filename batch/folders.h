// F_CHECK_ENV and F_MAKE_DIR: the folders the batch writes to.
#pragma once

#include <string>

#include "batch/run_state.h"

namespace tavrix {

// Creates a folder and its missing parents; a failure shows the fault in a message box. True when it failed.
bool F_MAKE_DIR(RunState& s, const std::string& path);
// Creates MDB_DIR, LOG_DIR and CSV_SAVE_DIR when missing and deletes the old run log.
bool F_CHECK_ENV(RunState& s);

}  // namespace tavrix
