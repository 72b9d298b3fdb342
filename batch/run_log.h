// F_WRITE_LOG: the run log, one time-stamped line per call.
#pragma once

#include <string_view>

#include "batch/run_state.h"

namespace tavrix {

// Appends "yyyy/mm/dd hh:mm:ss " + message to LOG_DIR + LOG_FILE (UTF-8, opened and closed per
// line). A line that cannot be written is dropped silently.
void F_WRITE_LOG(const RunState& s, std::string_view message);

// "-" or "=" repeated 54 times.
inline constexpr std::string_view kDashLine = "------------------------------------------------------";
inline constexpr std::string_view kEqualsLine = "======================================================";

}  // namespace tavrix
