// The batch's two steps for the search index, each logging its failure and going on.
#include "searchindex/search_index_upkeep.h"

#include <exception>
#include <string>

#include "batch/run_log.h"
#include "queries/statement_rows.h"
#include "searchindex/search_feed.h"
#include "searchindex/search_index_tables.h"
#include "searchindex/search_index_writer.h"
#include "searchindex/server_index_tables.h"

namespace tavrix {

namespace {

bool databaseUsable(const RunState& s) {
  return s.DbOpen && s.DatabaseFailure.empty() && s.DbConnection.isOpen();
}

void logFailure(RunState& s, const std::exception& e) {
  s.DbConnection.rollback();
  F_WRITE_LOG(s, "検索用の索引を更新できませんでした（" + std::string(e.what()) + "）。次に更新できるまで、検索は表を全部読みます。");
}

}  // namespace

void prepareSearchIndex(RunState& s) {
  s.SearchIndexFromScratch = false;
  s.SearchFeed.reset();
  if (!databaseUsable(s)) return;
  try {
    db::Connection& connection = s.DbConnection;
    const auto tables = searchindex::searchedTables(connection);
    std::optional<searchindex::IndexCoverage> coverage = searchindex::usableIndex(connection, tables);
    if (!coverage || searchindex::hasRowsBelowTheMarkUnseen(connection, tables, *coverage)) {
      connection.begin();
      searchindex::createSearchIndex(connection, tables);
      connection.commit();
      coverage = searchindex::IndexCoverage{0, std::vector<std::int64_t>(tables.size(), 0)};
    }
    const std::int64_t newest = queries::readNumber(connection, "SELECT coalesce(max(RNO), 0) FROM T_BasicInf");
    // With nothing left to read back, the import's own texts make the index's new chunks.
    const bool allIndexed = newest <= coverage->mark;
    s.SearchFeed = std::make_unique<searchindex::SearchFeed>(connection, tables, coverage->mark, allIndexed);
    s.SearchIndexFromScratch = !allIndexed && coverage->mark == 0;
  } catch (const std::exception& e) {
    logFailure(s, e);
  }
}

void keepSearchIndex(RunState& s) {
  const std::unique_ptr<ImportTexts> fed = std::move(s.SearchFeed);
  if (!databaseUsable(s)) return;
  try {
    db::Connection& connection = s.DbConnection;
    const auto tables = searchindex::searchedTables(connection);
    if (auto* feed = dynamic_cast<searchindex::SearchFeed*>(fed.get())) feed->finish();
    // Written past from outside during the batch: made anew by the next one.
    if (!searchindex::usableIndex(connection, tables)) return;
    searchindex::dropDeadChunks(connection, tables);
    searchindex::IndexProgress progress;
    if (s.SearchIndexFromScratch)
      progress = [&s](std::int64_t indexed, std::int64_t total) {
        F_WRITE_LOG(s, "検索用の索引を作っています: " + std::to_string(indexed) + " / " + std::to_string(total) + " 台");
      };
    searchindex::indexNewSnapshots(connection, tables, searchindex::kChunkSnapshots, progress);
    searchindex::sortPendingTrigrams(connection);
  } catch (const std::exception& e) {
    logFailure(s, e);
  }
}

}  // namespace tavrix
