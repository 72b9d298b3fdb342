// Main: the batch that every start of the program runs.
#pragma once

#include "batch/run_state.h"

namespace tavrix {

// The windows of a windowed run. The program gives the Qt windows; a run without windows gives none.
class BatchWindows {
 public:
  virtual ~BatchWindows() = default;
  // Loads and shows F_Main, then F_WAIT on top, both painted at once. False when no window can
  // be shown (no display): the batch then goes on without windows.
  virtual bool showMainAndWait(RunState& s) = 0;
  // Closes F_WAIT, then F_DetailList when it is open.
  virtual void closeWaitAndDetail() = 0;
  // F21_List into ListView1. True when it failed.
  virtual bool fillList(RunState& s) = 0;
};

// The previous-instance check, then the batch. windows is used only when RunMode is not
// "UPDATEONLY". Returns what the run came to, as the program's exit status.
ExitStatus Main(RunState& s, BatchWindows* windows);

// The batch after the previous-instance check, for a caller that already holds the lock.
void runBatch(RunState& s, BatchWindows* windows);

// The exit status a finished batch gives.
ExitStatus exitStatusOf(const RunState& s);

}  // namespace tavrix
