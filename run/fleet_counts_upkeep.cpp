// The fleet counts: started from the kept file before the import, written after it.
#include "run/fleet_counts_upkeep.h"

#include <exception>

#include "batch/run_log.h"
#include "queries/fleet_counts.h"
#include "queries/statement_rows.h"
#include "queries/text_match.h"

namespace tavrix {

namespace {

// The tally repeats the rows' values as the import binds them; a column that converts text to
// numbers would store something else, so only text columns are tallied (others are counted again).
bool talliedColumnsAreText(db::Connection& connection) {
  const std::vector<std::pair<std::string, std::string>> columns = {
      {"T_ApplInst", "Appl"}, {"T_ApplInst", "Version"}, {"T_WinUpdate", "WinUpdName"}};
  for (const auto& [table, column] : columns) {
    const auto rows = queries::readRows(connection, "SELECT type FROM pragma_table_info(?1) WHERE name = ?2 COLLATE NOCASE",
                                        {table, column});
    if (rows.size() != 1 || !queries::isTextType(rows[0][0].text())) return false;
  }
  return true;
}

bool noProgramsOrUpdates(db::Connection& connection) {
  return queries::readRows(connection, "SELECT EXISTS (SELECT 1 FROM T_ApplInst) OR EXISTS (SELECT 1 FROM T_WinUpdate)", {})[0][0]
             .toInt() == 0;
}

bool databaseUsable(const RunState& s) {
  return s.KeepFleetCounts && s.DbOpen && s.DatabaseFailure.empty() && s.DbConnection.isOpen();
}

}  // namespace

void startFleetTally(RunState& s) {
  s.Tally = FleetTally();
  if (!databaseUsable(s)) return;
  try {
    const auto stamp = queries::inventoryStamp(s.DbConnection);
    if (!stamp || !talliedColumnsAreText(s.DbConnection)) return;
    // The programs' snapshot lists stay in the kept file; they are read from it as the new one is written.
    if (auto counts = queries::currentFleetCounts(s.DbConnection, false)) {
      const std::string path = queries::fleetCountsPath(s.DbConnection.path());
      return s.Tally.start(*counts, [path](const auto& each) { queries::forEachKeptSnapshotList(path, each); });
    }
    if (*stamp == InventoryStamp{} && noProgramsOrUpdates(s.DbConnection)) s.Tally.start(FleetCounts{});
  } catch (const std::exception&) {
    // Nothing tallied: the counts are made again after the import.
  }
}

void keepFleetCounts(RunState& s) {
  if (!databaseUsable(s)) return;
  const std::string path = queries::fleetCountsPath(s.DbConnection.path());
  try {
    const auto stamp = queries::inventoryStamp(s.DbConnection);
    if (!stamp) return;
    if (s.Tally.active() && s.Tally.startStamp() == *stamp && !(*stamp == InventoryStamp{})) return;  // kept as they are
    FleetCounts counts = s.Tally.active() ? s.Tally.takeCounts() : queries::countFleet(s.DbConnection);
    counts.stamp = *stamp;
    queries::saveFleetCounts(s.DbConnection.path(), counts);
  } catch (const std::exception& e) {
    F_WRITE_LOG(s, path + " に件数を書けませんでした（" + std::string(e.what()) +
                       "）。ソフトウェアと更新プログラムの集計は、次に書けるまで毎回数え直します。");
  }
}

}  // namespace tavrix
