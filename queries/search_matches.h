// What every way of searching shares: the statement that reads a table's rows where a text field
// holds the text, one result row per matching field, and the answer's order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/db.h"
#include "queries/result_table.h"
#include "queries/search_text.h"
#include "searchindex/searched_fields.h"

namespace tavrix::queries {

// The answer's columns: where the value is, the value, and the section of the table.
const std::vector<std::string>& searchColumns();

// SELECT computer name, PCid, RNO, then the text fields of rows where any of them is LIKE ?1.
std::string searchSql(const searchindex::SearchedTable& table);

// Each row of the statement (searchSql with its condition) adds one result row per matching field.
void collectMatches(db::Connection& connection, const searchindex::SearchedTable& table, const std::string& sql,
                    const std::vector<db::Value>& params, const SearchText& what, std::vector<ResultRow>& found);

// The same for the rows of one snapshot (its RNO NULL too): pattern is what's likePattern.
void collectSnapshotMatches(db::Connection& connection, const searchindex::SearchedTable& table, const db::Value& rno,
                            const db::Value& pattern, const SearchText& what, std::vector<ResultRow>& found);

// The answer's order: computer name, PCid, Table, Field, Value, each as compareText orders texts.
bool searchRowBefore(const ResultRow& a, const ResultRow& b);

}  // namespace tavrix::queries
