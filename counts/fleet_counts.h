// The fleet counts kept beside the database (a small SQLite file, "<database>.counts"): written by
// the batch after its import, read by the software and update summaries instead of scanning
// millions of rows. They hold only while the inventory's stamp is the one they were counted at.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "counts/fleet_tally.h"
#include "platform/db.h"
#include "queries/result_table.h"

namespace tavrix::queries {

// The counts file kept beside a database file; none for a database that is no file.
std::optional<std::string> fleetCountsPath(const db::Location& database);

// Gives the database what its stamp needs, once: a table of our own holding a random id and the
// count of programs and updates changed or deleted from outside the import, and the triggers that
// count them (the import never updates those rows, and marks its own deletions). Only the batch
// writes; throws db::DbError.
void keepInventoryStamp(db::Connection& connection);

// Within the connection's transaction, rows deleted while on is true are the import's own and not
// counted as outside changes; the mark is taken down before the transaction ends. Throws db::DbError.
void markOwnDeletions(db::Connection& connection, bool on);

// The stamp of the inventory as the connection sees it; none when the database keeps no stamp, or
// does not number its snapshots with a never-reused RNO (then no counts can be trusted). The rows of
// the counted tables are counted only when asked: that reads every row's index entry, and outside
// deletions are counted by the triggers anyway (the batch counts them to check its own tally).
enum class RowCounts { Read, Skip };
std::optional<InventoryStamp> inventoryStamp(db::Connection& connection, RowCounts rows = RowCounts::Read);

// The counts of the inventory as it is, by scanning both tables. The snapshot lists are scanned for
// when the counts are written, through connection, which must stay open until then.
FleetCounts countFleet(db::Connection& connection);

// The counts kept for the database of connection, if they belong to its inventory as it is now;
// with the snapshot lists of the groups of listsOf that wanted passes (all of them without it) only:
// a fleet's update lists are hundreds of megabytes.
std::optional<FleetCounts> currentFleetCounts(db::Connection& connection, std::optional<TallyKind> listsOf = std::nullopt,
                                              const std::function<bool(const std::vector<db::Value>&)>& wanted = {});

// Calls back with the key and snapshots of each of keys (groups of kind) kept in the counts file at
// countsPath.
void forEachKeptSnapshotList(const std::string& countsPath, TallyKind kind, std::span<const std::string> keys,
                             const std::function<void(std::string_view key, std::span<const std::int64_t> rnos)>& each);

// Writes the counts file: a new file renamed over the old, so a reader sees the old or
// the new counts whole. Throws db::DbError (or std::runtime_error when the rename fails).
void saveFleetCounts(const std::string& countsPath, const FleetCounts& counts);

// The summary rows of one kind (group columns, then Computers), groups whose first column contains
// nameContains, in the summaries' order.
std::vector<ResultRow> summaryRows(const FleetCounts& counts, TallyKind kind, const std::optional<std::string>& nameContains);

}  // namespace tavrix::queries
