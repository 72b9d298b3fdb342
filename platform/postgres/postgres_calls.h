// The PostgreSQL engine's own types over libpq, shared by the files of this folder only.
#pragma once

#include <libpq-fe.h>

#include <map>
#include <memory>
#include <optional>
#include <set>

#include "platform/db_engine.h"
#include "platform/jet_dialect.h"

namespace tavrix::db {

struct ResultFreer {
  void operator()(PGresult* result) const { PQclear(result); }
};
using ResultPtr = std::unique_ptr<PGresult, ResultFreer>;

class PgDatabase;

// A statement with $N parameters, run when first stepped; its rows are then read from the result.
// In a read transaction a SELECT's rows come a page at a time through a cursor, so that a question
// over a large fleet holds one page, not every row.
class PgStatement final : public EngineStatement {
 public:
  // persistent: prepared on the server once for the session, at its first run. numbering: an
  // INSERT that returns the number its counter gave (lastInsertRowId), and no rows.
  PgStatement(PgDatabase& database, std::string sql, int parameterCount, bool persistent, bool numbering);
  ~PgStatement() override;

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
  struct Parameter {
    std::string text;
    bool null = true;
    bool binary = false;
  };
  Parameter& parameter(int index);
  void run();
  // The next page of the cursor's rows; false when there was none.
  bool fetchPage();
  void closeCursor();

  PgDatabase& database_;
  std::string sql_;
  bool persistent_;
  bool numbering_;
  std::vector<Parameter> parameters_;
  ResultPtr result_;
  int row_ = -1;
  std::string cursor_;  // the cursor the rows come through, while it is open
  mutable std::string decoded_;  // a bytea column's bytes, read last
};

// A session with a server database.
class PgDatabase final : public EngineDatabase {
 public:
  // shown: how messages name the server database (host, port and database).
  PgDatabase(PGconn* connection, bool readOnly, std::string shown)
      : connection_(connection), readOnly_(readOnly), shown_(std::move(shown)) {}
  ~PgDatabase() override { PQfinish(connection_); }
  PgDatabase(const PgDatabase&) = delete;
  PgDatabase& operator=(const PgDatabase&) = delete;
  PGconn* raw() const { return connection_; }
  // Runs one statement with parameters (text, or NULL for a null pointer); throws DbError.
  ResultPtr run(const std::string& sql, int count, const char* const* values, const int* lengths, const int* formats);
  // The same through the session's prepared statement of the text, prepared at its first run.
  ResultPtr runPrepared(const std::string& sql, int count, const char* const* values, const int* lengths,
                        const int* formats);

  StatementPtr prepare(const std::string& sql, bool persistent) override;
  bool execute(std::string_view sql) override;
  std::string translateJet(std::string_view jetSql) const override;
  void begin() override;
  void beginRead() override;
  void commit() override;
  void rollback() override;
  bool inTransaction() const override;
  bool isWriting() const override;
  // A read transaction (beginRead) is open: its SELECTs read their rows a page at a time.
  bool readsInPages() const { return reading_ && inTransaction(); }
  // A name for the next cursor of the session.
  std::string cursorName() { return "tavrix_rows_" + std::to_string(++cursorCount_); }
  bool isReadOnly() const override;
  void setBusyTimeout(int milliseconds) override;
  std::int64_t lastInsertRowId() const override;
  std::unique_ptr<ManyWrites> startManyWrites(Connection& connection) override;
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
  std::string rowNumberOf(const std::string& table) override;
  bool copyRow(const std::string& table, const std::vector<std::string>& names, std::span<const FieldRef> values) override;
  std::vector<std::size_t> heldRowsMark() const override;
  void dropHeldRowsAfter(const std::vector<std::size_t>& mark) override;
  bool takeImportLock() override;
  // While on, added rows wait for the commit, one COPY per table and columns for the whole
  // transaction; the caller's statements meanwhile must neither read nor change them.
  void holdRowsUntilCommit(bool on) { holdingUntilCommit_ = on; }
  std::size_t heldRowBytes() const;

 private:
  // Rows held for one COPY into one table and its columns.
  struct HeldRows {
    std::string table;
    std::vector<std::string> names;
    std::string data;  // COPY's text form: tab-separated fields, one line per row
  };
  // The rows held for a table and its columns, made when there are none yet.
  HeldRows& heldFor(const std::string& table, const std::vector<std::string>& names);
  // Sends the held rows, the last table's without waiting for its outcome; throws DbError for the
  // rows sent before, whose outcome it reads first.
  void sendHeldRows();
  // Reads the outcome of the rows sent last, when not read yet; throws DbError.
  void finishCopy();
  // Reads every outcome, before any other statement, and sends the held rows first unless they
  // are held until the commit.
  void settle();
  // The schema's table and column names by their upper-case form (each spelling once), read once
  // per change of the schema.
  const std::map<std::string, std::vector<ServerName>>& knownNames() const;
  // The first column of the first row of a statement with text parameters; none without a row.
  std::optional<std::string> firstValue(const std::string& sql, std::initializer_list<std::string_view> parameters) const;
  // Runs a statement whose parameters are all texts; throws DbError.
  ResultPtr runWithTexts(const std::string& sql, std::initializer_list<std::string_view> parameters) const;
  // The first column of every row of such a statement.
  std::vector<std::string> firstColumn(const std::string& sql, std::initializer_list<std::string_view> parameters) const;
  // The error of a failed result; one that makes the whole database unusable names the server.
  DbError failure(const PGresult* result) const;
  // result when it holds rows or a command's success; throws its failure otherwise.
  ResultPtr succeeded(ResultPtr result) const;
  PGconn* connection_;
  bool readOnly_;
  std::string shown_;
  bool writing_ = false;  // a transaction begun with begin()
  bool reading_ = false;  // a transaction begun with beginRead()
  int cursorCount_ = 0;
  std::vector<HeldRows> held_;  // in the order first held
  bool holdingUntilCommit_ = false;
  bool copying_ = false;  // rows sent, their outcome not read yet
  std::map<std::string, std::string> rowNumbers_;     // by table
  std::map<std::string, std::string> prepared_;       // the session's prepared statements' names, by text
  int preparedCount_ = 0;
  std::optional<std::int64_t> lastNumber_;  // given to the row the last INSERT added, when known
  friend class PgStatement;
  mutable std::optional<std::map<std::string, std::vector<ServerName>>> knownNames_;
};

// The error of a failed result (or of the session when there is none): libpq's first line, and
// the seam's code for its SQLSTATE.
DbError errorOf(PGconn* connection, const PGresult* result);
// SQL with SQLite's ?N and ? parameters rewritten as $N outside literals and quoted names;
// parameterCount is the highest number used.
std::string numberedParameters(std::string_view sql, int& parameterCount);

}  // namespace tavrix::db
