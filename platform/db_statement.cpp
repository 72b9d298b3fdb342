// Cached statements bound, stepped and read in place, over whichever engine prepared them.
#include "platform/db_engine.h"

namespace tavrix::db {

int RowView::columnCount() const { return stmt_->columnCount(); }
bool RowView::isNull(int column) const { return stmt_->isNull(column); }
std::int64_t RowView::integer(int column) const { return stmt_->integer(column); }
std::string_view RowView::text(int column) const { return stmt_->text(column); }
std::string_view RowView::bytes(int column) const { return stmt_->bytes(column); }
Value RowView::value(int column) const { return stmt_->value(column); }

Statement::Statement(Connection& connection, const std::string& sql)
    : connection_(connection), stmt_(connection.prepareCached(sql)), generation_(connection.cacheGeneration()) {
  row_.stmt_ = stmt_;
}

// A connection closed meanwhile has finalized the statement.
Statement::~Statement() {
  if (connection_.cacheGeneration() == generation_) stmt_->reset();
}

Statement& Statement::bind(int index, const Value& value) {
  stmt_->bind(index, value, false);
  return *this;
}

Statement& Statement::bind(int index, const FieldRef& value) {
  stmt_->bind(index, value);
  return *this;
}

Statement& Statement::bindBytes(int index, std::string_view bytes) {
  stmt_->bindBytes(index, bytes);
  return *this;
}

bool Statement::next() {
  if (stmt_->step()) return true;
  stmt_->reset();
  return false;
}

void Statement::run() {
  while (next()) {
  }
}

}  // namespace tavrix::db
