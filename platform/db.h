// What the program does with a database: connection, statements and rows, record sets, catalogue
// questions, table definition, compaction. Two engines stand behind it (db_engine.h): SQLite for a
// database file (platform/sqlite/) and PostgreSQL for a server (platform/postgres/), the only places
// that call them. Record-set texts are written in the Jet dialect and translated by the engine
// before it sees them. Every failure throws DbError with the engine's message as its description.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "platform/datetime.h"
#include "platform/db_location.h"


namespace tavrix::db {

class DbError : public std::runtime_error {
 public:
  // The seam's failure codes: SQLite's primary result codes, onto which every engine maps its own
  // (extended codes keep the primary one in their low byte).
  enum Code : int { kError = 1, kBusy = 5, kNoMemory = 7, kReadOnly = 8, kIoError = 10, kCorrupt = 11,
                    kNotFound = 12, kFull = 13, kCantOpen = 14, kMisuse = 21, kRange = 25 };
  DbError(const std::string& description, int code, bool missingTable = false, bool missingIndex = false)
      : std::runtime_error(description), code_(code), missingTable_(missingTable), missingIndex_(missingIndex) {}
  int code() const { return code_; }
  // "no such table": the engine's missing-table failure.
  bool missingTable() const { return missingTable_; }
  // The index a statement names does not exist.
  bool missingIndex() const { return missingIndex_; }
  // The database as a whole cannot take writes now (held by another writer, read-only, full,
  // damaged, unreachable): every later statement would fail alike.
  bool databaseUnusable() const;

 private:
  int code_;
  bool missingTable_;
  bool missingIndex_;
};

// An engine's open database and prepared statement (db_engine.h).
struct EngineDatabase;
struct EngineStatement;
struct EngineAccess;

// RAII holders: a statement is finalized, a database closed, when its holder goes.
struct StatementFinalizer {
  void operator()(EngineStatement* stmt) const;
};
struct DatabaseCloser {
  void operator()(EngineDatabase* db) const;
};
using StatementPtr = std::unique_ptr<EngineStatement, StatementFinalizer>;
using DatabasePtr = std::unique_ptr<EngineDatabase, DatabaseCloser>;

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
  // Integer value: a real number is rounded, text holding a number is converted; NULL and other text give 0.
  std::int64_t toInt() const;
  const std::variant<std::monostate, std::int64_t, double, std::string>& raw() const { return v_; }
  bool operator==(const Value&) const = default;

 private:
  std::variant<std::monostate, std::int64_t, double, std::string> v_;
};

// A field value that refers to its text instead of holding it, for adding rows without copies:
// the text must stay alive until the call that binds it returns.
using FieldRef = std::variant<std::monostate, std::int64_t, std::string_view>;

class Connection;
class TableDefinition;

// One row of a statement being stepped, read in place: its texts stay valid until the next step.
class RowView {
 public:
  int columnCount() const;
  bool isNull(int column) const;
  std::int64_t integer(int column) const;  // 0 for NULL
  std::string_view text(int column) const;   // "" for NULL
  std::string_view bytes(int column) const;  // a blob's bytes (or a text's), "" for NULL
  Value value(int column) const;

 private:
  friend class Statement;
  EngineStatement* stmt_ = nullptr;
};

// A statement in the engine's dialect, prepared once per connection and kept by its text. While the
// object lives it is bound and stepped; it is reset and unbound when the object goes, so two objects
// of the same text must not live at once. Closing the connection ends it. Parameters are numbered from 1.
class Statement {
 public:
  Statement(Connection& connection, const std::string& sql);  // throws DbError
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& bind(int index, const Value& value);     // the text is copied
  Statement& bind(int index, const FieldRef& value);  // the text must outlive the run
  Statement& bindBytes(int index, std::string_view bytes);  // as a blob; must outlive the run
  // Steps to the next row, then row() reads it; false at the end, when the statement is reset and
  // unbound for the next run. Throws DbError.
  bool next();
  const RowView& row() const { return row_; }
  // Steps to the end, discarding rows; throws DbError.
  void run();
  // Calls onRow for every row, then ends as next() does.
  template <typename OnRow>
  void forEach(OnRow&& onRow) {
    while (next()) onRow(row_);
  }

 private:
  void reset();
  Connection& connection_;
  EngineStatement* stmt_;
  std::uint64_t generation_;  // the connection's cache generation stmt_ belongs to
  RowView row_;
};

// Forward-only, read-only: rows are visited once, in the order of the statement.
class ReadOnlyRecordSet {
 public:
  ReadOnlyRecordSet(Connection& connection, std::string_view jetSql);  // throws DbError
  ~ReadOnlyRecordSet() = default;
  ReadOnlyRecordSet(const ReadOnlyRecordSet&) = delete;
  ReadOnlyRecordSet& operator=(const ReadOnlyRecordSet&) = delete;

  bool eof() const { return eof_; }
  void moveNext();                            // throws DbError
  Value field(std::string_view name) const;   // case-insensitive; throws DbError for unknown name or eof
  // A field's place, found once for a loop over many rows; throws DbError as field(name) does.
  int fieldIndex(std::string_view name) const;
  Value field(int index) const;               // throws DbError at eof
  std::vector<std::string> fieldNames() const;
  void close();

 private:
  void step();
  StatementPtr stmt_;  // own statement, not cached: it stays open between calls
  bool eof_ = true;
};

// Updatable record set on "SELECT * FROM <table> [WHERE ...]": adds rows, or sets fields of the
// rows it selected (a keyset: the row ids are read on first use, the values whenever read).
// Opening it only to add rows reads nothing from the table.
class UpdatableRecordSet {
 public:
  UpdatableRecordSet(Connection& connection, std::string_view jetSql);  // throws DbError
  ~UpdatableRecordSet() = default;
  UpdatableRecordSet(const UpdatableRecordSet&) = delete;
  UpdatableRecordSet& operator=(const UpdatableRecordSet&) = delete;

  // Rows selected by the statement (read on first use).
  bool eof();
  void moveNext();  // stores pending changes first
  Value field(std::string_view name);

  // Starts a new row; fields are set one by one, then update() stores it.
  void addNew();
  // Adds a row filled from names and values of the same length and order, stored at once
  // (a cached INSERT); the new row becomes the current row and update() has nothing left to do.
  void addNew(const std::vector<std::string>& names, const std::vector<Value>& values);
  // The same with values that refer to their text. A record set kept open for many rows with
  // the same names prepares and finds its INSERT once. An engine with a bulk path (a server's
  // COPY) sends the row later with the others: then there is no current row to read.
  void addNew(const std::vector<std::string>& names, std::span<const FieldRef> values);
  // Sets a field of the new row, or of the current row. Throws for an unknown field.
  void setField(std::string_view name, const Value& value);
  // Stores the new or changed row: a cached INSERT, or an UPDATE of the current row.
  void update();
  void close();

  const std::string& tableName() const { return table_; }

 private:
  void loadSelection();
  std::int64_t currentRowId();
  EngineStatement* insertFor(const std::vector<std::string>& names);
  void storeAdded(EngineStatement* stmt);
  Connection* connection_;
  std::string table_;
  std::string rest_;                                      // translated text after the table name
  std::vector<std::pair<std::string, Value>> pending_;    // fields set since addNew or the last update
  bool adding_ = false;
  bool loaded_ = false;
  bool hasAddedRow_ = false;
  std::int64_t addedRowId_ = 0;
  std::vector<std::int64_t> rowids_;
  std::size_t position_ = 0;
  EngineStatement* insert_ = nullptr;        // the INSERT of insertNames_, from the connection's cache
  std::uint64_t insertGeneration_ = 0;    // the cache generation insert_ was taken from
  std::vector<std::string> insertNames_;
};

// A long run of writing transactions (an import of many files). While it lasts the engine may do
// its upkeep beside the writer (SQLite copies its log into the file on a thread of its own).
// finish() ends it, with no transaction open, before anything written is relied on; so does the
// object going.
class ManyWrites {
 public:
  virtual ~ManyWrites() = default;
  virtual void finish() = 0;
  // Whether the open transaction, holding this many files of the run (each in a savepoint of its
  // own), may take one more before it commits. An engine whose commits cost little gives every
  // file its own transaction; a server stores many files' rows in one go and one synced commit.
  virtual bool roomForAnotherFile(int filesInTransaction) const { return filesInTransaction == 0; }
};

// While it lives, the connection keeps only a few pages cached and maps none of the file: a scan
// that reads each page once would otherwise take (and zero) fresh memory for a large cache, or
// fault in every mapped page, for pages never read again.
struct PageCache {
  std::int64_t cacheSize;
  std::int64_t mappedBytes;
};
class FewPagesCached {
 public:
  explicit FewPagesCached(Connection& connection);
  ~FewPagesCached();
  FewPagesCached(const FewPagesCached&) = delete;
  FewPagesCached& operator=(const FewPagesCached&) = delete;

 private:
  Connection& connection_;
  std::optional<PageCache> replaced_;
};

// One database file. Statements the layer builds with parameters are prepared once and cached
// by their text until close().
class Connection {
 public:
  // The inventory connection copies its log into the database file every this many pages.
  static constexpr int kAutoCheckpointPages = 20000;

  Connection() = default;
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Opens an existing database file read-write (WAL, synchronous=NORMAL, 64 MiB cache).
  // Throws DbError when the file is missing, is a folder, is locked or is not a database.
  void open(const Location& location);
  // Opens an existing database file with the engine's defaults, for script statements.
  void openPlain(const Location& location);
  // Opens an existing database file for reading only: nothing is written, created or removed. A
  // WAL database whose log is absent (no connection has it open) is read as an unchanging file,
  // so no shared-memory or log file is made beside it (in a read-only folder none could be); with
  // a log present the files are shared as usual. Throws DbError naming the file when it is
  // missing, empty, or not a database.
  void openReadOnly(const Location& location);
  // True when the last file opened as unchanging has changed since (a writer started), also after
  // close(): what was read may mix two states and must be read again after reopening.
  bool unchangingFileChanged() const;
  // Finalizes the cached statements and closes the file (checkpointing a WAL). No-op when closed.
  void close();
  bool isOpen() const { return db_ != nullptr; }
  // The database open now; empty when closed.
  const Location& location() const { return location_; }
  // How long a statement waits for a database held by another writer before it fails with
  // "database is locked"; for the next open and the open connection.
  void setBusyTimeout(int milliseconds);
  // The file could be opened for reading only (write-protected file or folder).
  bool isReadOnly() const;

  // Runs one Jet statement (or several, separated by ";"); rows they return are discarded.
  void execute(std::string_view jetSql);
  // A Jet statement in the engine's dialect, for a Statement.
  std::string translateJet(std::string_view jetSql) const;
  // The same for text already in SQLite's dialect.
  void executeNative(std::string_view sqliteSql);
  // Starts a write transaction at once, so a database held by another writer fails here.
  void begin();
  void commit();
  void rollback();  // no-op when no transaction is open
  bool inTransaction() const;
  // A transaction of this connection has written (or holds the write lock).
  bool isWriting() const;
  // Sets the open connection for a long run of writes until the result finishes.
  std::unique_ptr<ManyWrites> startManyWrites();

  // Columns of a table in order, cached until a CREATE/DROP/ALTER runs; throws DbError(missingTable).
  const std::vector<std::string>& tableColumns(const std::string& table);
  // Catalogue questions (names compared as the engine compares them); throw DbError.
  // The tables, in byte order of their names; a table's columns in order, with declared types.
  std::vector<std::string> tableNames();
  std::vector<std::pair<std::string, std::string>> columnsWithTypes(const std::string& table);
  // The definition a table was made from (types, sizes, NOT NULL, the counter column); the
  // statements that made the database's indexes, in the engine's dialect.
  TableDefinition tableDefinition(const std::string& table);
  std::vector<std::string> indexStatements();
  bool hasTable(std::string_view name);
  bool hasTrigger(std::string_view name);
  // The type a column was declared with; none when the table or the column is missing.
  std::optional<std::string> columnType(std::string_view table, std::string_view column);
  // The highest counter number the table has given, also to rows since deleted; none when it has
  // given none yet or numbers no rows.
  std::optional<std::int64_t> lastNumberGiven(std::string_view table);
  // The engine's own number of each row of a table, ascending in the order rows were added: what
  // splits a table into parts read at once.
  static constexpr const char* kRowNumber = "rowid";

 private:
  // The engine's own parts reach the engine and the statement cache; nothing else does.
  friend class Statement;
  friend class ReadOnlyRecordSet;
  friend class FewPagesCached;
  friend class UpdatableRecordSet;
  friend class ReadTransaction;
  friend struct EngineAccess;
  // A statement of its own in the engine's dialect; throws DbError, never null.
  StatementPtr prepare(const std::string& sql);
  // Prepared statement in the engine's dialect, cached by text; reset and unbound. The caller
  // steps it to the end (or resets it) before the next call with the same text.
  EngineStatement* prepareCached(const std::string& sql);
  // Changes whenever cached statements are finalized: a statement kept from prepareCached is
  // valid while this stays the same.
  std::uint64_t cacheGeneration() const { return cacheGeneration_; }
  // The open engine; throws DbError when the connection is closed.
  EngineDatabase& engine() const;

  enum class OpenMode { Inventory, Plain, ReadOnly, Immutable };
  void openWith(const std::string& path, OpenMode mode);
  void openServer(const Location& location, OpenMode mode);
  std::string unchangingPath_;
  std::string unchangingStamp_;  // size, change time and inode of a file opened as unchanging, else ""
  DatabasePtr db_;  // declared first: destroyed after the statements
  Location location_;
  std::unordered_map<std::string, StatementPtr> cache_;
  std::map<std::string, std::vector<std::string>> columnsCache_;
  std::uint64_t cacheGeneration_ = 1;
  int busyTimeoutMs_ = 10000;
};

// While it lives, every statement run on the connection reads one and the same state of the
// database, whatever other connections commit meanwhile (a transaction that writes nothing). Within
// a transaction already open it does nothing.
class ReadTransaction {
 public:
  explicit ReadTransaction(Connection& connection);
  ~ReadTransaction();
  ReadTransaction(const ReadTransaction&) = delete;
  ReadTransaction& operator=(const ReadTransaction&) = delete;

 private:
  Connection* connection_ = nullptr;  // the connection whose transaction this began
};

// One import at a time into a server database, whichever machine runs it: a lock of the server's,
// held by a session of its own while the object lives (it goes with the session, so a killed batch
// leaves none behind). A database file takes none here: its batch lock is the CSV folder's.
class ImportLock {
 public:
  // False when another session holds it. True when taken, or when there is nothing to take (a
  // file, or a server that does not answer: the batch's own open says so then).
  bool acquire(const Location& location);
  void release() { connection_.close(); }

 private:
  Connection connection_;
};

// While it lives, what runs on the connection within its transaction can be undone alone: unless
// kept, it is rolled back when the object goes, and the transaction goes on (a server refuses every
// later statement of a transaction whose statement failed outside a savepoint).
class Savepoint {
 public:
  explicit Savepoint(Connection& connection);  // throws DbError
  ~Savepoint();
  Savepoint(const Savepoint&) = delete;
  Savepoint& operator=(const Savepoint&) = delete;
  void keep();  // throws DbError

 private:
  Connection& connection_;
  std::vector<std::size_t> heldRows_;  // the rows the engine held back when the savepoint was taken
  bool ended_ = false;
};

// An identifier between double quotes, inner quotes doubled.
std::string quoteIdentifier(std::string_view name);
void appendQuotedIdentifier(std::string& out, std::string_view name);

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
  // Throws DbError for an empty name, a name already in the table (compared without case) or a
  // negative size.
  void appendColumn(const std::string& columnName, ColumnType type, int size);
  Column& column(const std::string& columnName);  // throws DbError when missing
  // Makes the column a counter numbered from 1 by 1; only one long-integer column per table.
  void setAutoIncrement(const std::string& columnName);
  const std::vector<Column>& columns() const { return columns_; }
  // Throws DbError without a name or a column.
  void check() const;

 private:
  std::vector<Column> columns_;
};

// True when text names a server rather than a file: a postgresql:// or postgres:// URI, or libpq's
// key=value form (a lower-case keyword and "=" first: "host=dbhost dbname=tavrix").
bool namesServer(std::string_view text);
// What keeps a connection string from naming a server database.
enum class ServerStringProblem { None, Unreadable, Password };
// The server database a connection string names, or none with problem set: a string libpq cannot
// read, or one that carries a password (passwords come from libpq's password file). The location's
// shown text holds only host, port and database.
std::optional<Location> serverLocation(const std::string& connectionString, ServerStringProblem& problem);

// Creates an empty database file; throws DbError when it exists or cannot be written.
void createDatabase(const std::string& path);
// Creates the table in the open database; throws DbError when the connection is closed, the
// table exists, has no name or no column.
void appendTable(Connection& connection, const TableDefinition& table);
// The same on a database file opened for the purpose.
void appendTable(const std::string& databasePath, const TableDefinition& table);
// Writes a compacted copy of source under destination; fails when destination exists, leaving
// both files as they were.
void compactDatabase(const std::string& source, const std::string& destination);

}  // namespace tavrix::db
