// SQLite's prepared statements: values in and out, stepping and reading in place.
#include "platform/sqlite/sqlite_calls.h"

namespace tavrix::db {

void bindValue(sqlite3_stmt* stmt, int index, const Value& value, bool valueOutlivesStep) {
  const auto& raw = value.raw();
  int rc = SQLITE_OK;
  if (auto* i = std::get_if<std::int64_t>(&raw)) {
    rc = sqlite3_bind_int64(stmt, index, *i);
  } else if (auto* d = std::get_if<double>(&raw)) {
    rc = sqlite3_bind_double(stmt, index, *d);
  } else if (auto* s = std::get_if<std::string>(&raw)) {
    rc = sqlite3_bind_text(stmt, index, s->data(), static_cast<int>(s->size()),
                           valueOutlivesStep ? SQLITE_STATIC : SQLITE_TRANSIENT);
  } else {
    rc = sqlite3_bind_null(stmt, index);
  }
  if (rc != SQLITE_OK) {
    sqlite3* db = sqlite3_db_handle(stmt);
    throw DbError(sqlite3_errmsg(db), sqlite3_extended_errcode(db));
  }
}

void bindValue(sqlite3_stmt* stmt, int index, const FieldRef& value) {
  int rc = SQLITE_OK;
  if (auto* i = std::get_if<std::int64_t>(&value)) {
    rc = sqlite3_bind_int64(stmt, index, *i);
  } else if (auto* s = std::get_if<std::string_view>(&value)) {
    // An empty view may have no data; SQLite would take a null pointer for NULL, not "".
    rc = sqlite3_bind_text(stmt, index, s->data() ? s->data() : "", static_cast<int>(s->size()), SQLITE_STATIC);
  } else {
    rc = sqlite3_bind_null(stmt, index);
  }
  if (rc != SQLITE_OK) {
    sqlite3* db = sqlite3_db_handle(stmt);
    throw DbError(sqlite3_errmsg(db), sqlite3_extended_errcode(db));
  }
}

Value columnValue(sqlite3_stmt* stmt, int column) {
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
      return Value(static_cast<std::int64_t>(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
      return Value(sqlite3_column_double(stmt, column));
    case SQLITE_NULL:
      return Value();
    default: {
      const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, column));
      int size = sqlite3_column_bytes(stmt, column);
      return Value(bytes ? std::string(bytes, static_cast<std::size_t>(size)) : std::string());
    }
  }
}

void SqliteStatement::bind(int index, const Value& value, bool outlives) { bindValue(stmt_, index, value, outlives); }
void SqliteStatement::bind(int index, const FieldRef& value) { bindValue(stmt_, index, value); }

void SqliteStatement::bindBytes(int index, std::string_view bytes) {
  // A view of nothing may have no data; SQLite would store NULL for a null pointer.
  if (sqlite3_bind_blob(stmt_, index, bytes.data() ? bytes.data() : "", static_cast<int>(bytes.size()), SQLITE_STATIC) != SQLITE_OK) {
    sqlite3* db = sqlite3_db_handle(stmt_);
    throw DbError(sqlite3_errmsg(db), sqlite3_extended_errcode(db));
  }
}

bool SqliteStatement::step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  DbError error = errorOf(sqlite3_db_handle(stmt_), rc);
  reset();
  throw error;
}

void SqliteStatement::reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

int SqliteStatement::columnCount() const { return sqlite3_column_count(stmt_); }
std::string SqliteStatement::columnName(int column) const { return sqlite3_column_name(stmt_, column); }
bool SqliteStatement::isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
std::int64_t SqliteStatement::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string_view SqliteStatement::text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  return text ? std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))) : std::string_view();
}

std::string_view SqliteStatement::bytes(int column) const {
  const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
  return bytes ? std::string_view(bytes, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))) : std::string_view();
}

Value SqliteStatement::value(int column) const { return columnValue(stmt_, column); }

}  // namespace tavrix::db
