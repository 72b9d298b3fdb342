// The text search: the rows of the computers the search index names, or (when it cannot answer) one
// scan per inventory table in parts at once; every text field tested, one row per match.
#include "queries/fleet_search.h"

#include <algorithm>
#include <iterator>

#include "searchindex/search_index_reader.h"
#include "searchindex/searched_fields.h"
#include "queries/search_matches.h"
#include "queries/table_parts.h"

namespace tavrix::queries {

namespace {

using searchindex::SearchedTable;

// Every table read whole, in parts at once.
void scanTables(db::Connection& connection, const std::vector<SearchedTable>& tables, const SearchText& what,
                std::vector<ResultRow>& result) {
  const db::Value pattern(what.likePattern());
  for (const SearchedTable& table : tables) {
    if (!what.searches(table.name)) continue;
    const std::vector<RowidRange> ranges = snapshotParts(connection, table.name, scanPartCount());
    std::vector<std::vector<ResultRow>> found(ranges.size());
    scanParts(connection, ranges, [&](db::Connection& c, const RowidRange& range, std::size_t index) {
      const std::string sql = searchSql(table) + " AND " + inPart(c, "t", 2);
      collectMatches(c, table, sql, {pattern, db::Value(range.first), db::Value(range.last)}, what, found[index]);
    });
    for (auto& rows : found) std::move(rows.begin(), rows.end(), std::back_inserter(result));
  }
}

// Only the rows of the snapshots the index names.
void readCandidates(db::Connection& connection, const std::vector<SearchedTable>& tables,
                    const searchindex::SearchCandidates& candidates, const SearchText& what, std::vector<ResultRow>& result) {
  const db::Value pattern(what.likePattern());
  for (std::size_t t = 0; t < tables.size(); ++t) {
    if (!candidates.tables[t] || !what.searches(tables[t].name)) continue;
    for (const db::Value& rno : candidates.rnos) collectSnapshotMatches(connection, tables[t], rno, pattern, what, result);
  }
}

}  // namespace

ResultTable searchInventory(db::Connection& connection, const SearchText& what, SearchWay way) {
  db::ReadTransaction oneState(connection);  // every table (and the index) as of one moment
  ResultTable result{searchColumns(), {}};
  const std::vector<SearchedTable> tables = searchindex::searchedTables(connection);
  // The index finds the values that contain the text: those that are it are among them.
  const auto candidates = way == SearchWay::Fastest ? searchindex::searchCandidates(connection, tables, what.text) : std::nullopt;
  if (candidates) readCandidates(connection, tables, *candidates, what, result.rows);
  else scanTables(connection, tables, what, result.rows);
  std::stable_sort(result.rows.begin(), result.rows.end(), searchRowBefore);
  return result;
}

}  // namespace tavrix::queries
