// The server's index tables and the triggers that keep its trust honest.
#include "searchindex/server_index_tables.h"

#include <algorithm>

#include "platform/text.h"
#include "queries/statement_rows.h"

namespace tavrix::searchindex {

namespace {

// It runs as the index's owner, so a program that may write the inventory but not the index still can.
constexpr const char* kUntrustedFunction =
    "CREATE OR REPLACE FUNCTION tavrix_search_untrusted() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER\n"
    "SET search_path FROM CURRENT AS $body$\n"
    "BEGIN\n"
    "  UPDATE \"TavrixSearchState\" SET \"Trusted\" = 0 WHERE \"Trusted\" <> 0;\n"
    "  RETURN NULL;\n"
    "END $body$;\n";

constexpr const char* kTriggerPrefix = "TavrixSearch_";

// Pending trigrams are sorted into the index in parts of this much memory (the server's default
// takes ten times the parts).
constexpr const char* kSortingMemory = "SET LOCAL work_mem = '64MB';";

std::string snapshotColumn(db::Connection& connection, const std::string& table) {
  const auto& columns = connection.tableColumns(table);
  const auto found = std::ranges::find_if(columns, [](const std::string& c) { return text::equalsNoCase(c, "RNO"); });
  return found == columns.end() ? std::string("RNO") : *found;
}

std::string literal(const std::string& text) { return "'" + text::replaceAll(text, "'", "''") + "'"; }

// Each searched table's two triggers for the mark. Rows numbered below 1 are read by every search,
// as rows without a number are: the index holds snapshots from 1 up. Deleted rows need no trigger:
// a search checks every candidate against the rows themselves.
void placeTriggers(db::Connection& connection, const std::vector<SearchedTable>& tables, std::int64_t mark) {
  for (const SearchedTable& table : tables) {
    const std::string name = db::quoteIdentifier(table.name), column = db::quoteIdentifier(snapshotColumn(connection, table.name));
    const auto covered = [&](const char* row) {
      return std::string(row) + "." + column + " BETWEEN 1 AND " + std::to_string(mark);
    };
    connection.executeNative("CREATE OR REPLACE TRIGGER " + db::quoteIdentifier(kTriggerPrefix + table.name + "_Insert") +
                             " AFTER INSERT ON " + name + " FOR EACH ROW WHEN (" + covered("NEW") +
                             ") EXECUTE FUNCTION tavrix_search_untrusted()");
    connection.executeNative("CREATE OR REPLACE TRIGGER " + db::quoteIdentifier(kTriggerPrefix + table.name + "_Update") +
                             " AFTER UPDATE ON " + name + " FOR EACH ROW WHEN (" + covered("OLD") + " OR " + covered("NEW") +
                             ") EXECUTE FUNCTION tavrix_search_untrusted()");
  }
}

}  // namespace

void dropServerIndex(db::Connection& connection) {
  connection.executeNative(
      "DROP TABLE IF EXISTS \"TavrixSearchText\", \"TavrixSearchChunk\", \"TavrixSearchState\";"
      "DROP FUNCTION IF EXISTS tavrix_search_untrusted() CASCADE");
}

void createServerIndex(db::Connection& connection, const std::vector<SearchedTable>& tables) {
  dropServerIndex(connection);
  connection.executeNative(
      "CREATE EXTENSION IF NOT EXISTS pg_trgm;"
      "CREATE TABLE \"TavrixSearchState\" (\"IndexedThrough\" bigint NOT NULL, \"Trusted\" integer NOT NULL, "
      "\"Shape\" text COLLATE \"C\" NOT NULL);"
      "CREATE TABLE \"TavrixSearchChunk\" (\"Chunk\" bigint PRIMARY KEY, \"FirstRno\" bigint NOT NULL, \"LastRno\" bigint NOT NULL, "
      "\"Snapshots\" bigint NOT NULL, \"FirstText\" bigint NOT NULL, \"LastText\" bigint NOT NULL);"
      "CREATE TABLE \"TavrixSearchText\" (\"Id\" bigint PRIMARY KEY, \"Value\" text COLLATE \"C\" NOT NULL, "
      "\"Tables\" bigint NOT NULL, \"Snapshots\" bytea NOT NULL);"
      // The search compares texts with ASCII letters folded: so are the trigrams' texts. A batch's
      // texts wait in the index's pending list and are sorted into it once, at the batch's end.
      "CREATE INDEX \"TavrixSearchTrigrams\" ON \"TavrixSearchText\" USING gin (lower(\"Value\") gin_trgm_ops) "
      "WITH (gin_pending_list_limit = 131072);");
  connection.executeNative("INSERT INTO \"TavrixSearchState\" VALUES (0, 1, " + literal(shapeOf(tables)) + ")");
  connection.executeNative(kUntrustedFunction);
  placeTriggers(connection, tables, 0);
}

bool serverTriggersInPlace(db::Connection& connection, const std::vector<SearchedTable>& tables) {
  const std::int64_t enabled = queries::readNumber(
      connection,
      "SELECT count(*) FROM pg_trigger t JOIN pg_class c ON c.oid = t.tgrelid JOIN pg_proc p ON p.oid = t.tgfoid "
      "WHERE c.relnamespace = current_schema()::regnamespace AND p.proname = 'tavrix_search_untrusted' AND t.tgenabled <> 'D'");
  return enabled == static_cast<std::int64_t>(2 * tables.size());
}

void holdIndexState(db::Connection& connection, const std::vector<SearchedTable>& tables) {
  if (!connection.location().isServer() || tables.empty()) return;
  std::string names;
  for (const SearchedTable& table : tables) names += (names.empty() ? "" : ", ") + db::quoteIdentifier(table.name);
  connection.executeNative("LOCK TABLE " + names + " IN SHARE ROW EXCLUSIVE MODE;" + kSortingMemory);
}

void sortPendingTrigrams(db::Connection& connection) {
  if (!connection.location().isServer()) return;
  connection.begin();
  try {
    connection.executeNative(std::string(kSortingMemory) + "SELECT gin_clean_pending_list('\"TavrixSearchTrigrams\"'::regclass)");
    connection.commit();
  } catch (...) {
    connection.rollback();
    throw;
  }
}

void setIndexMark(db::Connection& connection, const std::vector<SearchedTable>& tables, std::int64_t mark) {
  queries::runStatement(connection, "UPDATE TavrixSearchState SET IndexedThrough = ?1", {db::Value(mark)});
  if (connection.location().isServer()) placeTriggers(connection, tables, mark);
}

}  // namespace tavrix::searchindex
