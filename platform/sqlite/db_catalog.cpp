// SQLite table definitions, database file creation and compaction.
#include "platform/sqlite/sqlite_calls.h"

#include <filesystem>

#include "platform/db.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace tavrix::db {

namespace {

constexpr int kApplicationId = 0x54617678;  // "Tavx" in the file header: writing it makes the file

bool isTextType(ColumnType type) { return type == ColumnType::VarWChar || type == ColumnType::LongVarWChar; }

std::string declaredType(const TableDefinition::Column& c) {
  switch (c.type) {
    case ColumnType::VarWChar: return "VARCHAR(" + std::to_string(c.size > 0 ? c.size : 255) + ")";
    case ColumnType::LongVarWChar: return "TEXT";
    case ColumnType::Integer: return "INTEGER";
    case ColumnType::SmallInt: return "SMALLINT";
    case ColumnType::UnsignedTinyInt: return "TINYINT";
    case ColumnType::Single: return "FLOAT";
    case ColumnType::Double: return "DOUBLE";
    case ColumnType::Numeric: return "DECIMAL";
    case ColumnType::Date: return "DATETIME";
    case ColumnType::Currency: return "CURRENCY";
    case ColumnType::Boolean: return "BOOLEAN";
    case ColumnType::Empty: return "";
  }
  return "";
}

std::string columnSql(const TableDefinition::Column& c) {
  std::string sql = quoteIdentifier(c.name);
  if (c.autoIncrement) return sql + " INTEGER PRIMARY KEY AUTOINCREMENT";
  std::string type = declaredType(c);
  if (!type.empty()) sql += " " + type;
  if (!c.nullable) sql += " NOT NULL";
  if (isTextType(c.type)) sql += " COLLATE NOCASE";
  return sql;
}

}  // namespace

// The declared types createTableSql writes, read back.
TableDefinition SqliteDatabase::tableDefinition(const std::string& table) {
  TableDefinition definition;
  definition.name = table;
  StatementPtr made = prepare("SELECT sql FROM sqlite_schema WHERE type = 'table' AND name = ?1", false);
  made->bind(1, Value(table), false);
  const bool counting = made->step() && text::toUpperAscii(made->text(0)).find("AUTOINCREMENT") != std::string::npos;
  StatementPtr columns = prepare("SELECT name, type, \"notnull\", pk FROM pragma_table_info(?1) ORDER BY cid", false);
  columns->bind(1, Value(table), false);
  while (columns->step()) {
    const std::string name(columns->text(0)), type = text::toUpperAscii(columns->text(1));
    ColumnType kind = ColumnType::Empty;
    int size = 0;
    if (type.starts_with("VARCHAR")) {
      kind = ColumnType::VarWChar;
      size = static_cast<int>(text::leadingNumber(std::string_view(type).substr(type.find('(') + 1)).value_or(255));
    } else {
      const std::pair<const char*, ColumnType> named[] = {
          {"TEXT", ColumnType::LongVarWChar}, {"INTEGER", ColumnType::Integer}, {"SMALLINT", ColumnType::SmallInt},
          {"TINYINT", ColumnType::UnsignedTinyInt}, {"FLOAT", ColumnType::Single}, {"DOUBLE", ColumnType::Double},
          {"DECIMAL", ColumnType::Numeric}, {"DATETIME", ColumnType::Date}, {"CURRENCY", ColumnType::Currency},
          {"BOOLEAN", ColumnType::Boolean}};
      for (const auto& [word, column] : named)
        if (type == word) kind = column;
    }
    definition.appendColumn(name, kind, size);
    if (counting && columns->integer(3) > 0 && kind == ColumnType::Integer) definition.setAutoIncrement(name);
    else definition.column(name).nullable = columns->integer(2) == 0;
  }
  return definition;
}

std::vector<std::string> SqliteDatabase::indexStatements() {
  StatementPtr made = prepare("SELECT sql FROM sqlite_schema WHERE type = 'index' AND sql IS NOT NULL ORDER BY name", false);
  std::vector<std::string> statements;
  while (made->step()) statements.emplace_back(made->text(0));
  return statements;
}

std::string SqliteDatabase::createTableSql(const TableDefinition& table) const {
  std::string sql = "CREATE TABLE " + quoteIdentifier(table.name) + " (";
  for (std::size_t i = 0; i < table.columns().size(); ++i) sql += (i ? ", " : "") + columnSql(table.columns()[i]);
  return sql + ")";
}

void createDatabase(const std::string& path) {
  if (paths::entryExists(path)) throw DbError("database already exists: " + path, SQLITE_CANTOPEN);
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  SqliteDatabase db(raw);
  if (rc == SQLITE_OK) {
    // 16 KiB pages: shallower tables and indexes and a quarter of the page writes for the import's
    // commits and checkpoints (bench/README.md). Fixed once the first page is written.
    std::string pragma = "PRAGMA page_size=16384; PRAGMA application_id=" + std::to_string(kApplicationId);
    rc = sqlite3_exec(raw, pragma.c_str(), nullptr, nullptr, nullptr);
  }
  if (rc != SQLITE_OK) {
    DbError error = errorOf(raw, rc);
    throw DbError(std::string(error.what()) + " (" + path + ")", error.code());
  }
  paths::shareWithGroup(path);
}

void appendTable(const std::string& databasePath, const TableDefinition& table) {
  Connection connection;
  connection.openPlain(databasePath);
  appendTable(connection, table);
}

void compactDatabase(const std::string& source, const std::string& destination) {
  if (paths::entryExists(destination)) throw DbError("output file already exists: " + destination, SQLITE_ERROR);
  Connection connection;
  connection.openPlain(source);
  try {
    Statement vacuum(connection, "VACUUM INTO ?1");
    vacuum.bind(1, Value(destination)).run();
  } catch (const DbError&) {
    connection.close();
    std::error_code ec;
    std::filesystem::remove(destination, ec);  // it did not exist before: a partial copy is ours
    throw;
  }
  paths::shareWithGroup(destination);  // VACUUM INTO makes it rw-r--r--
}

}  // namespace tavrix::db
