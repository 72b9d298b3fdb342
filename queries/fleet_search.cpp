// The text search: one scan per inventory table, in parts at once, every text field tested; one row per match.
#include "queries/fleet_search.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "platform/text.h"
#include "queries/statement_rows.h"
#include "queries/table_parts.h"
#include "queries/text_match.h"

namespace tavrix::queries {

namespace {

constexpr const char* kBasicTable = "T_BasicInf";

struct SearchedTable {
  std::string name;
  std::vector<std::string> textFields;
};

// Inventory tables (with RNO and PCid) and their text fields, in name and column order.
std::vector<SearchedTable> inventoryTables(db::Connection& connection) {
  std::map<std::string, std::vector<ResultRow>> columns;
  for (const std::string& table : connection.tableNames())
    for (const auto& [name, type] : connection.columnsWithTypes(table))
      columns[table].push_back({db::Value(table), db::Value(name), db::Value(type)});
  std::vector<SearchedTable> tables;
  for (const auto& entry : columns) {
    const std::string& table = entry.first;
    const std::vector<ResultRow>& fields = entry.second;  // a lambda cannot capture a structured binding in clang 14
    auto has = [&](const char* name) {
      return std::ranges::any_of(fields, [&](const ResultRow& f) { return text::equalsNoCase(f[1].text(), name); });
    };
    if (!has("RNO") || !has("PCid")) continue;
    SearchedTable searched{table, {}};
    for (const ResultRow& f : fields) {
      const bool repeatedId = table != kBasicTable && text::equalsNoCase(f[1].text(), "PCid");
      if (isTextType(f[2].text()) && !repeatedId) searched.textFields.push_back(f[1].text());
    }
    if (!searched.textFields.empty()) tables.push_back(std::move(searched));
  }
  return tables;
}

// SELECT computer name, PCid, RNO, then the text fields of rows where any of them matches ?1.
std::string tableSql(const db::Connection& connection, const SearchedTable& table) {
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
  return sql + where + " AND " + inPart(connection, "t", 2);
}

bool rowBefore(const ResultRow& a, const ResultRow& b) {
  for (std::size_t c : {0, 1, 3, 4, 5})
    if (int order = compareText(a[c].text(), b[c].text()); order != 0) return order < 0;
  return false;
}

}  // namespace

ResultTable searchInventory(db::Connection& connection, std::string_view part) {
  db::ReadTransaction oneState(connection);  // every table as of one moment
  ResultTable result{{"ComputerName", "PCid", "RNO", "Table", "Field", "Value"}, {}};
  const db::Value pattern(containsPattern(part));
  for (const SearchedTable& table : inventoryTables(connection)) {
    const std::vector<RowidRange> ranges = snapshotParts(connection, table.name, scanPartCount());
    std::vector<std::vector<ResultRow>> found(ranges.size());
    scanParts(connection, ranges, [&](db::Connection& c, const RowidRange& range, std::size_t index) {
      forEachRow(c, tableSql(c, table), {pattern, db::Value(range.first), db::Value(range.last)}, [&](const ResultRow& row) {
        for (std::size_t f = 0; f < table.textFields.size(); ++f) {
          const db::Value& value = row[3 + f];
          if (value.isNull() || !containsNoCase(value.text(), part)) continue;
          found[index].push_back({db::Value(row[0].text()), row[1], row[2], table.name, table.textFields[f], value});
        }
      });
    });
    for (auto& rows : found) std::move(rows.begin(), rows.end(), std::back_inserter(result.rows));
  }
  std::stable_sort(result.rows.begin(), result.rows.end(), rowBefore);
  return result;
}

}  // namespace tavrix::queries
