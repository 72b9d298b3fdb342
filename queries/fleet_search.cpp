// The text search: the rows of the computers the search index names, or (when it cannot answer) one
// scan per inventory table in parts at once; every text field tested, one row per match.
#include "queries/fleet_search.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "platform/text.h"
#include "searchindex/search_index_reader.h"
#include "searchindex/searched_fields.h"
#include "queries/statement_rows.h"
#include "queries/table_parts.h"
#include "queries/text_match.h"

namespace tavrix::queries {

namespace {

using searchindex::kBasicTable;
using searchindex::SearchedTable;

// SELECT computer name, PCid, RNO, then the text fields of rows where any of them matches ?1.
std::string tableSql(const SearchedTable& table) {
  const bool basic = table.name == kBasicTable;
  std::string sql = basic ? "SELECT t.ComputerName, t.PCid, t.RNO" : "SELECT b.ComputerName, t.PCid, t.RNO";
  std::string where;
  for (const std::string& field : table.textFields) {
    const std::string column = "t." + db::quoteIdentifier(field);
    sql += ", " + column;
    where += (where.empty() ? " WHERE (" : " OR ") + containsSql(column, 1);
  }
  where += ")";
  sql += " FROM " + db::quoteIdentifier(table.name) + " t";
  if (!basic) sql += " LEFT JOIN T_BasicInf b ON b.RNO = t.RNO";
  return sql + where;
}

// Each row of the statement (a table's SQL with its condition) adds one result row per matching field.
void collectMatches(db::Connection& connection, const SearchedTable& table, const std::string& sql,
                    const std::vector<db::Value>& params, std::string_view part, std::vector<ResultRow>& found) {
  forEachRow(connection, sql, params, [&](const ResultRow& row) {
    for (std::size_t f = 0; f < table.textFields.size(); ++f) {
      const db::Value& value = row[3 + f];
      if (value.isNull() || !containsNoCase(value.text(), part)) continue;
      found.push_back({db::Value(row[0].text()), row[1], row[2], table.name, table.textFields[f], value});
    }
  });
}

// Every table read whole, in parts at once.
void scanTables(db::Connection& connection, const std::vector<SearchedTable>& tables, std::string_view part,
                std::vector<ResultRow>& result) {
  const db::Value pattern(containsPattern(part));
  for (const SearchedTable& table : tables) {
    const std::vector<RowidRange> ranges = snapshotParts(connection, table.name, scanPartCount());
    std::vector<std::vector<ResultRow>> found(ranges.size());
    scanParts(connection, ranges, [&](db::Connection& c, const RowidRange& range, std::size_t index) {
      const std::string sql = tableSql(table) + " AND " + inPart(c, "t", 2);
      collectMatches(c, table, sql, {pattern, db::Value(range.first), db::Value(range.last)}, part, found[index]);
    });
    for (auto& rows : found) std::move(rows.begin(), rows.end(), std::back_inserter(result));
  }
}

// Only the rows of the snapshots the index names.
void readCandidates(db::Connection& connection, const std::vector<SearchedTable>& tables,
                    const searchindex::SearchCandidates& candidates, std::string_view part, std::vector<ResultRow>& result) {
  const db::Value pattern(containsPattern(part));
  for (std::size_t t = 0; t < tables.size(); ++t) {
    if (!candidates.tables[t]) continue;
    const std::string sql = tableSql(tables[t]) + " AND t.RNO IS ?2";
    for (const db::Value& rno : candidates.rnos) collectMatches(connection, tables[t], sql, {pattern, rno}, part, result);
  }
}

bool rowBefore(const ResultRow& a, const ResultRow& b) {
  for (std::size_t c : {0, 1, 3, 4, 5})
    if (int order = compareText(a[c].text(), b[c].text()); order != 0) return order < 0;
  return false;
}

}  // namespace

ResultTable searchInventory(db::Connection& connection, std::string_view part, SearchWay way) {
  db::ReadTransaction oneState(connection);  // every table (and the index) as of one moment
  ResultTable result{{"ComputerName", "PCid", "RNO", "Table", "Field", "Value"}, {}};
  const std::vector<SearchedTable> tables = searchindex::searchedTables(connection);
  const auto candidates = way == SearchWay::Fastest ? searchindex::searchCandidates(connection, tables, part) : std::nullopt;
  if (candidates) readCandidates(connection, tables, *candidates, part, result.rows);
  else scanTables(connection, tables, part, result.rows);
  std::stable_sort(result.rows.begin(), result.rows.end(), rowBefore);
  return result;
}

}  // namespace tavrix::queries
