// F_OPEN_DB and F_COMPACT_MDB: the shared connection and the compaction of the work database.
#include "batch/database.h"

#include "platform/text.h"

namespace tavrix {

db::Location databaseLocation(const RunSettings& s) { return db::Location(s.MDB_DIR + s.MDB_NAME); }

bool F_OPEN_DB(RunState& s) {
  if (s.DbOpen) return false;
  try {
    s.DbConnection.close();  // a connection left open without DbOpen is opened anew
    s.DbConnection.setBusyTimeout(s.DbBusyTimeoutMs);
    s.DbConnection.open(databaseLocation(s));
    s.DbOpen = true;
    return false;
  } catch (const db::DbError& e) {
    s.DbOpen = false;
    s.DatabaseFailure = e.what();
    return true;
  }
}

void closeDbConnection(RunState& s) {
  s.DbConnection.close();
  s.DbOpen = false;
}

bool F_COMPACT_MDB(RunState& s) {
  // The destination is the work database's name without its leading "@".
  const std::string& work = s.ScriptMdbName;
  std::string target = work.substr(text::leftChars(work, 1).size());
  try {
    db::compactDatabase(s.MDB_DIR + work, s.MDB_DIR + target);
    return false;
  } catch (const db::DbError&) {
    return true;
  }
}

}  // namespace tavrix
