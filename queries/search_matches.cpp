// The search's statements and row order.
#include "queries/search_matches.h"

#include "queries/search_sections.h"
#include "queries/statement_rows.h"
#include "queries/text_match.h"

namespace tavrix::queries {

const std::vector<std::string>& searchColumns() {
  static const std::vector<std::string> names = {"ComputerName", "PCid", "RNO", "Table", "Field", "Value", "Section"};
  return names;
}

std::string searchSql(const searchindex::SearchedTable& table) {
  const bool basic = table.name == searchindex::kBasicTable;
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

void collectMatches(db::Connection& connection, const searchindex::SearchedTable& table, const std::string& sql,
                    const std::vector<db::Value>& params, const SearchText& what, std::vector<ResultRow>& found) {
  const db::Value section(sectionOf(table.name));
  forEachRow(connection, sql, params, [&](const ResultRow& row) {
    for (std::size_t f = 0; f < table.textFields.size(); ++f) {
      const db::Value& value = row[3 + f];
      if (value.isNull() || !what.matches(value.text())) continue;
      found.push_back({db::Value(row[0].text()), row[1], row[2], table.name, table.textFields[f], value, section});
    }
  });
}

void collectSnapshotMatches(db::Connection& connection, const searchindex::SearchedTable& table, const db::Value& rno,
                            const db::Value& pattern, const SearchText& what, std::vector<ResultRow>& found) {
  const std::string sql = searchSql(table);
  if (rno.isNull()) collectMatches(connection, table, sql + " AND t.RNO IS NULL", {pattern}, what, found);
  else collectMatches(connection, table, sql + " AND t.RNO = ?2", {pattern, rno}, what, found);
}

bool searchRowBefore(const ResultRow& a, const ResultRow& b) {
  for (std::size_t c : {0, 1, 3, 4, 5})
    if (int order = compareText(a[c].text(), b[c].text()); order != 0) return order < 0;
  return false;
}

}  // namespace tavrix::queries
