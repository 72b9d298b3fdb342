// Running one statement with bound parameters and collecting its rows as values.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/db.h"
#include "queries/result_table.h"

namespace tavrix::queries {

// Prepares sql (the engine's dialect, cached by text), binds params to ?1, ?2, ... and calls onRow with
// each row's values. Throws db::DbError.
void forEachRow(db::Connection& connection, const std::string& sql, const std::vector<db::Value>& params,
                const std::function<void(const ResultRow&)>& onRow);

// The same with a view of each row, for callers that read its columns in place.
void forEachStep(db::Connection& connection, const std::string& sql, const std::vector<db::Value>& params,
                 const std::function<void(const db::RowView&)>& onRow);

// Every row of the statement.
std::vector<ResultRow> readRows(db::Connection& connection, const std::string& sql,
                                const std::vector<db::Value>& params);

// The first field of the statement's first row as a whole number (0 for NULL); throws db::DbError
// when it returns no row.
std::int64_t readNumber(db::Connection& connection, const std::string& sql, const std::vector<db::Value>& params = {});

// Runs a statement that returns no rows (or whose rows are not wanted).
void runStatement(db::Connection& connection, const std::string& sql, const std::vector<db::Value>& params = {});

}  // namespace tavrix::queries
