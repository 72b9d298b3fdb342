// Keeping the search index of a database file with each batch: made before the import when it is
// missing or can no longer answer, brought up to date after it.
#pragma once

#include "batch/run_state.h"

namespace tavrix {

// Before the import: an index that is missing, was written past from outside, or was made for other
// tables is made anew, empty; when it holds every snapshot, the import feeds it its texts. A failure
// costs the search its speed only: one log line.
void prepareSearchIndex(RunState& s);

// After the import: the fed texts written, chunks mostly replaced read again, then every snapshot
// still above the index's mark read into it. An index made anew for a database that held snapshots logs its progress.
void keepSearchIndex(RunState& s);

}  // namespace tavrix
