// Stepping a cached statement to its end, row by row.
#include "queries/statement_rows.h"

#include <optional>

namespace tavrix::queries {

void forEachRow(db::Connection& connection, const std::string& sql, const std::vector<db::Value>& params,
                const std::function<void(const ResultRow&)>& onRow) {
  ResultRow row;
  forEachStep(connection, sql, params, [&](const db::RowView& view) {
    row.resize(static_cast<std::size_t>(view.columnCount()));
    for (std::size_t c = 0; c < row.size(); ++c) row[c] = view.value(static_cast<int>(c));
    onRow(row);
  });
}

void forEachStep(db::Connection& connection, const std::string& sql, const std::vector<db::Value>& params,
                 const std::function<void(const db::RowView&)>& onRow) {
  db::Statement statement(connection, sql);
  for (std::size_t i = 0; i < params.size(); ++i) statement.bind(static_cast<int>(i + 1), params[i]);
  statement.forEach(onRow);
}

std::vector<ResultRow> readRows(db::Connection& connection, const std::string& sql,
                                const std::vector<db::Value>& params) {
  std::vector<ResultRow> rows;
  forEachRow(connection, sql, params, [&](const ResultRow& row) { rows.push_back(row); });
  return rows;
}

std::int64_t readNumber(db::Connection& connection, const std::string& sql, const std::vector<db::Value>& params) {
  std::optional<std::int64_t> number;
  forEachStep(connection, sql, params, [&](const db::RowView& row) {
    if (!number) number = row.integer(0);
  });
  if (!number) throw db::DbError("no row: " + sql, db::DbError::kError);
  return *number;
}

void runStatement(db::Connection& connection, const std::string& sql, const std::vector<db::Value>& params) {
  forEachStep(connection, sql, params, [](const db::RowView&) {});
}

}  // namespace tavrix::queries
