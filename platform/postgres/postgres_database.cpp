// A session with a server database: opening it, running statements, transactions, the catalogue
// and tables with counters.
#include <algorithm>
#include <charconv>
#include <utility>

#include "platform/jet_dialect.h"
#include "platform/postgres/postgres_calls.h"
#include "platform/text.h"

namespace tavrix::db {

namespace {

// libpq's reason, its first line (the rest repeats it or adds hints), without the server's
// "FATAL:  ", "ERROR:  " or "PANIC:  ".
std::string firstLine(const char* message) {
  std::string text = message ? message : "";
  if (const auto end = text.find('\n'); end != std::string::npos) text.erase(end);
  for (std::string_view level : {"FATAL:  ", "ERROR:  ", "PANIC:  "})
    if (text.starts_with(level)) text.erase(0, level.size());
  return text;
}

// The seam's code for a SQLSTATE: what makes the whole database unusable maps onto the codes
// that say so (DbError::databaseUnusable); everything else is one statement's failure.
int codeOf(std::string_view state) {
  if (state.starts_with("08") || state.starts_with("57P")) return DbError::kCantOpen;  // the session is gone
  if (state == "53100") return DbError::kFull;
  if (state.starts_with("53")) return DbError::kNoMemory;
  if (state == "55P03" || state == "40P01" || state == "40001") return DbError::kBusy;
  if (state == "25006" || state == "42501") return DbError::kReadOnly;
  if (state == "XX001" || state == "XX002") return DbError::kCorrupt;
  if (state == "58030") return DbError::kIoError;
  return DbError::kError;
}

bool definesSomething(std::string_view sql) {
  for (std::size_t start = 0; start < sql.size();) {
    std::size_t end = std::min(sql.find(';', start), sql.size());
    std::string_view piece = sql.substr(start, end - start);
    while (!piece.empty() && (piece.front() == ' ' || piece.front() == '\n' || piece.front() == '\r' || piece.front() == '\t'))
      piece.remove_prefix(1);
    if (text::startsWithNoCase(piece, "CREATE") || text::startsWithNoCase(piece, "DROP") || text::startsWithNoCase(piece, "ALTER"))
      return true;
    start = end + 1;
  }
  return false;
}

// The server keeps its own log. After a long run of writes its statistics are brought up to date,
// so that the next batch's look-ups and the readers' questions are planned for the tables as they
// now are, not as they were (empty, at the first import); a role that may not do it is left as it is.
// The files' rows are held until their transaction commits: each round trip to the server costs
// more than storing a file's rows.
class ServerWrites final : public ManyWrites {
 public:
  explicit ServerWrites(Connection& connection) : connection_(connection) { server().holdRowsUntilCommit(true); }
  ~ServerWrites() override { finish(); }
  bool roomForAnotherFile(int filesInTransaction) const override {
    constexpr int kFiles = 50;
    constexpr std::size_t kBytes = 16 << 20;
    return connection_.isOpen() && filesInTransaction < kFiles && server().heldRowBytes() < kBytes;
  }
  void finish() override {
    if (finished_) return;
    finished_ = true;
    if (connection_.isOpen()) server().holdRowsUntilCommit(false);
    if (!connection_.isOpen() || connection_.inTransaction()) return;
    try {
      connection_.executeNative("ANALYZE");
    } catch (const DbError&) {
      // statistics only: the rows are committed whatever becomes of them
    }
  }

 private:
  PgDatabase& server() const { return static_cast<PgDatabase&>(EngineAccess::of(connection_)); }
  Connection& connection_;
  bool finished_ = false;
};

void ignoreNotice(void*, const char*) {}

std::string serverType(const TableDefinition::Column& c) {
  switch (c.type) {
    case ColumnType::VarWChar: case ColumnType::LongVarWChar: case ColumnType::Empty: return "text COLLATE \"C\"";
    case ColumnType::Integer: return "integer";
    case ColumnType::SmallInt: case ColumnType::UnsignedTinyInt: return "smallint";
    case ColumnType::Single: return "real";
    case ColumnType::Double: return "double precision";
    case ColumnType::Numeric: return "numeric";
    case ColumnType::Date: return "timestamp(0)";
    case ColumnType::Currency: return "numeric(19,4)";
    case ColumnType::Boolean: return "boolean";
  }
  return "text COLLATE \"C\"";
}

// Counter columns number as SQLite's AUTOINCREMENT does: the highest number a table has given is
// kept in tavrix_counters, written in the inserting transaction, so a rolled-back row uses up no
// number and no number is given twice; a row added with its own number raises the counter.
constexpr const char* kCounters =
    "CREATE TABLE IF NOT EXISTS tavrix_counters (table_name text COLLATE \"C\" PRIMARY KEY, last_number bigint NOT NULL);\n"
    "CREATE OR REPLACE FUNCTION tavrix_number_row() RETURNS trigger LANGUAGE plpgsql AS $body$\n"
    "DECLARE\n"
    "  given bigint := (to_jsonb(NEW) ->> TG_ARGV[0])::bigint;\n"
    "  number bigint;\n"
    "BEGIN\n"
    "  IF given IS NULL THEN\n"
    "    INSERT INTO tavrix_counters AS c VALUES (TG_TABLE_NAME, 1)\n"
    "      ON CONFLICT (table_name) DO UPDATE SET last_number = c.last_number + 1 RETURNING c.last_number INTO number;\n"
    "    NEW := jsonb_populate_record(NEW, jsonb_build_object(TG_ARGV[0], number));\n"
    "  ELSE\n"
    "    INSERT INTO tavrix_counters AS c VALUES (TG_TABLE_NAME, given)\n"
    "      ON CONFLICT (table_name) DO UPDATE SET last_number = greatest(c.last_number, given);\n"
    "    number := given;\n"
    "  END IF;\n"
    "  PERFORM set_config('tavrix.last_number', number::text, false);\n"
    "  RETURN NEW;\n"
    "END $body$;\n";

// The tables of the connection's schema whose name equals $1 without regard to ASCII case (as
// SQLite compares names), the exact spelling first.
constexpr const char* kTableByName =
    "SELECT c.oid FROM pg_class c WHERE c.relnamespace = current_schema()::regnamespace AND c.relkind IN ('r', 'p', 'v')"
    " AND lower(c.relname) = lower($1) ORDER BY c.relname = $1 DESC LIMIT 1";

}  // namespace

DbError errorOf(PGconn* connection, const PGresult* result) {
  const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
  if (!state) return DbError(firstLine(PQerrorMessage(connection)), DbError::kCantOpen);
  // 42P01: undefined_table; 42704: undefined_object, what a DROP INDEX of a missing index meets.
  const std::string_view sqlState(state);
  return DbError(primary ? primary : firstLine(PQresultErrorMessage(result)), codeOf(state), sqlState == "42P01",
                 sqlState == "42704");
}

DbError PgDatabase::failure(const PGresult* result) const {
  DbError error = errorOf(connection_, result);
  if (!error.databaseUnusable()) return error;
  return DbError("the server database " + shown_ + ": " + error.what(), error.code(), error.missingTable(), error.missingIndex());
}

ResultPtr PgDatabase::succeeded(ResultPtr result) const {
  const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) throw failure(result.get());
  return result;
}

ResultPtr PgDatabase::run(const std::string& sql, int count, const char* const* values, const int* lengths,
                          const int* formats) {
  settle();
  return succeeded(ResultPtr(PQexecParams(connection_, sql.c_str(), count, nullptr, values, lengths, formats, 0)));
}

// The statements the program runs again and again are parsed and planned once per session. A
// change of the schema forgets them here (the server plans them again itself, but a SELECT * would
// then keep its old columns).
ResultPtr PgDatabase::runPrepared(const std::string& sql, int count, const char* const* values, const int* lengths,
                                  const int* formats) {
  settle();
  auto found = prepared_.find(sql);
  if (found == prepared_.end()) {
    std::string name = "tavrix_" + std::to_string(++preparedCount_);
    ResultPtr made(PQprepare(connection_, name.c_str(), sql.c_str(), count, nullptr));
    if (!made || PQresultStatus(made.get()) != PGRES_COMMAND_OK) throw failure(made.get());
    found = prepared_.emplace(sql, std::move(name)).first;
  }
  return succeeded(ResultPtr(PQexecPrepared(connection_, found->second.c_str(), count, values, lengths, formats, 0)));
}

ResultPtr PgDatabase::runWithTexts(const std::string& sql, std::initializer_list<std::string_view> parameters) const {
  std::vector<std::string> texts(parameters.begin(), parameters.end());
  std::vector<const char*> values;
  for (const std::string& t : texts) values.push_back(t.c_str());
  return const_cast<PgDatabase*>(this)->run(sql, static_cast<int>(values.size()), values.data(), nullptr, nullptr);
}

std::vector<std::string> PgDatabase::firstColumn(const std::string& sql, std::initializer_list<std::string_view> parameters) const {
  ResultPtr result = runWithTexts(sql, parameters);
  std::vector<std::string> column;
  for (int row = 0; row < PQntuples(result.get()); ++row) column.emplace_back(PQgetvalue(result.get(), row, 0));
  return column;
}

std::optional<std::string> PgDatabase::firstValue(const std::string& sql, std::initializer_list<std::string_view> parameters) const {
  ResultPtr result = runWithTexts(sql, parameters);
  if (PQntuples(result.get()) == 0 || PQgetisnull(result.get(), 0, 0)) return std::nullopt;
  return std::string(PQgetvalue(result.get(), 0, 0));
}

// Statements come in the program's one dialect (SQLite's, or Jet translated): the server's form
// quotes their names and folds the case of their text columns as translateJet does.
StatementPtr PgDatabase::prepare(const std::string& sql, bool persistent) {
  int count = 0;
  std::string numbered = numberedParameters(translateJet(sql), count);
  if (text::trim(numbered).empty()) throw DbError("empty statement", DbError::kMisuse);
  // An INSERT brings back the number it was given, saving a question to the server per row added.
  const bool numbering = text::startsWithNoCase(text::trim(numbered), "INSERT") &&
                         text::toUpperAscii(numbered).find("RETURNING") == std::string::npos;
  if (numbering) numbered += " RETURNING current_setting('tavrix.last_number', true)";
  return StatementPtr(new PgStatement(*this, std::move(numbered), count, persistent, numbering));
}

bool PgDatabase::execute(std::string_view sql) {
  settle();
  lastNumber_.reset();
  ResultPtr result(PQexec(connection_, std::string(sql).c_str()));
  const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  const bool defines = definesSomething(sql);
  if (defines) {
    knownNames_.reset();
    rowNumbers_.clear();
    prepared_.clear();
  }
  if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK && status != PGRES_EMPTY_QUERY)
    throw failure(result.get());
  return defines;
}

const std::map<std::string, std::vector<ServerName>>& PgDatabase::knownNames() const {
  if (knownNames_) return *knownNames_;
  ResultPtr result = const_cast<PgDatabase*>(this)->run(
      "SELECT c.relname, NULL FROM pg_class c WHERE c.relnamespace = current_schema()::regnamespace AND c.relkind IN ('r', 'p', 'v')"
      " UNION ALL SELECT a.attname, a.atttypid = 'text'::regtype FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid"
      " WHERE c.relnamespace = current_schema()::regnamespace AND c.relkind IN ('r', 'p', 'v') AND a.attnum > 0"
      " AND NOT a.attisdropped",
      0, nullptr, nullptr, nullptr);
  std::map<std::string, std::vector<ServerName>> names;
  for (int row = 0; row < PQntuples(result.get()); ++row) {
    const std::string spelling = PQgetvalue(result.get(), row, 0);
    std::vector<ServerName>& spellings = names[text::toUpperAscii(spelling)];
    auto same = std::find_if(spellings.begin(), spellings.end(), [&](const ServerName& n) { return n.spelling == spelling; });
    if (same == spellings.end()) same = spellings.insert(spellings.end(), ServerName{spelling, false});
    same->text = same->text || std::string_view(PQgetvalue(result.get(), row, 1)) == "t";
  }
  return *(knownNames_ = std::move(names));
}

// Names as the catalogue spells them (the file compares names without regard to case), and text
// compared without regard to ASCII case, as the file's text columns do.
std::string PgDatabase::translateJet(std::string_view jetSql) const {
  return db::translateJet(jetSql, JetNames::QuotedNames, [this](std::string_view name) -> std::optional<ServerName> {
    const auto& names = knownNames();
    const auto found = names.find(text::toUpperAscii(name));
    if (found == names.end()) return std::nullopt;
    // Two spellings (VERSION of T_Version, Version of T_ApplInst): the one written, else the first.
    for (const ServerName& spelling : found->second)
      if (spelling.spelling == name) return spelling;
    return found->second.front();
  });
}

void PgDatabase::begin() {
  execute("BEGIN");
  writing_ = true;
}

void PgDatabase::beginRead() {
  execute("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
  reading_ = true;
}

// A transaction that failed a statement ends in a rollback whatever is asked: the server answers
// COMMIT with ROLLBACK, so that is an error here.
void PgDatabase::commit() {
  sendHeldRows();
  finishCopy();
  const bool failed = PQtransactionStatus(connection_) == PQTRANS_INERROR;
  writing_ = false;
  reading_ = false;
  execute("COMMIT");
  if (failed) throw DbError("the transaction was rolled back: a statement in it had failed", DbError::kError);
}

void PgDatabase::rollback() {
  writing_ = false;
  reading_ = false;
  held_.clear();  // rows never sent need no undoing
  try {
    finishCopy();
  } catch (const DbError&) {
    // rows sent and refused: the rollback undoes the transaction whatever they met
  }
  execute("ROLLBACK");
}

bool PgDatabase::inTransaction() const { return PQtransactionStatus(connection_) != PQTRANS_IDLE; }
bool PgDatabase::isWriting() const { return writing_ && inTransaction(); }
bool PgDatabase::isReadOnly() const { return readOnly_; }

void PgDatabase::setBusyTimeout(int milliseconds) { execute("SET lock_timeout = " + std::to_string(std::max(milliseconds, 0))); }

std::int64_t PgDatabase::lastInsertRowId() const {
  if (lastNumber_) return *lastNumber_;
  const std::optional<std::string> last = firstValue("SELECT current_setting('tavrix.last_number', true)", {});
  std::int64_t number = 0;
  if (last) std::from_chars(last->data(), last->data() + last->size(), number);
  return number;
}

std::unique_ptr<ManyWrites> PgDatabase::startManyWrites(Connection& connection) {
  return std::make_unique<ServerWrites>(connection);
}

std::vector<std::string> PgDatabase::tableColumns(const std::string& table) {
  return firstColumn(std::string("SELECT a.attname FROM pg_attribute a WHERE a.attnum > 0 AND NOT a.attisdropped AND a.attrelid = (") +
                         kTableByName + ") ORDER BY a.attnum",
                     {table});
}

bool PgDatabase::hasTable(std::string_view name) {
  return firstValue(std::string(kTableByName), {name}).has_value();
}

std::vector<std::string> PgDatabase::tableNames() {
  return firstColumn("SELECT c.relname FROM pg_class c WHERE c.relnamespace = current_schema()::regnamespace"
                     " AND c.relkind IN ('r', 'p') ORDER BY c.relname COLLATE \"C\"",
                     {});
}

std::vector<std::pair<std::string, std::string>> PgDatabase::columnsWithTypes(const std::string& table) {
  const char* values[] = {table.c_str()};
  ResultPtr result = run(std::string("SELECT a.attname, format_type(a.atttypid, a.atttypmod) FROM pg_attribute a WHERE a.attnum > 0"
                                     " AND NOT a.attisdropped AND a.attrelid = (") + kTableByName + ") ORDER BY a.attnum",
                         1, values, nullptr, nullptr);
  std::vector<std::pair<std::string, std::string>> columns;
  for (int row = 0; row < PQntuples(result.get()); ++row)
    columns.emplace_back(PQgetvalue(result.get(), row, 0), PQgetvalue(result.get(), row, 1));
  return columns;
}

bool PgDatabase::hasTrigger(std::string_view name) {
  return firstValue("SELECT 1 FROM pg_trigger t JOIN pg_class c ON c.oid = t.tgrelid WHERE NOT t.tgisinternal"
                    " AND c.relnamespace = current_schema()::regnamespace AND lower(t.tgname) = lower($1)",
                    {name})
      .has_value();
}

std::optional<std::string> PgDatabase::columnType(std::string_view table, std::string_view column) {
  return firstValue(std::string("SELECT format_type(a.atttypid, a.atttypmod) FROM pg_attribute a WHERE a.attnum > 0") +
                        " AND NOT a.attisdropped AND lower(a.attname) = lower($2) AND a.attrelid = (" + kTableByName + ")",
                    {table, column});
}

std::optional<std::int64_t> PgDatabase::lastNumberGiven(std::string_view table) {
  if (!hasTable("tavrix_counters")) return std::nullopt;
  const std::optional<std::string> last = firstValue("SELECT last_number FROM tavrix_counters WHERE table_name = $1", {table});
  if (!last) return std::nullopt;
  std::int64_t number = 0;
  std::from_chars(last->data(), last->data() + last->size(), number);
  return number;
}

std::string PgDatabase::createTableSql(const TableDefinition& table) const {
  std::string sql = "CREATE TABLE " + quoteIdentifier(table.name) + " (";
  const TableDefinition::Column* counter = nullptr;
  for (std::size_t i = 0; i < table.columns().size(); ++i) {
    const TableDefinition::Column& c = table.columns()[i];
    sql += (i ? ", " : "") + quoteIdentifier(c.name) + " ";
    if (c.autoIncrement) {
      sql += "integer NOT NULL PRIMARY KEY";
      counter = &c;
      continue;
    }
    sql += serverType(c);
    if (!c.nullable) sql += " NOT NULL";
  }
  sql += ")";
  if (!counter) return sql;
  std::string argument = "'" + text::replaceAll(counter->name, "'", "''") + "'";
  return std::string(kCounters) + sql + ";\nCREATE TRIGGER " + quoteIdentifier(table.name + "_number") +
         " BEFORE INSERT ON " + quoteIdentifier(table.name) + " FOR EACH ROW EXECUTE FUNCTION tavrix_number_row(" +
         argument + ")";
}

// The server's types createTableSql writes, read back (a text keeps no size).
TableDefinition PgDatabase::tableDefinition(const std::string& table) {
  TableDefinition definition;
  definition.name = table;
  const char* values[] = {table.c_str()};
  ResultPtr columns = run(std::string("SELECT a.attname, format_type(a.atttypid, a.atttypmod), a.attnotnull FROM pg_attribute a")
                              + " WHERE a.attnum > 0 AND NOT a.attisdropped AND a.attrelid = (" + kTableByName + ") ORDER BY a.attnum",
                          1, values, nullptr, nullptr);
  const bool counting = hasTrigger(table + "_number");
  for (int row = 0; row < PQntuples(columns.get()); ++row) {
    const std::string name = PQgetvalue(columns.get(), row, 0), type = PQgetvalue(columns.get(), row, 1);
    const std::pair<const char*, ColumnType> named[] = {
        {"text", ColumnType::LongVarWChar}, {"integer", ColumnType::Integer}, {"smallint", ColumnType::SmallInt},
        {"real", ColumnType::Single}, {"double precision", ColumnType::Double}, {"numeric", ColumnType::Numeric},
        {"numeric(19,4)", ColumnType::Currency}, {"timestamp(0) without time zone", ColumnType::Date},
        {"boolean", ColumnType::Boolean}};
    ColumnType kind = ColumnType::Empty;
    for (const auto& [word, column] : named)
      if (type == word) kind = column;
    definition.appendColumn(name, kind, 0);
    const bool notNull = std::string_view(PQgetvalue(columns.get(), row, 2)) == "t";
    if (counting && notNull && kind == ColumnType::Integer && rowNumberOf(table) == quoteIdentifier(name)) definition.setAutoIncrement(name);
    else definition.column(name).nullable = !notNull;
  }
  return definition;
}

std::vector<std::string> PgDatabase::indexStatements() {
  return firstColumn("SELECT indexdef FROM pg_indexes WHERE schemaname = current_schema() AND indexname NOT LIKE '%\\_pkey'"
                     " ORDER BY indexname COLLATE \"C\"",
                     {});
}

std::string PgDatabase::rowNumberOf(const std::string& table) {
  if (auto found = rowNumbers_.find(table); found != rowNumbers_.end()) return found->second;
  const std::optional<std::string> key = firstValue(
      std::string("SELECT a.attname FROM pg_index i JOIN pg_attribute a ON a.attrelid = i.indrelid AND a.attnum = ANY(i.indkey)"
                  " WHERE i.indisprimary AND i.indrelid = (") + kTableByName + ")",
      {table});
  if (!key) throw DbError("the table " + table + " has no key column to find its rows by", DbError::kError);
  return rowNumbers_[table] = quoteIdentifier(*key);
}

namespace {

constexpr std::size_t kHeldBytes = 8 << 20;  // rows held for one COPY at most

// A field in COPY's text form: NULL as \N, the separators and the escape character escaped.
void appendCopyField(std::string& out, const FieldRef& value) {
  if (auto* number = std::get_if<std::int64_t>(&value)) {
    out += std::to_string(*number);
    return;
  }
  const auto* text = std::get_if<std::string_view>(&value);
  if (!text) {
    out += "\\N";
    return;
  }
  for (char c : *text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
}

}  // namespace

PgDatabase::HeldRows& PgDatabase::heldFor(const std::string& table, const std::vector<std::string>& names) {
  if (!holdingUntilCommit_) {
    // Held until the next statement: one table's rows at a time, in parts of kHeldBytes.
    if (!held_.empty() && (held_.back().table != table || held_.back().names != names || held_.back().data.size() >= kHeldBytes))
      sendHeldRows();
  } else {
    for (HeldRows& rows : held_)
      if (rows.table == table && rows.names == names) return rows;
  }
  if (held_.empty() || held_.back().table != table || held_.back().names != names) held_.push_back(HeldRows{table, names, {}});
  return held_.back();
}

bool PgDatabase::copyRow(const std::string& table, const std::vector<std::string>& names, std::span<const FieldRef> values) {
  if (names.size() != values.size()) throw DbError("field names and values differ in number", DbError::kMisuse);
  std::string& data = heldFor(table, names).data;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i) data += '\t';
    appendCopyField(data, values[i]);
  }
  data += '\n';
  return true;
}

std::size_t PgDatabase::heldRowBytes() const {
  std::size_t bytes = 0;
  for (const HeldRows& rows : held_) bytes += rows.data.size();
  return bytes;
}

std::vector<std::size_t> PgDatabase::heldRowsMark() const {
  std::vector<std::size_t> mark;
  for (const HeldRows& rows : held_) mark.push_back(rows.data.size());
  return mark;
}

// Rows are only appended while held, whole lines at a time, so a mark's sizes end on rows.
void PgDatabase::dropHeldRowsAfter(const std::vector<std::size_t>& mark) {
  if (!holdingUntilCommit_) return;  // held rows went out before the rollback's statement
  held_.resize(std::min(held_.size(), mark.size()));
  for (std::size_t i = 0; i < held_.size(); ++i) held_[i].data.resize(std::min(held_[i].data.size(), mark[i]));
}

// The rows go to the server without waiting for it to store the last of them: the program reads
// the next rows meanwhile, and the outcome is read before anything else is asked of the server
// (finishCopy).
void PgDatabase::sendHeldRows() {
  finishCopy();
  for (const HeldRows& rows : std::exchange(held_, {})) {
    if (rows.data.empty()) continue;
    finishCopy();
    std::string sql = "COPY " + quoteIdentifier(rows.table) + " (";
    for (std::size_t i = 0; i < rows.names.size(); ++i) sql += (i ? ", " : "") + quoteIdentifier(rows.names[i]);
    sql += ") FROM STDIN";
    ResultPtr start(PQexec(connection_, sql.c_str()));
    if (PQresultStatus(start.get()) != PGRES_COPY_IN) throw failure(start.get());
    copying_ = true;
    if (PQputCopyData(connection_, rows.data.data(), static_cast<int>(rows.data.size())) != 1 ||
        PQputCopyEnd(connection_, nullptr) != 1)
      finishCopy();
  }
}

void PgDatabase::settle() {
  if (!holdingUntilCommit_) sendHeldRows();
  finishCopy();
}

void PgDatabase::finishCopy() {
  if (!copying_) return;
  copying_ = false;
  ResultPtr end(PQgetResult(connection_));
  while (PGresult* more = PQgetResult(connection_)) PQclear(more);
  if (PQresultStatus(end.get()) != PGRES_COMMAND_OK) throw failure(end.get());
}

// A lock of this database's, held by the session: one number names the import's.
bool PgDatabase::takeImportLock() {
  constexpr std::int64_t kImportLock = 0x54617678;  // "Tavx"
  return firstValue("SELECT pg_try_advisory_lock(" + std::to_string(kImportLock) + ")", {}) == "t";
}

void Connection::openServer(const Location& location, OpenMode mode) {
  if (db_) throw DbError("the connection is already open", DbError::kMisuse);
  const bool readOnly = mode == OpenMode::ReadOnly || mode == OpenMode::Immutable;
  auto database = std::make_unique<PgDatabase>(PQconnectdb(location.connectionString().c_str()), readOnly, location.shown());
  // libpq's reason names the server's address, never the password.
  if (PQstatus(database->raw()) != CONNECTION_OK)
    throw DbError("cannot reach the server: " + firstLine(PQerrorMessage(database->raw())), DbError::kCantOpen);
  // The server's notices ("already exists, skipping") are not the program's to print.
  PQsetNoticeProcessor(database->raw(), ignoreNotice, nullptr);
  // Texts in UTF-8, dates as the file keeps them, and a statement waits for another writer's lock
  // as long as a file's would.
  // A cursor is planned for reading all its rows, as a whole result is.
  database->execute("SET client_encoding = 'UTF8'; SET DateStyle = 'ISO, YMD'; SET extra_float_digits = 1;"
                    " SET cursor_tuple_fraction = 1");
  // Japanese text is kept as the file keeps it only in a UTF-8 database.
  ResultPtr encoding = database->run("SELECT current_setting('server_encoding')", 0, nullptr, nullptr, nullptr);
  if (std::string_view(PQgetvalue(encoding.get(), 0, 0)) != "UTF8")
    throw DbError("the server database is not UTF-8 (" + std::string(PQgetvalue(encoding.get(), 0, 0)) + ")", DbError::kCantOpen);
  database->setBusyTimeout(busyTimeoutMs_);
  if (readOnly) database->execute("SET default_transaction_read_only = on");
  db_ = DatabasePtr(database.release());
  location_ = location;
}

}  // namespace tavrix::db
