// Statements on a server: parameters sent as text (bytes as binary), rows read from the result.
#include <charconv>
#include <utility>

#include "platform/postgres/postgres_calls.h"
#include "platform/text.h"

namespace tavrix::db {

namespace {

constexpr int kPageRows = 10000;

// A statement whose rows a cursor can give: a query, not a change.
bool isQuery(std::string_view sql) {
  const std::string_view trimmed = text::trim(sql);
  return text::startsWithNoCase(trimmed, "SELECT") || text::startsWithNoCase(trimmed, "VALUES");
}

// The server's type numbers (pg_type.oid) the values need.
constexpr Oid kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701,
              kNumeric = 1700;

std::string realText(double d) {
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
  return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

// The end of a '...' or "..." run starting at i (a doubled quote stays inside).
std::size_t quotedEnd(std::string_view sql, std::size_t i) {
  const char close = sql[i];
  for (std::size_t j = i + 1; j < sql.size(); ++j) {
    if (sql[j] != close) continue;
    if (j + 1 < sql.size() && sql[j + 1] == close) {
      ++j;
      continue;
    }
    return j + 1;
  }
  return sql.size();
}

}  // namespace

std::string numberedParameters(std::string_view sql, int& parameterCount) {
  std::string out;
  out.reserve(sql.size() + 8);
  parameterCount = 0;
  for (std::size_t i = 0; i < sql.size();) {
    const char c = sql[i];
    if (c == '\'' || c == '"') {
      const std::size_t end = quotedEnd(sql, i);
      out.append(sql.substr(i, end - i));
      i = end;
    } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
      const std::size_t end = std::min(sql.find('\n', i), sql.size());
      out.append(sql.substr(i, end - i));
      i = end;
    } else if (c == '?') {
      std::size_t end = i + 1;
      while (end < sql.size() && sql[end] >= '0' && sql[end] <= '9') ++end;
      int number = parameterCount + 1;  // a bare ? takes the number after the highest so far
      if (end > i + 1) std::from_chars(sql.data() + i + 1, sql.data() + end, number);
      parameterCount = std::max(parameterCount, number);
      out += '$';
      out += std::to_string(number);
      i = end;
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

PgStatement::PgStatement(PgDatabase& database, std::string sql, int parameterCount, bool persistent, bool numbering)
    : database_(database),
      sql_(std::move(sql)),
      persistent_(persistent),
      numbering_(numbering),
      parameters_(static_cast<std::size_t>(parameterCount)) {}

PgStatement::Parameter& PgStatement::parameter(int index) {
  if (index < 1 || static_cast<std::size_t>(index) > parameters_.size())
    throw DbError("column index out of range", DbError::kRange);
  if (result_) reset();  // binding starts the next run
  return parameters_[static_cast<std::size_t>(index - 1)];
}

void PgStatement::bind(int index, const Value& value, bool) {
  Parameter& p = parameter(index);
  const auto& raw = value.raw();
  p.null = value.isNull();
  p.binary = false;
  if (auto* d = std::get_if<double>(&raw)) p.text = realText(*d);
  else p.text = value.text();
}

void PgStatement::bind(int index, const FieldRef& value) {
  Parameter& p = parameter(index);
  p.binary = false;
  p.null = std::holds_alternative<std::monostate>(value);
  if (auto* i = std::get_if<std::int64_t>(&value)) p.text = std::to_string(*i);
  else if (auto* s = std::get_if<std::string_view>(&value)) p.text.assign(*s);
  else p.text.clear();
}

void PgStatement::bindBytes(int index, std::string_view bytes) {
  Parameter& p = parameter(index);
  p.null = false;
  p.binary = true;
  p.text.assign(bytes);
}

PgStatement::~PgStatement() {
  try {
    closeCursor();
  } catch (const DbError&) {
    // the session is gone, and its cursors with it
  }
}

void PgStatement::run() {
  std::vector<const char*> values(parameters_.size());
  std::vector<int> lengths(parameters_.size()), formats(parameters_.size());
  for (std::size_t i = 0; i < parameters_.size(); ++i) {
    const Parameter& p = parameters_[i];
    values[i] = p.null ? nullptr : p.text.c_str();
    lengths[i] = static_cast<int>(p.text.size());
    formats[i] = p.binary ? 1 : 0;
  }
  const int count = static_cast<int>(parameters_.size());
  if (database_.readsInPages() && isQuery(sql_)) {
    const std::string cursor = database_.cursorName();
    database_.run("DECLARE " + cursor + " NO SCROLL CURSOR FOR " + sql_, count, values.data(), lengths.data(), formats.data());
    cursor_ = cursor;
    fetchPage();
    return;
  }
  database_.lastNumber_.reset();
  result_ = persistent_ ? database_.runPrepared(sql_, count, values.data(), lengths.data(), formats.data())
                        : database_.run(sql_, count, values.data(), lengths.data(), formats.data());
  row_ = -1;
  if (!numbering_) return;
  const int rows = PQntuples(result_.get());
  if (rows > 0 && !PQgetisnull(result_.get(), rows - 1, 0)) {
    std::int64_t number = 0;
    const char* text = PQgetvalue(result_.get(), rows - 1, 0);
    std::from_chars(text, text + PQgetlength(result_.get(), rows - 1, 0), number);
    database_.lastNumber_ = number;
  }
  result_.reset(PQmakeEmptyPGresult(nullptr, PGRES_COMMAND_OK));  // the number is the engine's, not the caller's
}

bool PgStatement::fetchPage() {
  result_ = database_.run("FETCH FORWARD " + std::to_string(kPageRows) + " FROM " + cursor_, 0, nullptr, nullptr, nullptr);
  row_ = -1;
  if (PQntuples(result_.get()) < kPageRows) closeCursor();  // the last page
  return PQntuples(result_.get()) > 0;
}

// A cursor ends with its transaction; one left open before is closed.
void PgStatement::closeCursor() {
  if (cursor_.empty()) return;
  const std::string cursor = std::exchange(cursor_, std::string());
  if (database_.readsInPages() && PQtransactionStatus(database_.raw()) == PQTRANS_INTRANS) database_.execute("CLOSE " + cursor);
}

bool PgStatement::step() {
  try {
    if (!result_) run();
    if (row_ + 1 >= PQntuples(result_.get()) && !cursor_.empty()) fetchPage();
  } catch (const DbError&) {
    reset();
    throw;
  }
  if (row_ < PQntuples(result_.get())) ++row_;
  return row_ < PQntuples(result_.get());
}

void PgStatement::reset() {
  const bool open = !cursor_.empty();
  result_.reset();
  row_ = -1;
  for (Parameter& p : parameters_) p = Parameter{};
  if (open) closeCursor();
}

int PgStatement::columnCount() const { return result_ ? PQnfields(result_.get()) : 0; }

std::string PgStatement::columnName(int column) const {
  const char* name = result_ ? PQfname(result_.get(), column) : nullptr;
  return name ? name : "";
}

bool PgStatement::isNull(int column) const { return !result_ || PQgetisnull(result_.get(), row_, column); }

std::string_view PgStatement::text(int column) const {
  if (isNull(column)) return {};
  return std::string_view(PQgetvalue(result_.get(), row_, column),
                          static_cast<std::size_t>(PQgetlength(result_.get(), row_, column)));
}

std::int64_t PgStatement::integer(int column) const {
  if (isNull(column)) return 0;
  if (PQftype(result_.get(), column) == kBool) return text(column) == "t" ? 1 : 0;
  return value(column).toInt();
}

std::string_view PgStatement::bytes(int column) const {
  if (isNull(column)) return {};
  if (PQftype(result_.get(), column) != kBytea) return text(column);
  std::size_t length = 0;
  unsigned char* raw = PQunescapeBytea(reinterpret_cast<const unsigned char*>(PQgetvalue(result_.get(), row_, column)), &length);
  decoded_.assign(reinterpret_cast<const char*>(raw), length);
  PQfreemem(raw);
  return decoded_;
}

// Numbers come back as the embedded file keeps them: whole numbers as integers, others as reals.
Value PgStatement::value(int column) const {
  if (isNull(column)) return Value();
  const std::string_view t = text(column);
  switch (PQftype(result_.get(), column)) {
    case kBool:
      return Value(static_cast<std::int64_t>(t == "t" ? 1 : 0));
    case kInt2: case kInt4: case kInt8: {
      std::int64_t i = 0;
      std::from_chars(t.data(), t.data() + t.size(), i);
      return Value(i);
    }
    case kNumeric: {
      std::int64_t i = 0;
      auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), i);
      if (ec == std::errc() && end == t.data() + t.size()) return Value(i);
      [[fallthrough]];
    }
    case kFloat4: case kFloat8: {
      double d = 0;
      std::from_chars(t.data(), t.data() + t.size(), d);
      return Value(d);
    }
    case kBytea:
      return Value(std::string(bytes(column)));
    default:
      return Value(std::string(t));
  }
}

}  // namespace tavrix::db
