// Connection: opening a database file, running statements, the statement cache, transactions.
#include "platform/sqlite/sqlite_calls.h"
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "platform/db.h"
#include "platform/sqlite/jet_dialect.h"
#include "platform/text.h"

namespace tavrix::db {

namespace {

constexpr std::size_t kCacheLimit = 256;  // a caller passing ever-new texts must not grow memory

// SQLite counts every allocation under one process-wide lock unless told not to before its first
// use; nothing here reads those counts.
[[maybe_unused]] const int kMemoryStatusOff = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);

bool startsWithDefinitionWord(std::string_view sql) {
  sql = text::trimLeft(sql);
  while (!sql.empty() && (sql.front() == '\n' || sql.front() == '\r' || sql.front() == '\t')) {
    sql.remove_prefix(1);
    sql = text::trimLeft(sql);
  }
  return text::startsWithNoCase(sql, "CREATE") || text::startsWithNoCase(sql, "DROP") ||
         text::startsWithNoCase(sql, "ALTER");
}

// Size, change time and inode of a file; "" when it does not exist.
std::string fileStamp(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return "";
  return std::to_string(info.st_size) + ":" + std::to_string(info.st_mtim.tv_sec) + "." +
         std::to_string(info.st_mtim.tv_nsec) + ":" + std::to_string(info.st_ino);
}

// A database file in WAL mode (header bytes 18 and 19 are 2) with no log beside it.
bool isWalWithoutLog(const std::string& path) {
  unsigned char header[20] = {};
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  const bool complete = std::fread(header, 1, sizeof header, file) == sizeof header;
  std::fclose(file);
  return complete && std::memcmp(header, "SQLite format 3", 16) == 0 && header[18] == 2 && header[19] == 2 &&
         fileStamp(path + "-wal").empty();
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

void Connection::fail(int rc) const { throw errorOf(sq(db_.get()), rc); }

namespace {

// A file: URI for path, with the characters URIs give a meaning escaped.
std::string fileUri(const std::string& path, const char* query) {
  std::string uri = "file:";
  for (unsigned char c : path) {
    if (c == '%' || c == '?' || c == '#' || c < 0x20) {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      uri += escaped;
    } else {
      uri += static_cast<char>(c);
    }
  }
  return uri + query;
}

}  // namespace

void Connection::openWith(const std::string& path, OpenMode mode) {
  if (db_) throw DbError("the connection is already open", SQLITE_MISUSE);
  const bool readOnly = mode == OpenMode::ReadOnly || mode == OpenMode::Immutable;
  const std::string name = mode == OpenMode::Immutable ? fileUri(path, "?immutable=1") : path;
  // A connection is used by one thread at a time, so SQLite need not lock it on every call.
  const int flags = SQLITE_OPEN_NOMUTEX |
                    (!readOnly ? SQLITE_OPEN_READWRITE
                               : (mode == OpenMode::Immutable ? SQLITE_OPEN_READONLY | SQLITE_OPEN_URI : SQLITE_OPEN_READONLY));
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(name.c_str(), &raw, flags, nullptr);
  DatabasePtr db(engine(raw));
  if (rc != SQLITE_OK) {
    std::string message = raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc);
    throw DbError(message + " (" + path + ")", rc);
  }
  sqlite3_extended_result_codes(raw, 1);
  sqlite3_busy_timeout(raw, busyTimeoutMs_);
  // The file must be a database: a folder or a foreign file fails on this first read.
  // The log is copied into the database every 20,000 pages (320 MB at 16 KiB) instead of SQLite's
  // 1,000: each copy ends in a sync, and the pages every commit rewrites are copied once per copy.
  // Readers map the file, so that scans of millions of rows read pages without copying them.
  const std::string check = mode == OpenMode::Inventory
                                ? "SELECT count(*) FROM sqlite_schema; PRAGMA journal_mode=WAL; "
                                  "PRAGMA synchronous=NORMAL; PRAGMA cache_size=-65536; PRAGMA wal_autocheckpoint=" +
                                      std::to_string(kAutoCheckpointPages) + ";"
                                : (readOnly ? "SELECT count(*) FROM sqlite_schema; PRAGMA cache_size=-65536; PRAGMA mmap_size=2147418112;"
                                            : "SELECT count(*) FROM sqlite_schema;");
  rc = sqlite3_exec(raw, check.c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    std::string message = sqlite3_errmsg(raw);
    if (rc == SQLITE_CANTOPEN || readOnly) message += " (" + path + ")";
    throw DbError(message, sqlite3_extended_errcode(raw));
  }
  // An empty file reads as a database without tables; for reading it is no database at all.
  if (readOnly) {
    sqlite3_stmt* pages = nullptr;
    sqlite3_prepare_v2(raw, "PRAGMA page_count", -1, &pages, nullptr);
    StatementPtr holder(engine(pages));
    if (!pages || sqlite3_step(pages) != SQLITE_ROW || sqlite3_column_int64(pages, 0) == 0)
      throw DbError("the file is empty, not a database (" + path + ")", SQLITE_NOTADB);
  }
  db_ = std::move(db);
  location_ = Location(path);
}

void Connection::open(const Location& location) {
  if (location.isServer()) openServer(location);
  openWith(location.filePath(), OpenMode::Inventory);
}

void Connection::openPlain(const Location& location) {
  if (location.isServer()) openServer(location);
  openWith(location.filePath(), OpenMode::Plain);
}

void Connection::openReadOnly(const Location& location) {
  if (location.isServer()) openServer(location);
  const std::string& path = location.filePath();
  const bool unchanging = isWalWithoutLog(path);
  const std::string stamp = unchanging ? fileStamp(path) : "";
  openWith(path, unchanging ? OpenMode::Immutable : OpenMode::ReadOnly);
  unchangingPath_ = path;
  unchangingStamp_ = stamp;
}

bool Connection::unchangingFileChanged() const {
  return !unchangingStamp_.empty() &&
         (fileStamp(unchangingPath_) != unchangingStamp_ || !fileStamp(unchangingPath_ + "-wal").empty());
}

void Connection::close() {
  cache_.clear();
  ++cacheGeneration_;
  columnsCache_.clear();
  db_.reset();
  location_ = Location();
}

void Connection::executeNative(std::string_view sqliteSql) {
  if (!db_) throw DbError("the connection is not open", SQLITE_MISUSE);
  bool definition = false;
  const char* tail = sqliteSql.data();
  const char* end = sqliteSql.data() + sqliteSql.size();
  while (tail < end) {
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(sq(db_.get()), tail, static_cast<int>(end - tail), &raw, &tail);
    StatementPtr stmt(engine(raw));
    if (rc != SQLITE_OK) fail(rc);
    if (!stmt) continue;  // only blanks or comments were left
    definition = definition || startsWithDefinitionWord(sqlite3_sql(sq(stmt.get())));
    while ((rc = sqlite3_step(sq(stmt.get()))) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) fail(rc);
  }
  if (definition) columnsCache_.clear();
}

void Connection::execute(std::string_view jetSql) { executeNative(translateJet(jetSql)); }

void Connection::begin() { executeNative("BEGIN IMMEDIATE"); }

void Connection::setBusyTimeout(int milliseconds) {
  busyTimeoutMs_ = milliseconds;
  if (db_) sqlite3_busy_timeout(sq(db_.get()), milliseconds);
}

bool Connection::isReadOnly() const { return db_ && sqlite3_db_readonly(sq(db_.get()), "main") == 1; }
void Connection::commit() { executeNative("COMMIT"); }
void Connection::rollback() {
  if (inTransaction()) executeNative("ROLLBACK");
}
bool Connection::inTransaction() const { return db_ && !sqlite3_get_autocommit(sq(db_.get())); }

bool Connection::isWriting() const { return db_ && sqlite3_txn_state(sq(db_.get()), nullptr) == SQLITE_TXN_WRITE; }

ReadTransaction::ReadTransaction(Connection& connection) {
  if (!connection.isOpen() || connection.inTransaction()) return;
  connection.executeNative("BEGIN");
  connection_ = &connection;
}

ReadTransaction::~ReadTransaction() {
  if (!connection_ || !connection_->inTransaction()) return;
  try {
    connection_->executeNative("COMMIT");
  } catch (const DbError&) {
    connection_->rollback();
  }
}

StatementPtr Connection::prepare(const std::string& sqliteSql) {
  if (!db_) throw DbError("the connection is not open", SQLITE_MISUSE);
  sqlite3_stmt* raw = nullptr;
  int rc = sqlite3_prepare_v2(sq(db_.get()), sqliteSql.data(), static_cast<int>(sqliteSql.size()), &raw, nullptr);
  StatementPtr stmt(engine(raw));
  if (rc != SQLITE_OK) fail(rc);
  if (!stmt) throw DbError("empty statement", SQLITE_MISUSE);
  return stmt;
}

EngineStatement* Connection::prepareCached(const std::string& sqliteSql) {
  if (!db_) throw DbError("the connection is not open", SQLITE_MISUSE);
  auto found = cache_.find(sqliteSql);
  if (found != cache_.end()) {
    sqlite3_reset(sq(found->second.get()));
    sqlite3_clear_bindings(sq(found->second.get()));
    return found->second.get();
  }
  sqlite3_stmt* raw = nullptr;
  int rc = sqlite3_prepare_v3(sq(db_.get()), sqliteSql.data(), static_cast<int>(sqliteSql.size()),
                              SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
  StatementPtr stmt(engine(raw));
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
  sqlite3_stmt* stmt = sq(prepareCached("SELECT name FROM pragma_table_info(?1)"));
  bindValue(stmt, 1, Value(table));
  std::vector<std::string> names;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) names.push_back(columnValue(stmt, 0).text());
  if (rc != SQLITE_DONE) {
    DbError error = errorOf(sq(db_.get()), rc);
    sqlite3_reset(stmt);
    throw error;
  }
  if (names.empty()) throw DbError("no such table: " + table, SQLITE_ERROR, true);
  return columnsCache_.emplace(table, std::move(names)).first->second;
}

bool Connection::hasTable(std::string_view name) {
  Statement found(*this, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
  return found.bind(1, FieldRef(name)).next();
}

bool Connection::hasTrigger(std::string_view name) {
  Statement found(*this, "SELECT 1 FROM sqlite_schema WHERE type = 'trigger' AND name = ?1 COLLATE NOCASE");
  return found.bind(1, FieldRef(name)).next();
}

std::optional<std::string> Connection::columnType(std::string_view table, std::string_view column) {
  Statement found(*this, "SELECT type FROM pragma_table_info(?1) WHERE name = ?2 COLLATE NOCASE");
  if (!found.bind(1, FieldRef(table)).bind(2, FieldRef(column)).next()) return std::nullopt;
  return std::string(found.row().text(0));
}

// A database without a counter column has no sqlite_sequence at all.
std::optional<std::int64_t> Connection::lastNumberGiven(std::string_view table) {
  if (!hasTable("sqlite_sequence")) return std::nullopt;
  Statement found(*this, "SELECT seq FROM sqlite_sequence WHERE name = ?1");
  if (!found.bind(1, FieldRef(table)).next() || found.row().isNull(0)) return std::nullopt;
  return found.row().integer(0);
}

std::int64_t Connection::lastInsertRowId() const {
  return db_ ? sqlite3_last_insert_rowid(sq(db_.get())) : 0;
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
