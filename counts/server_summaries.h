// The software and update summaries kept in a server database by the batch (FLEET_COUNTS=ON), so
// that they and the overview answer without the server aggregating every row. A statement trigger
// on each of the two tables marks them stale at any change, the batch's own included; the batch
// counts them again at its end with the tables locked against writers, and a reader takes them only
// while they are unchanged and the triggers in place.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "batch/import_tally.h"
#include "platform/db.h"
#include "queries/result_table.h"

namespace tavrix::queries {

// A server's count of distinct computers per group of keys, ASCII case folded (lower() of a "C"
// text), each group shown by its smallest spelling in byte order; rows of no computer count for
// none. Only groups whose nameColumn contains the pattern ?1, unless it is NULL. Columns: g0, g1…
// (the keys), computers.
std::string serverGroupsSql(const std::string& table, const std::vector<std::string>& keys, const std::string& nameColumn);

// Counts the summaries again unless they are kept and current, making their tables and triggers
// first. Throws db::DbError.
void keepServerSummaries(db::Connection& connection);

// The kept groups of kind (keys, then computers; unsorted) whose name contains nameContains, read in
// the connection's transaction; none when the database keeps none or they are stale.
std::optional<std::vector<ResultRow>> keptServerGroups(db::Connection& connection, TallyKind kind,
                                                       const std::optional<std::string>& nameContains);

}  // namespace tavrix::queries
