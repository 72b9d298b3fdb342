// Stepping a cached statement to its end, row by row.
#include "queries/statement_rows.h"

#include <sqlite3.h>

namespace tavrix::queries {

void forEachRow(db::Connection& connection, const std::string& sql, const std::vector<db::Value>& params,
                const std::function<void(const ResultRow&)>& onRow) {
  ResultRow row;
  forEachStep(connection, sql, params, [&](sqlite3_stmt* stmt) {
    row.resize(static_cast<std::size_t>(sqlite3_column_count(stmt)));
    for (std::size_t c = 0; c < row.size(); ++c) row[c] = db::columnValue(stmt, static_cast<int>(c));
    onRow(row);
  });
}

void forEachStep(db::Connection& connection, const std::string& sql, const std::vector<db::Value>& params,
                 const std::function<void(sqlite3_stmt*)>& onRow) {
  sqlite3_stmt* stmt = connection.prepareCached(sql);
  for (std::size_t i = 0; i < params.size(); ++i) db::bindValue(stmt, static_cast<int>(i + 1), params[i]);
  int rc;
  try {
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) onRow(stmt);
  } catch (...) {
    sqlite3_reset(stmt);
    throw;
  }
  if (rc != SQLITE_DONE) {
    db::DbError error = db::errorOf(connection.handle(), rc);
    sqlite3_reset(stmt);
    throw error;
  }
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
}

std::vector<ResultRow> readRows(db::Connection& connection, const std::string& sql,
                                const std::vector<db::Value>& params) {
  std::vector<ResultRow> rows;
  forEachRow(connection, sql, params, [&](const ResultRow& row) { rows.push_back(row); });
  return rows;
}

}  // namespace tavrix::queries
