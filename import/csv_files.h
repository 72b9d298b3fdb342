// F_CNT_CSVFILE, and the per-file import loop of the batch.
#pragma once

#include "batch/run_state.h"

namespace tavrix {

// Lists CSV_DIR + "*.csv" into CsvFileList and FoundFileCount. True when it failed.
bool F_CNT_CSVFILE(RunState& s);
// Imports CsvFileList entries 1 to FoundFileCount, each file's snapshot whole or not at all,
// logging CurrentCsvFile + " 取込を終了しました。 " once it is committed. A file database commits
// each file; a server's files share a transaction, a savepoint each (the engine's ManyWrites).
void importCsvFiles(RunState& s);

}  // namespace tavrix
