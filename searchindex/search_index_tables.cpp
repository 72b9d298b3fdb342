// Tables: the state (one row), the chunks of snapshots read together, each chunk's distinct texts
// with the snapshots and tables holding them, and the trigram index over those texts.
#include "searchindex/search_index_tables.h"

#include "queries/statement_rows.h"

namespace tavrix::searchindex {

namespace {

constexpr const char* kTriggerPrefix = "TavrixSearch_";

std::string triggerName(const std::string& table, const char* event) {
  return db::quoteIdentifier(kTriggerPrefix + table + "_" + event);
}

std::int64_t ourTriggerCount(db::Connection& connection) {
  return queries::readRows(connection,
                           "SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND name LIKE 'TavrixSearch\\_%' ESCAPE '\\'",
                           {})[0][0]
      .toInt();
}

}  // namespace

std::optional<SearchIndexState> readSearchIndexState(db::Connection& connection) {
  if (connection.location().isServer() || !connection.hasTable("TavrixSearchState")) return std::nullopt;
  const auto rows = queries::readRows(connection, "SELECT IndexedThrough, Trusted, Shape FROM TavrixSearchState", {});
  if (rows.size() != 1) return std::nullopt;
  return SearchIndexState{rows[0][0].toInt(), rows[0][1].toInt() == 1, rows[0][2].text()};
}

std::optional<std::int64_t> usableIndexThrough(db::Connection& connection, const std::vector<SearchedTable>& tables) {
  const std::optional<SearchIndexState> state = readSearchIndexState(connection);
  if (!state || !state->trusted || state->shape != shapeOf(tables)) return std::nullopt;
  // A trigger dropped from outside would let writes pass unseen.
  if (ourTriggerCount(connection) != static_cast<std::int64_t>(2 * tables.size())) return std::nullopt;
  return state->indexedThrough;
}

void dropSearchIndex(db::Connection& connection) {
  std::vector<std::string> triggers;
  for (const auto& row : queries::readRows(
           connection, "SELECT name FROM sqlite_master WHERE type = 'trigger' AND name LIKE 'TavrixSearch\\_%' ESCAPE '\\'", {}))
    triggers.push_back(row[0].text());
  for (const std::string& trigger : triggers) connection.executeNative("DROP TRIGGER " + db::quoteIdentifier(trigger));
  connection.executeNative(
      "DROP TABLE IF EXISTS TavrixSearchTrigrams;"
      "DROP TABLE IF EXISTS TavrixSearchText;"
      "DROP TABLE IF EXISTS TavrixSearchChunk;"
      "DROP TABLE IF EXISTS TavrixSearchState;");
}

void createSearchIndex(db::Connection& connection, const std::vector<SearchedTable>& tables) {
  dropSearchIndex(connection);
  // Each chunk keeps its own distinct texts, added at the end of the table: writing a chunk never
  // reaches into what earlier chunks wrote, however large the index grows.
  connection.executeNative(
      "CREATE TABLE TavrixSearchState (IndexedThrough INTEGER NOT NULL, Trusted INTEGER NOT NULL, Shape TEXT NOT NULL);"
      "CREATE TABLE TavrixSearchChunk (Chunk INTEGER PRIMARY KEY, FirstRno INTEGER NOT NULL, LastRno INTEGER NOT NULL, "
      "Snapshots INTEGER NOT NULL, FirstText INTEGER NOT NULL, LastText INTEGER NOT NULL);"
      "CREATE TABLE TavrixSearchText (Id INTEGER PRIMARY KEY, Value TEXT NOT NULL, Tables INTEGER NOT NULL, "
      "Snapshots BLOB NOT NULL);"
      "CREATE VIRTUAL TABLE TavrixSearchTrigrams USING fts5(Value, content='TavrixSearchText', content_rowid='Id', "
      "tokenize='trigram');");
  db::Statement state(connection, "INSERT INTO TavrixSearchState VALUES (0, 1, ?1)");
  state.bind(1, db::Value(shapeOf(tables)));
  state.run();
  // The import writes only rows of snapshots numbered above the index's mark, which a search reads
  // directly; a row written at or below it (or without a number) is a write the index did not see,
  // and it no longer answers until the next batch makes it again.
  const std::string unseen = "NOT coalesce(%.RNO > (SELECT IndexedThrough FROM TavrixSearchState), 0)";
  const auto unseenBy = [&](const char* row) { return std::string(unseen).replace(unseen.find('%'), 1, row); };
  for (const SearchedTable& table : tables) {
    const std::string name = db::quoteIdentifier(table.name);
    connection.executeNative("CREATE TRIGGER " + triggerName(table.name, "Update") + " AFTER UPDATE ON " + name + " WHEN " +
                             unseenBy("OLD") + " OR " + unseenBy("NEW") + " BEGIN UPDATE TavrixSearchState SET Trusted = 0; END");
    connection.executeNative("CREATE TRIGGER " + triggerName(table.name, "Insert") + " AFTER INSERT ON " + name + " WHEN " +
                             unseenBy("NEW") + " BEGIN UPDATE TavrixSearchState SET Trusted = 0; END");
  }
}

}  // namespace tavrix::searchindex
