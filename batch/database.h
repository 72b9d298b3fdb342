// F_OPEN_DB and F_COMPACT_MDB: the shared connection and the compaction of the work database.
#pragma once

#include "batch/run_state.h"

namespace tavrix {

// The inventory database the settings name: the server of DB_SERVER when it is set (an empty
// location when its string cannot be used: see serverProblem), else MDB_DIR + MDB_NAME.
db::Location databaseLocation(const RunSettings& s);
// Why DB_SERVER cannot be used, as a settings error names it; "" when it can or is not set.
std::string serverProblem(const RunSettings& s);
// Opens DbConnection on the inventory database unless DbOpen. True when it failed; why is kept in
// DatabaseFailure (no file can be imported into a database that does not open).
bool F_OPEN_DB(RunState& s);
// Closes DbConnection when it is open and clears DbOpen.
void closeDbConnection(RunState& s);
// Compacts MDB_DIR + ScriptMdbName into the same name without its first character. True when it failed.
bool F_COMPACT_MDB(RunState& s);

}  // namespace tavrix
