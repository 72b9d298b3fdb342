// The search index's own tables in a database file, their state, and the triggers that tell the
// index a write it did not see: a changed row, or a row added to a snapshot it has read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/db.h"
#include "searchindex/searched_fields.h"

namespace tavrix::searchindex {

struct SearchIndexState {
  std::int64_t indexedThrough = 0;  // every row with an RNO up to this is in the index
  bool trusted = false;             // no write outside the index's knowledge since it was made
  std::string shape;                // the tables and fields it was made for
};

// The state of the database's index; none when it has none (or a server database).
std::optional<SearchIndexState> readSearchIndexState(db::Connection& connection);

// The snapshots the index covers (up to this RNO) when it can answer for tables as they are now.
std::optional<std::int64_t> usableIndexThrough(db::Connection& connection, const std::vector<SearchedTable>& tables);

// Makes an empty index for tables in the connection's open transaction, dropping any earlier one.
void createSearchIndex(db::Connection& connection, const std::vector<SearchedTable>& tables);

// Drops the index's tables and triggers, in the connection's open transaction.
void dropSearchIndex(db::Connection& connection);

}  // namespace tavrix::searchindex
