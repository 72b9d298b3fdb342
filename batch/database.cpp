// F_OPEN_DB and F_COMPACT_MDB: the shared connection and the compaction of the work database.
#include "batch/database.h"

#include "platform/text.h"

namespace tavrix {

db::Location databaseLocation(const RunSettings& s) {
  if (s.DB_SERVER.empty()) return db::Location(s.MDB_DIR + s.MDB_NAME);
  db::ServerStringProblem problem;
  return db::serverLocation(s.DB_SERVER, problem).value_or(db::Location());
}

std::string serverProblem(const RunSettings& s) {
  if (s.DB_SERVER.empty()) return "";
  db::ServerStringProblem problem;
  db::serverLocation(s.DB_SERVER, problem);
  switch (problem) {
    case db::ServerStringProblem::Password:
      return "DB_SERVER の接続文字列にパスワードがあります。パスワードは libpq のパスワードファイル（~/.pgpass または PGPASSFILE）に書いてください。";
    case db::ServerStringProblem::Unreadable:
      return "DB_SERVER の接続文字列が読めません（postgresql://ホスト/データベース または host=… dbname=… の形で書いてください）。";
    case db::ServerStringProblem::None:
      break;
  }
  return "";
}

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
