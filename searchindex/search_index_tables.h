// The search index's own tables in a database file and what it covers. It covers every row of
// every searched table that is both at or below its mark (the snapshot number, RNO) and at or
// below the table's seen row (the row number, rowid); a search reads every other row directly.
// Rows the import adds belong to new snapshots, above the mark, and rows anyone adds are numbered
// above the seen row, so neither needs a trigger; a changed row does (the triggers), and so does
// the seen row itself: should it go or change, numbers below it may be given again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/db.h"
#include "searchindex/searched_fields.h"

namespace tavrix::searchindex {

struct IndexCoverage {
  std::int64_t mark = 0;           // snapshots up to this RNO are in the index
  std::vector<std::int64_t> seen;  // per searched table: rows up to this rowid are in it
};

// What the database's index covers, when it can answer for tables as they are now: made for them,
// no row it covers changed since, and every table's seen row as it was (on a server: its triggers
// in place, and no seen rows).
std::optional<IndexCoverage> usableIndex(db::Connection& connection, const std::vector<SearchedTable>& tables);

// Rows added below the mark since the seen rows were taken (by another program): the index must be
// made again to hold them.
bool hasRowsBelowTheMarkUnseen(db::Connection& connection, const std::vector<SearchedTable>& tables,
                               const IndexCoverage& coverage);

// After the index took every row of the snapshots above oldMark up to its new mark: each table's
// seen row moves to its last row (taken again when the import replaced the last rows), unless rows
// of snapshots at or below oldMark (or without a number) were added above it. In the connection's
// open transaction. Nothing on a server, and neither does keepSeenRows.
void moveSeenRows(db::Connection& connection, const std::vector<SearchedTable>& tables, std::int64_t oldMark);

// Rows deleted since (the import's, of computers it imports again): a table whose seen row went
// takes the last row before it instead, so that no row number the index covers is given again
// unseen. In the connection's open transaction.
void keepSeenRows(db::Connection& connection, const std::vector<SearchedTable>& tables);

// Makes an empty index for tables in the connection's open transaction, dropping any earlier one.
void createSearchIndex(db::Connection& connection, const std::vector<SearchedTable>& tables);

// Drops the index's tables and triggers, in the connection's open transaction.
void dropSearchIndex(db::Connection& connection);

}  // namespace tavrix::searchindex
