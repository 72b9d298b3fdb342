// Keeping the fleet counts beside the database up to date with each batch's import, when the
// settings ask for them (FLEET_COUNTS=ON).
#pragma once

#include "batch/run_state.h"

namespace tavrix {

// Before the import: when the kept counts belong to the inventory as it is (or it is empty), the
// import tallies its changes to them.
void startFleetTally(RunState& s);

// After the import: writes the counts with the import's changes, or counts the fleet again when there
// was nothing to start from. A failure only costs the summaries their speed: one log line.
void keepFleetCounts(RunState& s);

}  // namespace tavrix
