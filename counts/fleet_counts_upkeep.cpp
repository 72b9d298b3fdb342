// The fleet counts: started from the kept file before the import, written after it.
#include "counts/fleet_counts_upkeep.h"

#include <exception>
#include <memory>

#include "batch/run_log.h"
#include "counts/fleet_counts.h"
#include "counts/server_summaries.h"
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
    const std::optional<std::string> type = connection.columnType(table, column);
    if (!type || !queries::isTextType(*type)) return false;
  }
  return true;
}

bool noProgramsOrUpdates(db::Connection& connection) {
  return queries::readNumber(connection, "SELECT EXISTS (SELECT 1 FROM T_ApplInst) OR EXISTS (SELECT 1 FROM T_WinUpdate)") == 0;
}

// The tally holds when nothing but the import wrote the counted tables since it started: no update,
// and each table's rows are the rows it had plus those the committed files added less those deleted.
bool onlyTheImportChanged(const FleetTally& tally, const InventoryStamp& now) {
  const InventoryStamp& start = tally.startStamp();
  if (start.databaseId != now.databaseId || start.outsideChanges != now.outsideChanges) return false;
  for (std::size_t k = 0; k < kTallyKinds; ++k)
    if (start.tables[k].rows + tally.rowsAdded(static_cast<TallyKind>(k)) != now.tables[k].rows) return false;
  return true;
}

bool databaseUsable(const RunState& s) {
  return s.KeepFleetCounts && s.DbOpen && s.DatabaseFailure.empty() && s.DbConnection.isOpen();
}

}  // namespace

void startFleetTally(RunState& s) {
  s.Tally.reset();
  if (!databaseUsable(s) || s.DbConnection.location().isServer()) return;  // a server counts its summaries again
  try {
    queries::keepInventoryStamp(s.DbConnection);
    const auto stamp = queries::inventoryStamp(s.DbConnection);
    if (!stamp || !talliedColumnsAreText(s.DbConnection)) return;
    auto tally = std::make_unique<FleetTally>();
    // The snapshot lists stay in the kept file; they are read from it as the new one is written.
    if (auto counts = queries::currentFleetCounts(s.DbConnection)) {
      const std::string path = *queries::fleetCountsPath(s.DbConnection.location());  // kept counts are a file's
      std::array<KeptSnapshotLists, kTallyKinds> kept;
      for (std::size_t k = 0; k < kTallyKinds; ++k)
        kept[k] = [path, kind = static_cast<TallyKind>(k)](std::span<const std::string> keys, const auto& each) {
          queries::forEachKeptSnapshotList(path, kind, keys, each);
        };
      tally->start(*counts, std::move(kept));
    } else if (stamp->empty() && noProgramsOrUpdates(s.DbConnection)) {
      FleetCounts none;
      none.stamp = *stamp;
      tally->start(none);
    }
    if (tally->active()) s.Tally = std::move(tally);
  } catch (const std::exception&) {
    // Nothing tallied: the counts are made again after the import.
  }
}

void keepFleetCounts(RunState& s) {
  if (!databaseUsable(s)) return;
  if (s.DbConnection.location().isServer()) {
    try {
      queries::keepServerSummaries(s.DbConnection);
    } catch (const std::exception& e) {
      F_WRITE_LOG(s, "ソフトウェアと更新プログラムの集計をデータベースに残せませんでした（" + std::string(e.what()) +
                         "）。集計は、次に残せるまで毎回数え直します。");
    }
    return;
  }
  const std::optional<std::string> kept = queries::fleetCountsPath(s.DbConnection.location());
  if (!kept) return;  // no file beside the database to keep them in
  const std::string& path = *kept;
  try {
    queries::keepInventoryStamp(s.DbConnection);
    // The stamp and a recount (its snapshot lists included) are read from one state.
    db::ReadTransaction oneState(s.DbConnection);
    const auto stamp = queries::inventoryStamp(s.DbConnection);
    if (!stamp) return;
    auto* tally = dynamic_cast<FleetTally*>(s.Tally.get());
    const bool tallied = tally && tally->active() && onlyTheImportChanged(*tally, *stamp);
    if (tallied && tally->startStamp() == *stamp && !stamp->empty()) return;  // kept as they are
    FleetCounts counts = tallied ? tally->takeCounts() : queries::countFleet(s.DbConnection);
    counts.stamp = *stamp;
    queries::saveFleetCounts(path, counts);
  } catch (const std::exception& e) {
    F_WRITE_LOG(s, path + " に件数を書けませんでした（" + std::string(e.what()) +
                       "）。ソフトウェアと更新プログラムの集計は、次に書けるまで毎回数え直します。");
  }
}

}  // namespace tavrix
