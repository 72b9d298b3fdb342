// Connection: opening a database file, running statements, the statement cache, transactions.
#include <sqlite3.h>

#include "platform/db.h"
#include "platform/jet_dialect.h"
#include "platform/text.h"

namespace tavrix::db {

namespace {

constexpr std::size_t kCacheLimit = 256;  // a caller passing ever-new texts must not grow memory

bool startsWithDefinitionWord(std::string_view sql) {
  sql = text::trimLeft(sql);
  while (!sql.empty() && (sql.front() == '\n' || sql.front() == '\r' || sql.front() == '\t')) {
    sql.remove_prefix(1);
    sql = text::trimLeft(sql);
  }
  return text::startsWithNoCase(sql, "CREATE") || text::startsWithNoCase(sql, "DROP") ||
         text::startsWithNoCase(sql, "ALTER");
}

}  // namespace

bool DbError::databaseUnusable() const {
  switch (code_ & 0xFF) {
    case SQLITE_BUSY: case SQLITE_LOCKED: case SQLITE_NOMEM: case SQLITE_READONLY: case SQLITE_IOERR:
    case SQLITE_CORRUPT: case SQLITE_FULL: case SQLITE_CANTOPEN: case SQLITE_PROTOCOL: case SQLITE_NOTADB:
      return true;
    default:
      return false;
  }
}

Connection::~Connection() { close(); }

DbError errorOf(sqlite3* db, int rc) {
  std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  int code = db ? sqlite3_extended_errcode(db) : rc;
  bool missing = text::startsWithNoCase(message, "no such table");
  return DbError(message, code, missing);
}

void Connection::fail(int rc) const { throw errorOf(db_.get(), rc); }

void Connection::openWith(const std::string& path, bool inventoryTuning) {
  if (db_) throw DbError("the connection is already open", SQLITE_MISUSE);
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
  DatabasePtr db(raw);
  if (rc != SQLITE_OK) {
    std::string message = raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc);
    throw DbError(message + " (" + path + ")", rc);
  }
  sqlite3_extended_result_codes(raw, 1);
  sqlite3_busy_timeout(raw, busyTimeoutMs_);
  // The file must be a database: a folder or a foreign file fails on this first read.
  const char* check = inventoryTuning
                          ? "SELECT count(*) FROM sqlite_schema; PRAGMA journal_mode=WAL; "
                            "PRAGMA synchronous=NORMAL; PRAGMA cache_size=-65536;"
                          : "SELECT count(*) FROM sqlite_schema;";
  rc = sqlite3_exec(raw, check, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    std::string message = sqlite3_errmsg(raw);
    if (rc == SQLITE_CANTOPEN) message += " (" + path + ")";
    throw DbError(message, sqlite3_extended_errcode(raw));
  }
  db_ = std::move(db);
  path_ = path;
}

void Connection::open(const std::string& path) { openWith(path, true); }
void Connection::openPlain(const std::string& path) { openWith(path, false); }

void Connection::close() {
  cache_.clear();
  ++cacheGeneration_;
  columnsCache_.clear();
  db_.reset();
  path_.clear();
}

void Connection::executeNative(std::string_view sqliteSql) {
  if (!db_) throw DbError("the connection is not open", SQLITE_MISUSE);
  bool definition = false;
  const char* tail = sqliteSql.data();
  const char* end = sqliteSql.data() + sqliteSql.size();
  while (tail < end) {
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(db_.get(), tail, static_cast<int>(end - tail), &raw, &tail);
    StatementPtr stmt(raw);
    if (rc != SQLITE_OK) fail(rc);
    if (!stmt) continue;  // only blanks or comments were left
    definition = definition || startsWithDefinitionWord(sqlite3_sql(stmt.get()));
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) fail(rc);
  }
  if (definition) columnsCache_.clear();
}

void Connection::execute(std::string_view jetSql) { executeNative(translateJet(jetSql)); }

void Connection::begin() { executeNative("BEGIN IMMEDIATE"); }

void Connection::setBusyTimeout(int milliseconds) {
  busyTimeoutMs_ = milliseconds;
  if (db_) sqlite3_busy_timeout(db_.get(), milliseconds);
}

bool Connection::isReadOnly() const { return db_ && sqlite3_db_readonly(db_.get(), "main") == 1; }
void Connection::commit() { executeNative("COMMIT"); }
void Connection::rollback() {
  if (inTransaction()) executeNative("ROLLBACK");
}
bool Connection::inTransaction() const { return db_ && !sqlite3_get_autocommit(db_.get()); }

StatementPtr Connection::prepare(const std::string& sqliteSql) {
  if (!db_) throw DbError("the connection is not open", SQLITE_MISUSE);
  sqlite3_stmt* raw = nullptr;
  int rc = sqlite3_prepare_v2(db_.get(), sqliteSql.data(), static_cast<int>(sqliteSql.size()), &raw, nullptr);
  StatementPtr stmt(raw);
  if (rc != SQLITE_OK) fail(rc);
  if (!stmt) throw DbError("empty statement", SQLITE_MISUSE);
  return stmt;
}

sqlite3_stmt* Connection::prepareCached(const std::string& sqliteSql) {
  if (!db_) throw DbError("the connection is not open", SQLITE_MISUSE);
  auto found = cache_.find(sqliteSql);
  if (found != cache_.end()) {
    sqlite3_reset(found->second.get());
    sqlite3_clear_bindings(found->second.get());
    return found->second.get();
  }
  sqlite3_stmt* raw = nullptr;
  int rc = sqlite3_prepare_v3(db_.get(), sqliteSql.data(), static_cast<int>(sqliteSql.size()),
                              SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
  StatementPtr stmt(raw);
  if (rc != SQLITE_OK) fail(rc);
  if (!stmt) throw DbError("empty statement", SQLITE_MISUSE);
  if (cache_.size() >= kCacheLimit) {
    cache_.clear();
    ++cacheGeneration_;
  }
  return cache_.emplace(sqliteSql, std::move(stmt)).first->second.get();
}

const std::vector<std::string>& Connection::tableColumns(const std::string& table) {
  auto found = columnsCache_.find(table);
  if (found != columnsCache_.end()) return found->second;
  sqlite3_stmt* stmt = prepareCached("SELECT name FROM pragma_table_info(?1)");
  bindValue(stmt, 1, Value(table));
  std::vector<std::string> names;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) names.push_back(columnValue(stmt, 0).text());
  if (rc != SQLITE_DONE) {
    DbError error = errorOf(db_.get(), rc);
    sqlite3_reset(stmt);
    throw error;
  }
  if (names.empty()) throw DbError("no such table: " + table, SQLITE_ERROR, true);
  return columnsCache_.emplace(table, std::move(names)).first->second;
}

std::int64_t Connection::lastInsertRowId() const {
  return db_ ? sqlite3_last_insert_rowid(db_.get()) : 0;
}

void runToEnd(sqlite3_stmt* stmt) {
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) {
    DbError error = errorOf(sqlite3_db_handle(stmt), rc);
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    throw error;
  }
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
}

}  // namespace tavrix::db
