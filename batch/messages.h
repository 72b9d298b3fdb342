// Messages of the batch: a box (or a standard-error line) and a run-log line for every one.
#pragma once

#include <string>

#include "batch/run_state.h"

namespace tavrix {

// Shows text and writes logText (text itself when empty) to the run log. While the batch runs,
// a text that was shown already is only logged: one cause gives one box, however many files it hits.
void reportMessage(RunState& s, const std::string& text, MessageStyle style = MessageStyle::Plain,
                   const std::string& logText = {});

}  // namespace tavrix
