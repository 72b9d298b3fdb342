// The server's index tables and the triggers that keep its trust honest.
#include "searchindex/server_index_tables.h"

#include <algorithm>

#include "platform/text.h"
#include "queries/statement_rows.h"

namespace tavrix::searchindex {

namespace {

// One function for every searched table: the snapshot number's column comes as its argument. It
// runs as the index's owner, so a program that may write the inventory but not the index still can.
constexpr const char* kWrittenFunction =
    "CREATE OR REPLACE FUNCTION tavrix_search_written() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER\n"
    "SET search_path FROM CURRENT AS $body$\n"
    "DECLARE\n"
    "  mark bigint;\n"
    "  below boolean;\n"
    "BEGIN\n"
    "  SELECT \"IndexedThrough\" INTO mark FROM \"TavrixSearchState\" FOR SHARE;\n"
    "  IF NOT FOUND THEN RETURN NULL; END IF;\n"
    "  EXECUTE format('SELECT EXISTS (SELECT 1 FROM written WHERE %I <= $1)', TG_ARGV[0]) INTO below USING mark;\n"
    "  IF NOT below AND TG_OP = 'UPDATE' THEN\n"
    "    EXECUTE format('SELECT EXISTS (SELECT 1 FROM replaced WHERE %I <= $1)', TG_ARGV[0]) INTO below USING mark;\n"
    "  END IF;\n"
    "  IF below THEN UPDATE \"TavrixSearchState\" SET \"Trusted\" = 0; END IF;\n"
    "  RETURN NULL;\n"
    "END $body$;\n";

constexpr const char* kTriggerPrefix = "TavrixSearch_";

std::string snapshotColumn(db::Connection& connection, const std::string& table) {
  const auto& columns = connection.tableColumns(table);
  const auto found = std::ranges::find_if(columns, [](const std::string& c) { return text::equalsNoCase(c, "RNO"); });
  return found == columns.end() ? std::string("RNO") : *found;
}

std::string literal(const std::string& text) { return "'" + text::replaceAll(text, "'", "''") + "'"; }

}  // namespace

void dropServerIndex(db::Connection& connection) {
  connection.executeNative(
      "DROP TABLE IF EXISTS \"TavrixSearchText\", \"TavrixSearchChunk\", \"TavrixSearchState\";"
      "DROP FUNCTION IF EXISTS tavrix_search_written() CASCADE");
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
      // The search compares texts with ASCII letters folded: so are the trigrams' texts.
      "CREATE INDEX \"TavrixSearchTrigrams\" ON \"TavrixSearchText\" USING gin (lower(\"Value\") gin_trgm_ops);");
  connection.executeNative("INSERT INTO \"TavrixSearchState\" VALUES (0, 1, " + literal(shapeOf(tables)) + ")");
  connection.executeNative(kWrittenFunction);
  // Deleted rows need no trigger: a search checks every candidate against the rows themselves.
  for (const SearchedTable& table : tables) {
    const std::string name = db::quoteIdentifier(table.name), column = literal(snapshotColumn(connection, table.name));
    connection.executeNative("CREATE TRIGGER " + db::quoteIdentifier(kTriggerPrefix + table.name + "_Insert") +
                             " AFTER INSERT ON " + name +
                             " REFERENCING NEW TABLE AS written FOR EACH STATEMENT EXECUTE FUNCTION tavrix_search_written(" +
                             column + ")");
    connection.executeNative("CREATE TRIGGER " + db::quoteIdentifier(kTriggerPrefix + table.name + "_Update") +
                             " AFTER UPDATE ON " + name +
                             " REFERENCING OLD TABLE AS replaced NEW TABLE AS written FOR EACH STATEMENT "
                             "EXECUTE FUNCTION tavrix_search_written(" + column + ")");
  }
}

bool serverTriggersInPlace(db::Connection& connection, const std::vector<SearchedTable>& tables) {
  const std::int64_t enabled = queries::readNumber(
      connection,
      "SELECT count(*) FROM pg_trigger t JOIN pg_class c ON c.oid = t.tgrelid JOIN pg_proc p ON p.oid = t.tgfoid "
      "WHERE c.relnamespace = current_schema()::regnamespace AND p.proname = 'tavrix_search_written' AND t.tgenabled <> 'D'");
  return enabled == static_cast<std::int64_t>(2 * tables.size());
}

void holdIndexState(db::Connection& connection) {
  if (!connection.location().isServer()) return;
  connection.executeNative("SELECT 1 FROM \"TavrixSearchState\" FOR UPDATE");
}

}  // namespace tavrix::searchindex
