// The inventory tables of a server database, built from the delivered scripts when it has none.
#include "run/server_tables.h"

#include "batch/database.h"
#include "batch/messages.h"
#include "batch/run_log.h"
#include "dbscript/script_files.h"
#include "import/inventory_schema.h"
#include "import/record_identity.h"

namespace tavrix {

namespace {

// The scripts run in one transaction: a failed build leaves nothing behind. False when it failed.
bool buildFromScripts(RunState& s) {
  db::Connection& server = s.DbConnection;
  s.ScriptServer = &server;
  std::string problem;
  try {
    server.begin();
    if (runScriptFiles(s)) {
      problem = "-";  // logged by the script that failed
    } else if (std::string missing = missingInventoryFields(server); !missing.empty()) {
      problem = "スクリプトから作ったデータベースに " + missing + " がありません。";
    } else {
      server.commit();
    }
  } catch (const db::DbError& e) {
    problem = e.what();
  }
  s.ScriptServer = nullptr;
  if (problem.empty()) return true;
  server.rollback();
  if (problem != "-") F_WRITE_LOG(s, problem);
  F_WRITE_LOG(s, databaseLocation(s).shown() + " に在庫の表を作れませんでした。何も残さずに処理を中止します。");
  return false;
}

// Made when missing, in a transaction of their own; a database that refuses them is imported into
// all the same (logged).
void ensureImportIndexes(RunState& s) {
  db::Connection& server = s.DbConnection;
  try {
    server.begin();
    createImportIndexes(server);
    server.commit();
  } catch (const db::DbError& e) {
    server.rollback();
    F_WRITE_LOG(s, databaseLocation(s).shown() + " に取り込み用の索引を作れませんでした（" + std::string(e.what()) + "）。");
  }
}

}  // namespace

void createImportIndexes(db::Connection& server) {
  server.executeNative(server.translateJet("CREATE INDEX IF NOT EXISTS IX_T_BasicInf_PCid ON T_BasicInf (PCid COLLATE NOCASE)"));
  for (std::string_view table : kInventoryTables) {
    if (table == "T_BasicInf") continue;
    const std::string name(table);
    server.executeNative(server.translateJet("CREATE INDEX IF NOT EXISTS IX_" + name + "_RNO ON " + name + " (RNO)"));
  }
}

bool ensureServerTables(RunState& s) {
  std::string present, missing;
  for (std::string_view table : kInventoryTables) {
    std::string& list = s.DbConnection.hasTable(table) ? present : missing;
    list += (list.empty() ? "" : ", ") + std::string(table);
  }
  if (missing.empty()) {
    ensureImportIndexes(s);
    return true;
  }
  const std::string shown = databaseLocation(s).shown();
  if (!present.empty()) {
    reportMessage(s, "設定エラー: " + shown + " のデータベースには在庫の表の一部（" + present + "）しかありません（ない表: " +
                         missing + "）。スクリプトで作り直さずに処理を中止します。");
    return false;
  }
  if (!buildFromScripts(s)) return false;
  F_WRITE_LOG(s, shown + " に在庫の表をスクリプトから作りました。");
  ensureImportIndexes(s);
  return true;
}

}  // namespace tavrix
