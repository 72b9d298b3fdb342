// Connection over whichever engine it opened: the statement cache, column lists, transactions and
// catalogue questions.
#include "platform/db_engine.h"

namespace tavrix::db {

namespace {

constexpr std::size_t kCacheLimit = 256;  // a caller passing ever-new texts must not grow memory
constexpr int kMisuse = DbError::kMisuse;

}  // namespace

bool DbError::databaseUnusable() const {
  constexpr int kLocked = 6, kProtocol = 15, kNotADatabase = 26;  // SQLite's own, no engine maps onto them
  switch (code_ & 0xFF) {
    case kBusy: case kLocked: case kNoMemory: case kReadOnly: case kIoError: case kCorrupt: case kFull:
    case kCantOpen: case kProtocol: case kNotADatabase:
      return true;
    default:
      return false;
  }
}

void StatementFinalizer::operator()(EngineStatement* stmt) const { delete stmt; }
void DatabaseCloser::operator()(EngineDatabase* db) const { delete db; }

Connection::~Connection() { close(); }

EngineDatabase& Connection::engine() const {
  if (!db_) throw DbError("the connection is not open", kMisuse);
  return *db_;
}

void Connection::close() {
  cache_.clear();
  ++cacheGeneration_;
  columnsCache_.clear();
  db_.reset();
  location_ = Location();
}

void Connection::executeNative(std::string_view sql) {
  if (engine().execute(sql)) columnsCache_.clear();
}

void Connection::execute(std::string_view jetSql) { executeNative(engine().translateJet(jetSql)); }
std::string Connection::translateJet(std::string_view jetSql) const { return engine().translateJet(jetSql); }

void Connection::begin() { engine().begin(); }
void Connection::commit() { engine().commit(); }
void Connection::rollback() {
  if (inTransaction()) db_->rollback();
}
bool Connection::inTransaction() const { return db_ && db_->inTransaction(); }
bool Connection::isWriting() const { return db_ && db_->isWriting(); }
bool Connection::isReadOnly() const { return db_ && db_->isReadOnly(); }

void Connection::setBusyTimeout(int milliseconds) {
  busyTimeoutMs_ = milliseconds;
  if (db_) db_->setBusyTimeout(milliseconds);
}

std::unique_ptr<ManyWrites> Connection::startManyWrites() { return engine().startManyWrites(*this); }

FewPagesCached::FewPagesCached(Connection& connection) : connection_(connection) {
  // 2 MiB, nothing mapped: a mapped page costs a fault the first time it is read.
  if (connection_.isOpen()) replaced_ = connection_.engine().replacePageCache({-2048, 0});
}

FewPagesCached::~FewPagesCached() {
  if (!replaced_ || !connection_.isOpen()) return;
  try {
    connection_.engine().replacePageCache(*replaced_);
  } catch (const DbError&) {
    // The connection keeps the small cache: slower, never wrong.
  }
}

StatementPtr Connection::prepare(const std::string& sql) { return engine().prepare(sql, false); }

EngineStatement* Connection::prepareCached(const std::string& sql) {
  EngineDatabase& database = engine();
  auto found = cache_.find(sql);
  if (found != cache_.end()) {
    found->second->reset();
    return found->second.get();
  }
  StatementPtr stmt = database.prepare(sql, true);
  if (cache_.size() >= kCacheLimit) {
    cache_.clear();
    ++cacheGeneration_;
  }
  return cache_.emplace(sql, std::move(stmt)).first->second.get();
}

const std::vector<std::string>& Connection::tableColumns(const std::string& table) {
  auto found = columnsCache_.find(table);
  if (found != columnsCache_.end()) return found->second;
  std::vector<std::string> names = engine().tableColumns(table);
  if (names.empty()) throw DbError("no such table: " + table, 1, true);
  return columnsCache_.emplace(table, std::move(names)).first->second;
}

bool Connection::hasTable(std::string_view name) { return engine().hasTable(name); }
std::vector<std::string> Connection::tableNames() { return engine().tableNames(); }
TableDefinition Connection::tableDefinition(const std::string& table) { return engine().tableDefinition(table); }
std::vector<std::string> Connection::indexStatements() { return engine().indexStatements(); }
std::vector<std::pair<std::string, std::string>> Connection::columnsWithTypes(const std::string& table) {
  return engine().columnsWithTypes(table);
}
bool Connection::hasTrigger(std::string_view name) { return engine().hasTrigger(name); }
std::optional<std::string> Connection::columnType(std::string_view table, std::string_view column) {
  return engine().columnType(table, column);
}
std::optional<std::int64_t> Connection::lastNumberGiven(std::string_view table) { return engine().lastNumberGiven(table); }

ReadTransaction::ReadTransaction(Connection& connection) {
  if (!connection.isOpen() || connection.inTransaction()) return;
  connection.engine().beginRead();
  connection_ = &connection;
}

ReadTransaction::~ReadTransaction() {
  if (!connection_ || !connection_->inTransaction()) return;
  try {
    connection_->commit();
  } catch (const DbError&) {
    connection_->rollback();
  }
}

bool ImportLock::acquire(const Location& location) {
  release();
  if (!location.isServer()) return true;
  try {
    connection_.openPlain(location);
    if (EngineAccess::of(connection_).takeImportLock()) return true;
  } catch (const DbError&) {
    return true;  // a server that does not answer: the batch's open complains of it
  }
  release();
  return false;
}

Savepoint::Savepoint(Connection& connection) : connection_(connection), heldRows_(EngineAccess::of(connection).heldRowsMark()) {
  connection.executeNative("SAVEPOINT tavrix_step");
}

Savepoint::~Savepoint() {
  if (ended_ || !connection_.inTransaction()) return;
  try {
    connection_.executeNative("ROLLBACK TO SAVEPOINT tavrix_step; RELEASE SAVEPOINT tavrix_step");
    EngineAccess::of(connection_).dropHeldRowsAfter(heldRows_);
  } catch (const DbError&) {
    // a session that has gone cannot roll back: its transaction has gone with it
  }
}

void Savepoint::keep() {
  connection_.executeNative("RELEASE SAVEPOINT tavrix_step");
  ended_ = true;
}

void appendTable(Connection& connection, const TableDefinition& table) {
  if (!connection.isOpen()) throw DbError("the catalog has no open database", kMisuse);
  table.check();
  connection.executeNative(EngineAccess::of(connection).createTableSql(table));
}

}  // namespace tavrix::db
