// The search index's tables on a server. The texts carry a trigram index (pg_trgm) over their
// ASCII-folded form. A server numbers no rows the way a file does, so there is no seen row: rows
// above the mark (and rows without a snapshot number) are read by every search, and a row trigger
// on each searched table, holding the mark as a constant, takes the index's trust away when anyone
// adds or changes a row at or below it; the import's rows, above it, cost it one comparison. A
// transaction that moves the mark locks the searched tables against writers first, so every write
// is either read by it or judged by the new mark.
#pragma once

#include <cstdint>
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

// Keeps writers of the searched tables out until the open transaction ends, once those already
// writing have ended; the trigram index may sort its pending texts in more memory meanwhile.
// Nothing on a database file (its writer holds the whole file).
void holdIndexState(db::Connection& connection, const std::vector<SearchedTable>& tables);

// Sorts the texts added since into the trigram index, in a transaction of its own; until then a
// search reads them one by one. Nothing on a database file.
void sortPendingTrigrams(db::Connection& connection);

// The new mark, in the state and (on a server) in the triggers, in the open transaction.
void setIndexMark(db::Connection& connection, const std::vector<SearchedTable>& tables, std::int64_t mark);

}  // namespace tavrix::searchindex
