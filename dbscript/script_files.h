// F_CNT_SQLFILE and F04_READ_SQLTXT: finding and reading the delivered script files.
#pragma once

#include <string>
#include <vector>

#include "batch/run_state.h"

namespace tavrix {

// Lists DSTRB_DIR: all *.sql, then all *.squ, into ScriptFileList and FoundFileCount. True when it failed.
bool F_CNT_SQLFILE(RunState& s);
// Runs DSTRB_DIR + CurrentScriptFile: header directives, work database, body. True when it failed.
bool F04_READ_SQLTXT(RunState& s);
// Lists the script files and runs each in turn (F_CNT_SQLFILE, then F04_READ_SQLTXT). True when
// one failed (logged); the rest are not run.
bool runScriptFiles(RunState& s);
// The database names that the script files of DSTRB_DIR give in their MDBNAME lines, read
// without running anything.
std::vector<std::string> scriptDatabaseNames(const RunState& s);

}  // namespace tavrix
