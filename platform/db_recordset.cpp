// The two record-set kinds: forward-only read-only, and updatable (add rows, set fields of selected rows).
#include <optional>

#include "platform/db_engine.h"
#include "platform/text.h"

namespace tavrix::db {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void skipSpace(std::string_view& s) {
  while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
}

bool takeWord(std::string_view& s, std::string_view word) {
  skipSpace(s);
  if (!text::startsWithNoCase(s, word)) return false;
  s.remove_prefix(word.size());
  return s.empty() || isSpace(s.front()) || word == "*";
}

// "SELECT * FROM <table> <rest>": the table name without its quotes, and the rest.
std::optional<std::pair<std::string, std::string>> splitSelectStar(std::string_view s) {
  if (!takeWord(s, "SELECT") || !takeWord(s, "*") || !takeWord(s, "FROM")) return std::nullopt;
  skipSpace(s);
  if (s.empty()) return std::nullopt;
  std::string table;
  if (s.front() == '[' || s.front() == '"') {
    char close = s.front() == '[' ? ']' : '"';
    std::size_t end = s.find(close, 1);
    if (end == std::string_view::npos) return std::nullopt;
    table = std::string(s.substr(1, end - 1));
    s.remove_prefix(end + 1);
  } else {
    std::size_t end = 0;
    while (end < s.size() && !isSpace(s[end]) && s[end] != ';') ++end;
    table = std::string(s.substr(0, end));
    s.remove_prefix(end);
  }
  return std::make_pair(table, std::string(s));
}

constexpr int kMisuse = DbError::kMisuse, kError = DbError::kError, kNotFound = DbError::kNotFound;

int columnIndex(const EngineStatement& stmt, std::string_view name) {
  int count = stmt.columnCount();
  for (int i = 0; i < count; ++i) {
    if (text::equalsNoCase(stmt.columnName(i), name)) return i;
  }
  return -1;
}

DbError noCurrentRecord() { return DbError("no current record", kMisuse); }

// INSERT text for a table and field names, built in one reused buffer (the import's hot path).
template <typename NameAt>
const std::string& insertText(const std::string& table, std::size_t count, NameAt nameAt) {
  thread_local std::string sql;
  sql.clear();
  sql += "INSERT INTO ";
  appendQuotedIdentifier(sql, table);
  if (count == 0) return sql += " DEFAULT VALUES";
  sql += " (";
  for (std::size_t i = 0; i < count; ++i) {
    if (i) sql += ',';
    appendQuotedIdentifier(sql, nameAt(i));
  }
  sql += ") VALUES (";
  for (std::size_t i = 0; i < count; ++i) sql += i ? ",?" : "?";
  return sql += ')';
}

// Steps a statement to its end, discarding rows, then resets and unbinds it; throws DbError.
void runToEnd(EngineStatement& stmt) {
  while (stmt.step()) {
  }
  stmt.reset();
}

}  // namespace

ReadOnlyRecordSet::ReadOnlyRecordSet(Connection& connection, std::string_view jetSql)
    : stmt_(connection.prepare(connection.engine().translateJet(jetSql))) {
  step();
}

void ReadOnlyRecordSet::step() {
  eof_ = true;
  eof_ = !stmt_->step();
}

void ReadOnlyRecordSet::moveNext() {
  if (!stmt_ || eof_) throw noCurrentRecord();
  step();
}

Value ReadOnlyRecordSet::field(std::string_view name) const { return field(fieldIndex(name)); }

int ReadOnlyRecordSet::fieldIndex(std::string_view name) const {
  if (!stmt_ || eof_) throw noCurrentRecord();
  int i = columnIndex(*stmt_, name);
  if (i < 0) throw DbError("no such field: " + std::string(name), kError);
  return i;
}

Value ReadOnlyRecordSet::field(int index) const {
  if (!stmt_ || eof_) throw noCurrentRecord();
  return stmt_->value(index);
}

std::vector<std::string> ReadOnlyRecordSet::fieldNames() const {
  std::vector<std::string> names;
  if (!stmt_) return names;
  for (int i = 0; i < stmt_->columnCount(); ++i) names.push_back(stmt_->columnName(i));
  return names;
}

void ReadOnlyRecordSet::close() {
  stmt_.reset();
  eof_ = true;
}

UpdatableRecordSet::UpdatableRecordSet(Connection& connection, std::string_view jetSql) : connection_(&connection) {
  auto parts = splitSelectStar(jetSql);
  if (!parts) throw DbError("an updatable record set needs SELECT * FROM <table>: " + std::string(jetSql), kError);
  table_ = std::move(parts->first);
  if (!parts->second.empty()) rest_ = connection.engine().translateJet(parts->second);
  connection.tableColumns(table_);  // a missing table fails here, as opening it would
}

void UpdatableRecordSet::loadSelection() {
  if (loaded_) return;
  if (!connection_) throw noCurrentRecord();
  StatementPtr stmt = connection_->prepare("SELECT " + connection_->engine().rowNumberOf(table_) + " FROM " + quoteIdentifier(table_) + " " + rest_);
  while (stmt->step()) rowids_.push_back(stmt->integer(0));
  loaded_ = true;
  position_ = 0;
}

bool UpdatableRecordSet::eof() {
  loadSelection();
  return position_ >= rowids_.size();
}

void UpdatableRecordSet::moveNext() {
  if (adding_ || !pending_.empty()) update();
  hasAddedRow_ = false;
  if (eof()) throw noCurrentRecord();
  ++position_;
}

std::int64_t UpdatableRecordSet::currentRowId() {
  if (hasAddedRow_) return addedRowId_;
  if (eof()) throw noCurrentRecord();
  return rowids_[position_];
}

Value UpdatableRecordSet::field(std::string_view name) {
  for (const auto& [field, value] : pending_) {
    if (text::equalsNoCase(field, name)) return value;
  }
  if (adding_) return Value();
  const std::string rowNumber = connection_->engine().rowNumberOf(table_);
  // The number of the row just added is known without asking the database again.
  if (hasAddedRow_ && text::equalsNoCase(rowNumber, quoteIdentifier(name))) return Value(addedRowId_);
  EngineStatement* stmt = connection_->prepareCached("SELECT * FROM " + quoteIdentifier(table_) + " WHERE " + rowNumber + "=?");
  stmt->bind(1, FieldRef(currentRowId()));
  if (!stmt->step()) {
    stmt->reset();
    throw DbError("the current record was deleted", kNotFound);
  }
  int i = columnIndex(*stmt, name);
  Value value = i < 0 ? Value() : stmt->value(i);
  stmt->reset();
  if (i < 0) throw DbError("no such field: " + table_ + "." + std::string(name), kError);
  return value;
}

void UpdatableRecordSet::addNew() {
  if (!connection_) throw DbError("the record set is closed", kMisuse);
  if (adding_ || !pending_.empty()) update();
  adding_ = true;
  hasAddedRow_ = false;
}

void UpdatableRecordSet::addNew(const std::vector<std::string>& names, const std::vector<Value>& values) {
  if (!connection_) throw DbError("the record set is closed", kMisuse);
  if (names.size() != values.size()) throw DbError("field names and values differ in number", kMisuse);
  if (adding_ || !pending_.empty()) update();
  EngineStatement* stmt = insertFor(names);
  for (std::size_t i = 0; i < values.size(); ++i) stmt->bind(static_cast<int>(i + 1), values[i], true);
  storeAdded(stmt);
}

void UpdatableRecordSet::addNew(const std::vector<std::string>& names, std::span<const FieldRef> values) {
  if (!connection_) throw DbError("the record set is closed", kMisuse);
  if (names.size() != values.size()) throw DbError("field names and values differ in number", kMisuse);
  if (adding_ || !pending_.empty()) update();
  if (connection_->engine().copyRow(table_, names, values)) {
    hasAddedRow_ = false;  // sent later with the others: there is no current row to read
    return;
  }
  EngineStatement* stmt = insertFor(names);
  for (std::size_t i = 0; i < values.size(); ++i) stmt->bind(static_cast<int>(i + 1), values[i]);
  storeAdded(stmt);
}

// The INSERT for names. An import adds many rows through one set: the statement of the previous
// call is kept while the names are the same and the connection's cache still holds it.
EngineStatement* UpdatableRecordSet::insertFor(const std::vector<std::string>& names) {
  if (insert_ && insertGeneration_ == connection_->cacheGeneration() && names == insertNames_) return insert_;
  insert_ = connection_->prepareCached(
      insertText(table_, names.size(), [&](std::size_t i) -> const std::string& { return names[i]; }));
  insertGeneration_ = connection_->cacheGeneration();
  insertNames_ = names;
  return insert_;
}

// Runs an INSERT whose parameters are all bound; the new row becomes the current row. The
// bindings stay until the next row binds every parameter again.
void UpdatableRecordSet::storeAdded(EngineStatement* stmt) {
  while (stmt->step()) {
  }
  stmt->reset();
  addedRowId_ = connection_->engine().lastInsertRowId();
  hasAddedRow_ = true;
}

void UpdatableRecordSet::setField(std::string_view name, const Value& value) {
  if (!connection_) throw DbError("the record set is closed", kMisuse);
  const std::string* canonical = nullptr;
  for (const auto& column : connection_->tableColumns(table_)) {
    if (text::equalsNoCase(column, name)) canonical = &column;
  }
  if (!canonical) throw DbError("no such field: " + table_ + "." + std::string(name), kError);
  if (!adding_) currentRowId();  // throws when there is no row to change
  for (auto& [field, old] : pending_) {
    if (field == *canonical) {
      old = value;
      return;
    }
  }
  pending_.emplace_back(*canonical, value);
}

void UpdatableRecordSet::update() {
  if (!connection_) throw DbError("the record set is closed", kMisuse);
  if (adding_) {
    adding_ = false;
    auto pending = std::move(pending_);
    pending_.clear();
    EngineStatement* stmt = connection_->prepareCached(
        insertText(table_, pending.size(), [&](std::size_t i) -> const std::string& { return pending[i].first; }));
    for (std::size_t i = 0; i < pending.size(); ++i) stmt->bind(static_cast<int>(i + 1), pending[i].second, true);
    runToEnd(*stmt);
    addedRowId_ = connection_->engine().lastInsertRowId();
    hasAddedRow_ = true;
    return;
  }
  if (pending_.empty()) return;
  std::int64_t rowid = currentRowId();
  auto pending = std::move(pending_);
  pending_.clear();
  std::string sql = "UPDATE " + quoteIdentifier(table_) + " SET ";
  for (std::size_t i = 0; i < pending.size(); ++i) sql += (i ? "," : "") + quoteIdentifier(pending[i].first) + "=?";
  sql += " WHERE " + connection_->engine().rowNumberOf(table_) + "=?";
  EngineStatement* stmt = connection_->prepareCached(sql);
  for (std::size_t i = 0; i < pending.size(); ++i) stmt->bind(static_cast<int>(i + 1), pending[i].second, true);
  stmt->bind(static_cast<int>(pending.size() + 1), FieldRef(rowid));
  runToEnd(*stmt);
}

void UpdatableRecordSet::close() {
  connection_ = nullptr;
  insert_ = nullptr;
  insertNames_.clear();
  pending_.clear();
  adding_ = false;
  rowids_.clear();
  loaded_ = false;
}

}  // namespace tavrix::db
