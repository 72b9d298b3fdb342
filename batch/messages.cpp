// Messages of the batch: a box (or a standard-error line) and a run-log line for every one.
#include "batch/messages.h"

#include "batch/run_log.h"

namespace tavrix {

void reportMessage(RunState& s, const std::string& text, MessageStyle style, const std::string& logText) {
  F_WRITE_LOG(s, logText.empty() ? text : logText);
  if (s.BatchRunning && !s.ShownMessages.insert(text).second) return;
  s.Messages.showWithDetail(text, style, logText);
}

}  // namespace tavrix
