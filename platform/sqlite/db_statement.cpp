// Cached statements bound, stepped and read in place.
#include "platform/sqlite/sqlite_calls.h"

#include "platform/db.h"

namespace tavrix::db {

int RowView::columnCount() const { return sqlite3_column_count(sq(stmt_)); }

bool RowView::isNull(int column) const { return sqlite3_column_type(sq(stmt_), column) == SQLITE_NULL; }

std::int64_t RowView::integer(int column) const { return sqlite3_column_int64(sq(stmt_), column); }

std::string_view RowView::text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(sq(stmt_), column));
  return text ? std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(sq(stmt_), column))) : std::string_view();
}

std::string_view RowView::bytes(int column) const {
  const auto* bytes = static_cast<const char*>(sqlite3_column_blob(sq(stmt_), column));
  return bytes ? std::string_view(bytes, static_cast<std::size_t>(sqlite3_column_bytes(sq(stmt_), column))) : std::string_view();
}

Value RowView::value(int column) const { return columnValue(sq(stmt_), column); }

Statement::Statement(Connection& connection, const std::string& sql)
    : connection_(connection), stmt_(connection.prepareCached(sql)), generation_(connection.cacheGeneration()) {
  row_.stmt_ = stmt_;
}

// A connection closed meanwhile has finalized the statement.
Statement::~Statement() {
  if (connection_.cacheGeneration() == generation_) reset();
}

void Statement::reset() {
  sqlite3_reset(sq(stmt_));
  sqlite3_clear_bindings(sq(stmt_));
}

Statement& Statement::bind(int index, const Value& value) {
  bindValue(sq(stmt_), index, value);
  return *this;
}

Statement& Statement::bind(int index, const FieldRef& value) {
  bindValue(sq(stmt_), index, value);
  return *this;
}

Statement& Statement::bindBytes(int index, std::string_view bytes) {
  // A view of nothing may have no data; SQLite would store NULL for a null pointer.
  if (sqlite3_bind_blob(sq(stmt_), index, bytes.data() ? bytes.data() : "", static_cast<int>(bytes.size()), SQLITE_STATIC) != SQLITE_OK)
    connection_.fail(SQLITE_ERROR);
  return *this;
}

bool Statement::next() {
  const int rc = sqlite3_step(sq(stmt_));
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) {
    reset();
    return false;
  }
  DbError error = errorOf(sq(connection_.handle()), rc);
  reset();
  throw error;
}

void Statement::run() {
  while (next()) {
  }
}

}  // namespace tavrix::db
