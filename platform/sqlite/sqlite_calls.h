// The SQLite engine's own types over its C API, shared by the files of this folder only.
#pragma once

#include <sqlite3.h>

#include "platform/db_engine.h"

namespace tavrix::db {

// A prepared SQLite statement, finalized when it goes.
class SqliteStatement final : public EngineStatement {
 public:
  explicit SqliteStatement(sqlite3_stmt* stmt) : stmt_(stmt) {}
  ~SqliteStatement() override { sqlite3_finalize(stmt_); }
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;
  sqlite3_stmt* raw() const { return stmt_; }

  void bind(int index, const Value& value, bool outlives) override;
  void bind(int index, const FieldRef& value) override;
  void bindBytes(int index, std::string_view bytes) override;
  bool step() override;
  void reset() override;
  int columnCount() const override;
  std::string columnName(int column) const override;
  bool isNull(int column) const override;
  std::int64_t integer(int column) const override;
  std::string_view text(int column) const override;
  std::string_view bytes(int column) const override;
  Value value(int column) const override;

 private:
  sqlite3_stmt* stmt_;
};

// An open SQLite database, closed when it goes.
class SqliteDatabase final : public EngineDatabase {
 public:
  explicit SqliteDatabase(sqlite3* db) : db_(db) {}
  // close_v2: a record set still holding a statement keeps the file open until it is finalized.
  ~SqliteDatabase() override { sqlite3_close_v2(db_); }
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;
  sqlite3* raw() const { return db_; }

  StatementPtr prepare(const std::string& sql, bool persistent) override;
  bool execute(std::string_view sql) override;
  std::string translateJet(std::string_view jetSql) const override;
  void begin() override;
  void beginRead() override;
  void commit() override;
  void rollback() override;
  bool inTransaction() const override;
  bool isWriting() const override;
  bool isReadOnly() const override;
  void setBusyTimeout(int milliseconds) override;
  std::int64_t lastInsertRowId() const override;
  std::unique_ptr<ManyWrites> startManyWrites(Connection& connection) override;
  std::optional<PageCache> replacePageCache(const PageCache& setting) override;
  std::vector<std::string> tableColumns(const std::string& table) override;
  bool hasTable(std::string_view name) override;
  std::vector<std::string> tableNames() override;
  TableDefinition tableDefinition(const std::string& table) override;
  std::vector<std::string> indexStatements() override;
  std::vector<std::pair<std::string, std::string>> columnsWithTypes(const std::string& table) override;
  bool hasTrigger(std::string_view name) override;
  std::optional<std::string> columnType(std::string_view table, std::string_view column) override;
  std::optional<std::int64_t> lastNumberGiven(std::string_view table) override;
  std::string createTableSql(const TableDefinition& table) const override;
  std::string rowNumberOf(const std::string&) override { return "rowid"; }

 private:
  sqlite3* db_;
};

// The SQLite handle of an open connection on a database file (null when it is not open).
sqlite3* sqliteHandle(const Connection& connection);
// Binds value to parameter index (1-based) of stmt. With valueOutlivesStep the text is not
// copied: the caller keeps value alive until the statement is stepped and reset.
void bindValue(sqlite3_stmt* stmt, int index, const Value& value, bool valueOutlivesStep = false);
// Binds a value that refers to its text; the text is not copied and must outlive the step.
void bindValue(sqlite3_stmt* stmt, int index, const FieldRef& value);
Value columnValue(sqlite3_stmt* stmt, int column);
// The last error of a database handle, with the missing-table mark for "no such table".
DbError errorOf(sqlite3* db, int rc);

}  // namespace tavrix::db
