// F06_READ_CSV: reads one inventory CSV, in the header pass or in the full pass.
#pragma once

#include <string_view>

#include "batch/run_state.h"

namespace tavrix {

// Reads CSV_DIR + CurrentCsvFile. Mode "first" looks only for the header line (QuilloVer,
// CurrentPcId, CurrentCreateDate); any other mode reads every line into BasicInfo and
// NicAdapters, hands detail lines to their importers and ends with F_IMP_NIC.
// A failed step is logged as "F06_READ_CSV: " + description and reading goes on.
// True when the file could not be opened or read; that is logged once.
bool F06_READ_CSV(RunState& s, std::string_view mode);

}  // namespace tavrix
