// SQLite databases: opening a file, running statements, transactions and catalogue questions.
#include "platform/sqlite/sqlite_calls.h"
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "platform/db.h"
#include "platform/jet_dialect.h"
#include "platform/text.h"

namespace tavrix::db {

namespace {

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

DbError errorOf(sqlite3* db, int rc) {
  std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  int code = db ? sqlite3_extended_errcode(db) : rc;
  bool missing = text::startsWithNoCase(message, "no such table");
  return DbError(message, code, missing, text::startsWithNoCase(message, "no such index"));
}

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
  DatabasePtr db(new SqliteDatabase(raw));
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
    SqliteStatement holder(pages);
    if (!pages || sqlite3_step(pages) != SQLITE_ROW || sqlite3_column_int64(pages, 0) == 0)
      throw DbError("the file is empty, not a database (" + path + ")", SQLITE_NOTADB);
  }
  db_ = std::move(db);
  location_ = Location(path);
}

void Connection::open(const Location& location) {
  if (location.isServer()) return openServer(location, OpenMode::Inventory);
  openWith(location.filePath(), OpenMode::Inventory);
}

void Connection::openPlain(const Location& location) {
  if (location.isServer()) return openServer(location, OpenMode::Plain);
  openWith(location.filePath(), OpenMode::Plain);
}

void Connection::openReadOnly(const Location& location) {
  if (location.isServer()) return openServer(location, OpenMode::ReadOnly);
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

sqlite3* sqliteHandle(const Connection& connection) {
  if (!connection.isOpen()) return nullptr;
  return static_cast<SqliteDatabase&>(EngineAccess::of(connection)).raw();
}

StatementPtr SqliteDatabase::prepare(const std::string& sql, bool persistent) {
  sqlite3_stmt* raw = nullptr;
  int rc = sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()), persistent ? SQLITE_PREPARE_PERSISTENT : 0,
                              &raw, nullptr);
  if (rc != SQLITE_OK) throw errorOf(db_, rc);
  if (!raw) throw DbError("empty statement", SQLITE_MISUSE);
  return StatementPtr(new SqliteStatement(raw));
}

bool SqliteDatabase::execute(std::string_view sql) {
  bool definition = false;
  const char* tail = sql.data();
  const char* end = sql.data() + sql.size();
  while (tail < end) {
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(db_, tail, static_cast<int>(end - tail), &raw, &tail);
    SqliteStatement stmt(raw);
    if (rc != SQLITE_OK) throw errorOf(db_, rc);
    if (!raw) continue;  // only blanks or comments were left
    definition = definition || startsWithDefinitionWord(sqlite3_sql(raw));
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) throw errorOf(db_, rc);
  }
  return definition;
}

std::string SqliteDatabase::translateJet(std::string_view jetSql) const { return db::translateJet(jetSql); }

void SqliteDatabase::begin() { execute("BEGIN IMMEDIATE"); }
void SqliteDatabase::beginRead() { execute("BEGIN"); }
void SqliteDatabase::commit() { execute("COMMIT"); }
void SqliteDatabase::rollback() { execute("ROLLBACK"); }
bool SqliteDatabase::inTransaction() const { return !sqlite3_get_autocommit(db_); }
bool SqliteDatabase::isWriting() const { return sqlite3_txn_state(db_, nullptr) == SQLITE_TXN_WRITE; }
bool SqliteDatabase::isReadOnly() const { return sqlite3_db_readonly(db_, "main") == 1; }
void SqliteDatabase::setBusyTimeout(int milliseconds) { sqlite3_busy_timeout(db_, milliseconds); }
std::int64_t SqliteDatabase::lastInsertRowId() const { return sqlite3_last_insert_rowid(db_); }

// PRAGMA cache_size: pages when positive, KiB when negative; PRAGMA mmap_size: bytes.
std::optional<PageCache> SqliteDatabase::replacePageCache(const PageCache& setting) {
  const auto read = [this](const char* pragma) -> std::optional<std::int64_t> {
    sqlite3_stmt* raw = nullptr;
    sqlite3_prepare_v2(db_, pragma, -1, &raw, nullptr);
    SqliteStatement holder(raw);
    if (!raw || sqlite3_step(raw) != SQLITE_ROW) return std::nullopt;
    return sqlite3_column_int64(raw, 0);
  };
  const std::optional<std::int64_t> cacheSize = read("PRAGMA cache_size"), mapped = read("PRAGMA mmap_size");
  if (!cacheSize || !mapped) return std::nullopt;
  execute("PRAGMA cache_size=" + std::to_string(setting.cacheSize) + "; PRAGMA mmap_size=" + std::to_string(setting.mappedBytes));
  return PageCache{*cacheSize, *mapped};
}

std::vector<std::string> SqliteDatabase::tableColumns(const std::string& table) {
  StatementPtr stmt = prepare("SELECT name FROM pragma_table_info(?1)", false);
  stmt->bind(1, Value(table), false);
  std::vector<std::string> names;
  while (stmt->step()) names.emplace_back(stmt->text(0));
  return names;
}

bool SqliteDatabase::hasTable(std::string_view name) {
  StatementPtr found = prepare("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE", false);
  found->bind(1, FieldRef(name));
  return found->step();
}

std::vector<std::string> SqliteDatabase::tableNames() {
  StatementPtr found = prepare("SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name", false);
  std::vector<std::string> names;
  while (found->step()) names.emplace_back(found->text(0));
  return names;
}

std::vector<std::pair<std::string, std::string>> SqliteDatabase::columnsWithTypes(const std::string& table) {
  StatementPtr found = prepare("SELECT name, type FROM pragma_table_info(?1) ORDER BY cid", false);
  found->bind(1, Value(table), false);
  std::vector<std::pair<std::string, std::string>> columns;
  while (found->step()) columns.emplace_back(found->text(0), found->text(1));
  return columns;
}

bool SqliteDatabase::hasTrigger(std::string_view name) {
  StatementPtr found = prepare("SELECT 1 FROM sqlite_schema WHERE type = 'trigger' AND name = ?1 COLLATE NOCASE", false);
  found->bind(1, FieldRef(name));
  return found->step();
}

std::optional<std::string> SqliteDatabase::columnType(std::string_view table, std::string_view column) {
  StatementPtr found = prepare("SELECT type FROM pragma_table_info(?1) WHERE name = ?2 COLLATE NOCASE", false);
  found->bind(1, FieldRef(table));
  found->bind(2, FieldRef(column));
  if (!found->step()) return std::nullopt;
  return std::string(found->text(0));
}

// A database without a counter column has no sqlite_sequence at all.
std::optional<std::int64_t> SqliteDatabase::lastNumberGiven(std::string_view table) {
  if (!hasTable("sqlite_sequence")) return std::nullopt;
  StatementPtr found = prepare("SELECT seq FROM sqlite_sequence WHERE name = ?1", false);
  found->bind(1, FieldRef(table));
  if (!found->step() || found->isNull(0)) return std::nullopt;
  return found->integer(0);
}

}  // namespace tavrix::db
