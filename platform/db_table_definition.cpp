// A table being defined column by column, before an engine writes its CREATE TABLE.
#include "platform/db.h"
#include "platform/text.h"

namespace tavrix::db {

namespace {

constexpr int kError = DbError::kError;

}  // namespace

void TableDefinition::appendColumn(const std::string& columnName, ColumnType type, int size) {
  if (columnName.empty()) throw DbError("a column needs a name", kError);
  if (size < 0) throw DbError("invalid size " + std::to_string(size) + " of column " + columnName, kError);
  for (const auto& c : columns_) {
    if (text::equalsNoCase(c.name, columnName)) throw DbError("duplicate column name: " + columnName, kError);
  }
  columns_.push_back(Column{columnName, type, size, false, false});
}

TableDefinition::Column& TableDefinition::column(const std::string& columnName) {
  for (auto& c : columns_) {
    if (text::equalsNoCase(c.name, columnName)) return c;
  }
  throw DbError("no such column: " + columnName, kError);
}

void TableDefinition::setAutoIncrement(const std::string& columnName) {
  Column& target = column(columnName);
  if (target.type != ColumnType::Integer)
    throw DbError("only a long integer column can count by itself: " + columnName, kError);
  for (const auto& c : columns_) {
    if (c.autoIncrement && &c != &target)
      throw DbError("a table has only one counter column: " + columnName, kError);
  }
  target.autoIncrement = true;
}

void TableDefinition::check() const {
  if (name.empty()) throw DbError("a table needs a name", kError);
  if (columns_.empty()) throw DbError("table " + name + " has no column", kError);
}

}  // namespace tavrix::db
