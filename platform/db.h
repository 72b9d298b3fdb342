// The database layer over SQLite: connection, record sets, table definition, compaction.
// Statement texts are written in the Jet dialect and translated (jet_dialect.h) before SQLite
// sees them. Every failure throws DbError with SQLite's message as its description.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/datetime.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tavrix::db {

class DbError : public std::runtime_error {
 public:
  DbError(const std::string& description, int code, bool missingTable = false)
      : std::runtime_error(description), code_(code), missingTable_(missingTable) {}
  int code() const { return code_; }
  // "no such table": the engine's missing-table failure.
  bool missingTable() const { return missingTable_; }

 private:
  int code_;
  bool missingTable_;
};

// A field value; NULL is distinct from empty text.
class Value {
 public:
  Value() = default;  // NULL
  Value(std::int64_t i) : v_(i) {}
  Value(int i) : v_(static_cast<std::int64_t>(i)) {}
  Value(double d) : v_(d) {}
  Value(std::string s) : v_(std::move(s)) {}
  Value(const char* s) : v_(std::string(s)) {}
  Value(const DateTime& t) : v_(t.storageText()) {}

  bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
  // The value as text: a number as its decimal digits, NULL as "".
  std::string text() const;
  // Integer value: text holding a number is converted; NULL and other text give 0.
  std::int64_t toInt() const;
  const std::variant<std::monostate, std::int64_t, double, std::string>& raw() const { return v_; }

 private:
  std::variant<std::monostate, std::int64_t, double, std::string> v_;
};

class Connection;

// Forward-only, read-only: rows are visited once, in the order of the statement.
class ReadOnlyRecordSet {
 public:
  ReadOnlyRecordSet(Connection& connection, std::string_view jetSql);  // throws DbError
  ~ReadOnlyRecordSet();
  ReadOnlyRecordSet(const ReadOnlyRecordSet&) = delete;
  ReadOnlyRecordSet& operator=(const ReadOnlyRecordSet&) = delete;

  bool eof() const { return eof_; }
  void moveNext();                            // throws DbError
  Value field(std::string_view name) const;   // case-insensitive; throws DbError for unknown name or eof
  std::vector<std::string> fieldNames() const;
  void close();

 private:
  Connection* connection_;
  sqlite3_stmt* stmt_ = nullptr;
  bool eof_ = true;
};

// Updatable record set on "SELECT * FROM <table> [WHERE ...]": adds rows, or sets fields of the
// rows it selected. Opening it only to add rows reads nothing from the table.
class UpdatableRecordSet {
 public:
  UpdatableRecordSet(Connection& connection, std::string_view jetSql);  // throws DbError
  ~UpdatableRecordSet();
  UpdatableRecordSet(const UpdatableRecordSet&) = delete;
  UpdatableRecordSet& operator=(const UpdatableRecordSet&) = delete;

  // Rows selected by the statement (read on first use).
  bool eof();
  void moveNext();
  Value field(std::string_view name);

  // Starts a new row; fields are set one by one, then update() stores it.
  void addNew();
  // Starts a new row filled from names and values of the same length and order.
  void addNew(const std::vector<std::string>& names, const std::vector<Value>& values);
  // Sets a field of the new row, or of the current selected row. Throws for an unknown field.
  void setField(std::string_view name, const Value& value);
  // Stores the new or changed row: a cached INSERT, or an UPDATE of the current row.
  void update();
  void close();

  const std::string& tableName() const { return table_; }

 private:
  void loadSelection();
  Connection* connection_;
  std::string table_;
  std::string selectSql_;
  std::vector<std::string> columns_;                      // table's columns, lazily read
  std::vector<std::pair<std::string, Value>> pending_;    // fields set since addNew/edit
  bool adding_ = false;
  bool loaded_ = false;
  std::vector<std::int64_t> rowids_;
  std::size_t position_ = 0;
};

// One database file. Prepared statements are cached by their text until close().
class Connection {
 public:
  Connection() = default;
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Opens an existing database file read-write (WAL, synchronous=NORMAL, 64 MiB cache).
  // Throws DbError when the file is missing, locked or not a database.
  void open(const std::string& path);
  // Opens an existing file for script statements (no WAL change).
  void openPlain(const std::string& path);
  void close();
  bool isOpen() const { return db_ != nullptr; }
  const std::string& path() const { return path_; }

  // Runs one Jet statement; rows it returns are discarded.
  void execute(std::string_view jetSql);
  void begin();
  void commit();
  void rollback();  // no-op when no transaction is open
  bool inTransaction() const;

  // Prepared statement for SQLite text (already translated), cached by text; reset and unbound.
  sqlite3_stmt* prepareCached(const std::string& sqliteSql);
  // Columns of a table in order (PRAGMA table_info); throws DbError(missingTable) when absent.
  const std::vector<std::string>& tableColumns(const std::string& table);
  std::int64_t lastInsertRowId() const;
  sqlite3* handle() const { return db_; }
  [[noreturn]] void fail(int rc) const;  // throws DbError for the connection's last error

 private:
  sqlite3* db_ = nullptr;
  std::string path_;
  std::map<std::string, sqlite3_stmt*> cache_;
  std::map<std::string, std::vector<std::string>> columnsCache_;
};

// Binds value to parameter index (1-based) of stmt.
void bindValue(sqlite3_stmt* stmt, int index, const Value& value);
Value columnValue(sqlite3_stmt* stmt, int column);

// ADO data type codes used by the table definitions.
enum class ColumnType : int {
  Empty = 0,
  SmallInt = 2,
  Integer = 3,
  Single = 4,
  Double = 5,
  Currency = 6,
  Date = 7,
  Boolean = 11,
  UnsignedTinyInt = 17,
  Numeric = 131,
  VarWChar = 202,
  LongVarWChar = 203,
};

// A table being defined, column by column, like a catalog's table object.
class TableDefinition {
 public:
  struct Column {
    std::string name;
    ColumnType type = ColumnType::Empty;
    int size = 0;
    bool nullable = false;
    bool autoIncrement = false;
  };
  std::string name;
  // Throws DbError for an empty name or a name already in the table (compared without case).
  void appendColumn(const std::string& columnName, ColumnType type, int size);
  Column& column(const std::string& columnName);  // throws DbError when missing
  const std::vector<Column>& columns() const { return columns_; }
  // The CREATE TABLE text SQLite receives.
  std::string createSql() const;

 private:
  std::vector<Column> columns_;
};

// Creates an empty database file; throws DbError when it exists or cannot be written.
void createDatabase(const std::string& path);
// Creates the table in the database file; throws DbError when it exists, has no name or no column.
void appendTable(const std::string& databasePath, const TableDefinition& table);
// Writes a compacted copy of source under destination; fails when destination exists.
void compactDatabase(const std::string& source, const std::string& destination);

}  // namespace tavrix::db
