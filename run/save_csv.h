// F_SAVE_CSV: the imported and the rejected inventories leave the CSV folder.
#pragma once

#include "batch/run_state.h"

namespace tavrix {

// Moves each imported CSV into CSV_SAVE_DIR + yyyymmdd + "/", each rejected one into its
// "rejected/" folder; a file whose snapshot did not commit stays in CSV_DIR. A name that is
// taken already (the same computer twice in a day) goes into a folder named after the time,
// "hhmmss/" (then "hhmmss-2/", ...), so nothing kept is ever replaced.
void F_SAVE_CSV(RunState& s);

// Remembers beside the database the files this run committed but could not move, so that the next
// run only moves them (and forgets those it moved since).
void rememberUnsavedCsvs(RunState& s);

}  // namespace tavrix
