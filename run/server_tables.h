// The inventory tables of a server database, built from the delivered scripts when it has none.
#pragma once

#include "batch/run_state.h"

namespace tavrix {

// With DbConnection open on a server database: true when it holds every inventory table, or held
// none and the scripts have built them, in one transaction (the run log says so); the indexes the
// import looks up by are made when missing. False when the
// batch must end: the database holds some inventory tables but not all (a settings error, shown
// once; nothing is built over them), or the build failed (logged; rolled back, nothing is left).
bool ensureServerTables(RunState& s);
// The indexes the import looks up by, made when missing, in the connection's open transaction: a
// computer's snapshot by its PCid without regard to ASCII case, the detail rows by their RNO
// (without them every file would read whole tables). Throws DbError.
void createImportIndexes(db::Connection& server);

}  // namespace tavrix
