// What each database engine gives the seam of db.h: a database it has open and the statements it
// prepared. Connection, Statement, RowView and the record sets are written once over these; each
// engine's folder implements them. Only platform/ includes this file.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db.h"

namespace tavrix::db {

// A prepared statement: bound by 1-based index, stepped row by row, read in place.
struct EngineStatement {
  virtual ~EngineStatement() = default;
  // With outlives, the text is not copied: the caller keeps it alive until the statement is reset.
  virtual void bind(int index, const Value& value, bool outlives) = 0;
  virtual void bind(int index, const FieldRef& value) = 0;  // the text must outlive the run
  virtual void bindBytes(int index, std::string_view bytes) = 0;
  // Steps to the next row: true when there is one, false at the end. Throws DbError (the statement
  // is then reset).
  virtual bool step() = 0;
  // Back to its start for the next run, with its bindings cleared.
  virtual void reset() = 0;
  virtual int columnCount() const = 0;
  virtual std::string columnName(int column) const = 0;
  virtual bool isNull(int column) const = 0;
  virtual std::int64_t integer(int column) const = 0;
  virtual std::string_view text(int column) const = 0;
  virtual std::string_view bytes(int column) const = 0;
  virtual Value value(int column) const = 0;
};

// An open database of one engine.
struct EngineDatabase {
  virtual ~EngineDatabase() = default;
  // A statement in the engine's dialect; persistent for one kept in the connection's cache.
  // Throws DbError, never returns null.
  virtual StatementPtr prepare(const std::string& sql, bool persistent) = 0;
  // Runs statements of the engine's dialect (several, separated by ";"); rows are discarded.
  // True when one of them defined or dropped something (cached column lists are stale).
  virtual bool execute(std::string_view sql) = 0;
  // The engine's dialect of a Jet statement.
  virtual std::string translateJet(std::string_view jetSql) const = 0;

  // A write transaction, taken at once; a read transaction that sees one state throughout.
  virtual void begin() = 0;
  virtual void beginRead() = 0;
  virtual void commit() = 0;
  virtual void rollback() = 0;
  virtual bool inTransaction() const = 0;
  virtual bool isWriting() const = 0;
  virtual bool isReadOnly() const = 0;
  virtual void setBusyTimeout(int milliseconds) = 0;
  // The counter number of the row just added.
  virtual std::int64_t lastInsertRowId() const = 0;
  virtual std::unique_ptr<ManyWrites> startManyWrites(Connection& connection) = 0;
  // Sets how many pages the connection keeps cached and how much of the file it maps (in the
  // engine's own terms) and returns the setting it replaces; none for an engine whose cache
  // belongs to the server.
  virtual std::optional<PageCache> replacePageCache(const PageCache& /*setting*/) { return std::nullopt; }

  // Catalogue questions (names compared as the engine compares them).
  virtual std::vector<std::string> tableColumns(const std::string& table) = 0;  // empty when missing
  virtual bool hasTable(std::string_view name) = 0;
  virtual std::vector<std::string> tableNames() = 0;
  virtual TableDefinition tableDefinition(const std::string& table) = 0;
  virtual std::vector<std::string> indexStatements() = 0;
  virtual std::vector<std::pair<std::string, std::string>> columnsWithTypes(const std::string& table) = 0;
  virtual bool hasTrigger(std::string_view name) = 0;
  virtual std::optional<std::string> columnType(std::string_view table, std::string_view column) = 0;
  virtual std::optional<std::int64_t> lastNumberGiven(std::string_view table) = 0;
  // The CREATE TABLE text of a definition (types mapped to the engine's).
  virtual std::string createTableSql(const TableDefinition& table) const = 0;

  // What names a row of the table for the updatable record sets (an integer column).
  virtual std::string rowNumberOf(const std::string& table) = 0;
  // Adds a row to a table within the current transaction by the engine's bulk path, held back and
  // sent with the others before the next statement or the commit; false when the engine has none
  // (the record set then inserts the row itself).
  virtual bool copyRow(const std::string& table, const std::vector<std::string>& names, std::span<const FieldRef> values) {
    (void)table, (void)names, (void)values;
    return false;
  }
  // The rows held back by copyRow as they stand, and back to such a point when a savepoint taken
  // then is rolled back (rows held since are dropped; rows already sent the server rolls back).
  virtual std::vector<std::size_t> heldRowsMark() const { return {}; }
  virtual void dropHeldRowsAfter(const std::vector<std::size_t>& mark) { (void)mark; }
  // Takes the lock that lets one import at a time write this database, for as long as the
  // session lasts; false when another session holds it. An engine whose database has no such
  // lock (a file: its batch lock is the CSV folder's) takes nothing and says true.
  virtual bool takeImportLock() { return true; }
};

// An engine's way to the database a connection has open (throws DbError when it is closed).
struct EngineAccess {
  static EngineDatabase& of(const Connection& connection) { return connection.engine(); }
};

}  // namespace tavrix::db
