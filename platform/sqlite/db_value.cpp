// Field values and their passage in and out of SQLite statements.
#include "platform/sqlite/sqlite_calls.h"

#include <charconv>
#include <cmath>

#include "platform/db.h"
#include "platform/text.h"

namespace tavrix::db {

void StatementFinalizer::operator()(EngineStatement* stmt) const { sqlite3_finalize(sq(stmt)); }
// close_v2: a record set still holding a statement keeps the file open until it is finalized.
void DatabaseCloser::operator()(EngineDatabase* db) const { sqlite3_close_v2(sq(db)); }

namespace {

std::string realText(double d) {
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
  return ec == std::errc() ? std::string(buffer, end) : std::string();
}

std::int64_t roundToInt(double d) {
  if (!std::isfinite(d) || std::fabs(d) > 9.2e18) return 0;
  return static_cast<std::int64_t>(std::nearbyint(d));  // half to even, as the platform rounds
}

std::int64_t textToInt(std::string_view s) {
  s = text::trim(s);
  if (s.empty()) return 0;
  std::int64_t i = 0;
  auto [iend, iec] = std::from_chars(s.data(), s.data() + s.size(), i);
  if (iec == std::errc() && iend == s.data() + s.size()) return i;
  double d = 0;
  auto [dend, dec] = std::from_chars(s.data(), s.data() + s.size(), d);
  if (dec == std::errc() && dend == s.data() + s.size()) return roundToInt(d);
  return 0;
}

}  // namespace

std::string Value::text() const {
  if (auto* i = std::get_if<std::int64_t>(&v_)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&v_)) return realText(*d);
  if (auto* s = std::get_if<std::string>(&v_)) return *s;
  return std::string();
}

std::int64_t Value::toInt() const {
  if (auto* i = std::get_if<std::int64_t>(&v_)) return *i;
  if (auto* d = std::get_if<double>(&v_)) return roundToInt(*d);
  if (auto* s = std::get_if<std::string>(&v_)) return textToInt(*s);
  return 0;
}

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

void appendQuotedIdentifier(std::string& out, std::string_view name) {
  out += '"';
  if (name.find('"') == std::string_view::npos) {  // the usual name: appended whole (the import's hot path)
    out.append(name);
    out += '"';
    return;
  }
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

std::string quoteIdentifier(std::string_view name) {
  std::string quoted;
  appendQuotedIdentifier(quoted, name);
  return quoted;
}

}  // namespace tavrix::db
