// The search index's tables on a server. The texts carry a trigram index (pg_trgm) over their
// ASCII-folded form. A server numbers no rows the way a file does, so there is no seen row: rows
// above the mark (and rows without a snapshot number) are read by every search, and a statement
// trigger on each searched table takes the index's trust away when anyone adds or changes a row at
// or below the mark. A transaction that moves the mark holds the state row first, so a write
// racing it is judged by the mark it leaves.
#pragma once

#include <vector>

#include "platform/db.h"
#include "searchindex/searched_fields.h"

namespace tavrix::searchindex {

// Makes the tables, the trigram index and the triggers, in the connection's open transaction.
// Throws DbError when the server has no pg_trgm or the role may not add it.
void createServerIndex(db::Connection& connection, const std::vector<SearchedTable>& tables);

// Drops them, in the connection's open transaction.
void dropServerIndex(db::Connection& connection);

// Every searched table has its two triggers, enabled.
bool serverTriggersInPlace(db::Connection& connection, const std::vector<SearchedTable>& tables);

// Holds the index's state until the open transaction ends: writes of other sessions wait to be
// judged until the new mark is committed. Nothing on a database file (its writer holds the file).
void holdIndexState(db::Connection& connection);

}  // namespace tavrix::searchindex
