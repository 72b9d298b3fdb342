// Tables: the state (one row), each searched table's seen row, the chunks of snapshots read
// together, each chunk's distinct texts with the snapshots and tables holding them, and the
// trigram index over those texts.
#include "searchindex/search_index_tables.h"

#include <functional>

#include "queries/statement_rows.h"
#include "searchindex/server_index_tables.h"

namespace tavrix::searchindex {

namespace {

std::string triggerName(const std::string& table) { return db::quoteIdentifier("TavrixSearch_" + table + "_Update"); }

std::vector<std::string> ourTriggers(db::Connection& connection) {
  std::vector<std::string> names;
  for (const auto& row : queries::readRows(
           connection, "SELECT name FROM sqlite_master WHERE type = 'trigger' AND name LIKE 'TavrixSearch\\_%' ESCAPE '\\'", {}))
    names.push_back(row[0].text());
  return names;
}

// Every field of the row, quoted as SQL writes it; none when there is no such row.
std::optional<std::string> rowText(db::Connection& connection, const std::string& table, std::int64_t rowid) {
  std::string fields;
  for (const std::string& column : connection.tableColumns(table))
    fields += (fields.empty() ? "" : " || ',' || ") + std::string("quote(") + db::quoteIdentifier(column) + ")";
  const auto rows =
      queries::readRows(connection, "SELECT " + fields + " FROM " + db::quoteIdentifier(table) + " WHERE rowid = ?1", {db::Value(rowid)});
  if (rows.empty()) return std::nullopt;
  return rows[0][0].text();
}

}  // namespace

std::optional<IndexCoverage> usableIndex(db::Connection& connection, const std::vector<SearchedTable>& tables) {
  const bool server = connection.location().isServer();
  if (!connection.hasTable("TavrixSearchState") || !connection.hasTable(server ? "TavrixSearchText" : "TavrixSearchSeen"))
    return std::nullopt;
  const auto state = queries::readRows(connection, "SELECT IndexedThrough, Trusted, Shape FROM TavrixSearchState", {});
  if (state.size() != 1 || state[0][1].toInt() != 1 || state[0][2].text() != shapeOf(tables)) return std::nullopt;
  // The server's triggers vouch for every row at or below the mark: no seen rows to compare.
  if (server) {
    if (!serverTriggersInPlace(connection, tables)) return std::nullopt;
    return IndexCoverage{state[0][0].toInt(), {}};
  }
  // A trigger dropped from outside would let changes pass unseen.
  if (ourTriggers(connection).size() != tables.size()) return std::nullopt;
  IndexCoverage coverage{state[0][0].toInt(), {}};
  for (const SearchedTable& table : tables) {
    const auto seen = queries::readRows(connection, "SELECT Seen, TopRow FROM TavrixSearchSeen WHERE TableName = ?1",
                                        {db::Value(table.name)});
    if (seen.size() != 1) return std::nullopt;
    const std::int64_t rowid = seen[0][0].toInt();
    const std::optional<std::string> now = rowText(connection, table.name, rowid);
    if (seen[0][1].isNull() ? now.has_value() : now != seen[0][1].text()) return std::nullopt;
    coverage.seen.push_back(rowid);
  }
  return coverage;
}

bool hasRowsBelowTheMarkUnseen(db::Connection& connection, const std::vector<SearchedTable>& tables,
                               const IndexCoverage& coverage) {
  if (connection.location().isServer()) return false;
  for (std::size_t t = 0; t < tables.size(); ++t) {
    const std::string sql = "SELECT EXISTS (SELECT 1 FROM " + db::quoteIdentifier(tables[t].name) +
                            " WHERE rowid > ?1 AND coalesce(RNO > ?2, 0) = 0)";
    if (queries::readNumber(connection, sql, {db::Value(coverage.seen[t]), db::Value(coverage.mark)}) == 1) return true;
  }
  return false;
}

namespace {

// Asks where each table's seen row goes (place gets the quoted table name and its seen row; none
// leaves it) and moves it there, with that row's text.
void placeSeenRows(db::Connection& connection, const std::vector<SearchedTable>& tables,
                   const std::function<std::optional<std::int64_t>(const std::string& name, std::int64_t seen)>& place) {
  if (connection.location().isServer()) return;
  db::Statement seenRow(connection, "SELECT Seen FROM TavrixSearchSeen WHERE TableName = ?1");
  db::Statement moved(connection, "UPDATE TavrixSearchSeen SET Seen = ?2, TopRow = ?3 WHERE TableName = ?1");
  for (const SearchedTable& table : tables) {
    seenRow.bind(1, db::Value(table.name));
    if (!seenRow.next()) continue;
    const std::int64_t seen = seenRow.row().integer(0);
    while (seenRow.next()) {}
    const std::optional<std::int64_t> to = place(db::quoteIdentifier(table.name), seen);
    if (!to) continue;
    const std::optional<std::string> top = rowText(connection, table.name, *to);
    moved.bind(1, db::Value(table.name)).bind(2, db::Value(*to)).bind(3, top ? db::Value(*top) : db::Value());
    moved.run();
  }
}

}  // namespace

void moveSeenRows(db::Connection& connection, const std::vector<SearchedTable>& tables, std::int64_t oldMark) {
  placeSeenRows(connection, tables, [&](const std::string& name, std::int64_t seen) -> std::optional<std::int64_t> {
    const std::string unread = "SELECT EXISTS (SELECT 1 FROM " + name + " WHERE rowid > ?1 AND coalesce(RNO > ?2, 0) = 0)";
    if (queries::readNumber(connection, unread, {db::Value(seen), db::Value(oldMark)}) == 1) return std::nullopt;
    return queries::readNumber(connection, "SELECT coalesce(max(rowid), 0) FROM " + name);
  });
}

void keepSeenRows(db::Connection& connection, const std::vector<SearchedTable>& tables) {
  placeSeenRows(connection, tables, [&](const std::string& name, std::int64_t seen) -> std::optional<std::int64_t> {
    const std::string there = "SELECT EXISTS (SELECT 1 FROM " + name + " WHERE rowid = ?1)";
    if (seen == 0 || queries::readNumber(connection, there, {db::Value(seen)}) == 1) return std::nullopt;
    return queries::readNumber(connection, "SELECT coalesce(max(rowid), 0) FROM " + name + " WHERE rowid < ?1", {db::Value(seen)});
  });
}

void dropSearchIndex(db::Connection& connection) {
  if (connection.location().isServer()) return dropServerIndex(connection);
  for (const std::string& trigger : ourTriggers(connection))
    connection.executeNative("DROP TRIGGER " + db::quoteIdentifier(trigger));
  connection.executeNative(
      "DROP TABLE IF EXISTS TavrixSearchTrigrams;"
      "DROP TABLE IF EXISTS TavrixSearchText;"
      "DROP TABLE IF EXISTS TavrixSearchChunk;"
      "DROP TABLE IF EXISTS TavrixSearchSeen;"
      "DROP TABLE IF EXISTS TavrixSearchState;");
}

void createSearchIndex(db::Connection& connection, const std::vector<SearchedTable>& tables) {
  if (connection.location().isServer()) return createServerIndex(connection, tables);
  dropSearchIndex(connection);
  // Each chunk keeps its own distinct texts, added at the end of the table: writing a chunk never
  // reaches into what earlier chunks wrote, however large the index grows.
  connection.executeNative(
      "CREATE TABLE TavrixSearchState (IndexedThrough INTEGER NOT NULL, Trusted INTEGER NOT NULL, Shape TEXT NOT NULL);"
      "CREATE TABLE TavrixSearchSeen (TableName TEXT PRIMARY KEY, Seen INTEGER NOT NULL, TopRow TEXT);"
      "CREATE TABLE TavrixSearchChunk (Chunk INTEGER PRIMARY KEY, FirstRno INTEGER NOT NULL, LastRno INTEGER NOT NULL, "
      "Snapshots INTEGER NOT NULL, FirstText INTEGER NOT NULL, LastText INTEGER NOT NULL);"
      "CREATE TABLE TavrixSearchText (Id INTEGER PRIMARY KEY, Value TEXT NOT NULL, Tables INTEGER NOT NULL, "
      "Snapshots BLOB NOT NULL);"
      "CREATE VIRTUAL TABLE TavrixSearchTrigrams USING fts5(Value, content='TavrixSearchText', content_rowid='Id', "
      "tokenize='trigram');");
  db::Statement state(connection, "INSERT INTO TavrixSearchState VALUES (0, 1, ?1)");
  state.bind(1, db::Value(shapeOf(tables)));
  state.run();
  db::Statement seen(connection, "INSERT INTO TavrixSearchSeen VALUES (?1, 0, NULL)");
  // A changed row the index covers is a write it did not see: it no longer answers until the next
  // batch makes it again. The import changes only the basic row of its own new snapshot. (Triggers
  // on adding or deleting rows would cost the import a copy of every page it writes.)
  const std::string covered = "NOT coalesce(%.RNO > (SELECT IndexedThrough FROM TavrixSearchState), 0)";
  const auto coveredBy = [&](const char* row) { return std::string(covered).replace(covered.find('%'), 1, row); };
  for (const SearchedTable& table : tables) {
    seen.bind(1, db::Value(table.name));
    seen.run();
    connection.executeNative("CREATE TRIGGER " + triggerName(table.name) + " AFTER UPDATE ON " + db::quoteIdentifier(table.name) +
                             " WHEN " + coveredBy("OLD") + " OR " + coveredBy("NEW") +
                             " BEGIN UPDATE TavrixSearchState SET Trusted = 0; END");
  }
}

}  // namespace tavrix::searchindex
