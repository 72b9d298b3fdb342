// Main: the batch that every start of the program runs, and F_SAVE_CSV.
#pragma once

#include "batch/run_state.h"

namespace tavrix {

// The windows of a windowed run. The program gives the Qt windows; a run without windows gives none.
class BatchWindows {
 public:
  virtual ~BatchWindows() = default;
  // Step 4: load and show F_Main, then F_WAIT on top, both repainted at once.
  virtual void showMainAndWait(RunState& s) = 0;
  // Step 15.1: close F_WAIT, then F_DetailList when it is open.
  virtual void closeWaitAndDetail() = 0;
  // Step 15.3: F21_List into ListView1. True when it failed.
  virtual bool fillList(RunState& s) = 0;
};

// Runs steps 1 to 16. windows is used only when RunMode is not "UPDATEONLY".
void Main(RunState& s, BatchWindows* windows);

// The batch from step 2 on, for a caller that already holds the single-instance lock.
void runBatch(RunState& s, BatchWindows* windows);

// Moves every listed CSV into CSV_SAVE_DIR + yyyymmdd + "/".
void F_SAVE_CSV(RunState& s);

}  // namespace tavrix
