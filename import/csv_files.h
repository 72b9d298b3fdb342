// F_CNT_CSVFILE, and the per-file import loop of the batch.
#pragma once

#include "batch/run_state.h"

namespace tavrix {

// Lists CSV_DIR + "*.csv" into CsvFileList and FoundFileCount. True when it failed.
bool F_CNT_CSVFILE(RunState& s);
// Imports CsvFileList entries 1 to FoundFileCount, one transaction per file, logging
// CurrentCsvFile + " 取込を終了しました。 " after each.
void importCsvFiles(RunState& s);

}  // namespace tavrix
