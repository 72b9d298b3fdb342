// The commands of tavrix-report, run on an open database: each writes its rows to standard output.
#pragma once

#include <string>

#include "app/report_options.h"
#include "batch/run_state.h"

namespace tavrix::report {

// Runs o.command on s.DbConnection (open, read-only), its output in out. Returns the exit status;
// a failure is written to standard error. Throws db::DbError when the database cannot be read.
int runCommand(RunState& s, const Options& o, const std::string& databasePath, std::string& out);

// Runs history, diff or changes on the kept inventories in saveFolder, its output in out. Skipped
// kept files are named on standard error and the output is still written; a failure gives status 1.
int runHistoryCommand(const Options& o, const std::string& saveFolder, std::string& out);
// Runs digest on the watch findings under logFolder, its output in out; a failure gives status 1.
// With --mail the findings go to mailTo through sendmail instead (none found: nothing is sent).
int runDigestCommand(const Options& o, const std::string& logFolder, const std::string& mailTo, std::string& out);

// "tavrix-report: <text>" on standard error; returns the failure status.
int failure(const std::string& text);

}  // namespace tavrix::report
