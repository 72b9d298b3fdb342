// F07_CRE_MDB: the work database with its version table, or the version table on a server.
#include "dbscript/create_mdb.h"

#include <functional>

#include "batch/run_log.h"
#include "platform/paths.h"

namespace tavrix {

namespace {

db::TableDefinition versionTable() {
  db::TableDefinition t;
  t.name = "T_Version";
  t.appendColumn("VERSION", db::ColumnType::SmallInt, 0);
  t.appendColumn("REVISION", db::ColumnType::SmallInt, 0);
  t.appendColumn("VLDATA", db::ColumnType::VarWChar, 50);
  t.appendColumn("RLSDATE", db::ColumnType::Date, 0);
  return t;
}

// On a server the build's transaction takes the version table in place of a work database file.
bool createServerVersionTable(RunState& s) {
  db::Connection& server = *s.ScriptServer;
  try {
    if (server.hasTable("T_Version")) return false;
    db::Savepoint step(server);
    db::appendTable(server, versionTable());
    step.keep();
    return false;
  } catch (const std::exception& e) {
    F_WRITE_LOG(s, std::string("F07_CRE_MDB: ") + e.what());
    return true;
  }
}

}  // namespace

bool F07_CRE_MDB(RunState& s) {
  if (s.ScriptServer) return createServerVersionTable(s);
  std::string path = s.MDB_DIR + s.ScriptMdbName;
  if (paths::fileExists(path)) return false;
  bool failed = false;
  // Every step is tried; each failure is logged on its own line.
  auto step = [&](const std::function<void()>& action) {
    try {
      action();
    } catch (const std::exception& e) {
      F_WRITE_LOG(s, std::string("F07_CRE_MDB: ") + e.what());
      failed = true;
    }
  };
  db::Connection catalog;
  db::TableDefinition table;
  step([&] { db::createDatabase(path); });
  step([&] {
    catalog.close();
    catalog.openPlain(path);
  });
  s.TheClock.pause(1000);
  step([&] { table = versionTable(); });
  step([&] { db::appendTable(catalog, table); });
  step([&] { catalog.close(); });
  return failed;
}

}  // namespace tavrix
