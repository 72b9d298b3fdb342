// The summaries in two tables of our own: TavrixSummaryState (one row: Kept) and TavrixSummary (a
// row per group: Kind, Name, Version, Computers).
#include "counts/server_summaries.h"

#include <exception>
#include <future>
#include <memory>

#include "queries/statement_rows.h"
#include "queries/text_match.h"

namespace tavrix::queries {

namespace {

struct Summarized {
  const char* table;
  std::vector<std::string> keys;
};

const Summarized& summarized(TallyKind kind) {
  static const Summarized software{"T_ApplInst", {"Appl", "Version"}};
  static const Summarized updates{"T_WinUpdate", {"WinUpdName"}};
  return kind == TallyKind::Software ? software : updates;
}

// It runs as the summaries' owner, so a program that may write the inventory but not them still can.
constexpr const char* kStaleFunction =
    "CREATE OR REPLACE FUNCTION tavrix_summaries_stale() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER\n"
    "SET search_path FROM CURRENT AS $body$\n"
    "BEGIN\n"
    "  UPDATE \"TavrixSummaryState\" SET \"Kept\" = 0 WHERE \"Kept\" <> 0;\n"
    "  RETURN NULL;\n"
    "END $body$;\n";

void placeTriggers(db::Connection& connection) {
  for (const TallyKind kind : {TallyKind::Software, TallyKind::Updates}) {
    const std::string table = summarized(kind).table;
    connection.executeNative("CREATE OR REPLACE TRIGGER " + db::quoteIdentifier("TavrixSummaries_" + table) + " AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON " +
                             db::quoteIdentifier(table) + " FOR EACH STATEMENT EXECUTE FUNCTION tavrix_summaries_stale()");
  }
}

bool triggersInPlace(db::Connection& connection) {
  return readNumber(connection,
                    "SELECT count(*) FROM pg_trigger t JOIN pg_class c ON c.oid = t.tgrelid JOIN pg_proc p ON p.oid = t.tgfoid "
                    "WHERE c.relnamespace = current_schema()::regnamespace AND p.proname = 'tavrix_summaries_stale' "
                    "AND t.tgenabled <> 'D'") == 2;
}

bool keptAndCurrent(db::Connection& connection) {
  return readNumber(connection, "SELECT count(*) FROM TavrixSummaryState WHERE Kept <> 0") == 1 && triggersInPlace(connection);
}

constexpr const char* kHoldWriters = "LOCK TABLE \"T_ApplInst\", \"T_WinUpdate\" IN SHARE MODE";

void countAgain(db::Connection& connection, TallyKind kind) {
  const Summarized& s = summarized(kind);
  const std::string version = s.keys.size() > 1 ? "g1" : "NULL";
  const std::vector<db::Value> kindValue = {db::Value(static_cast<std::int64_t>(kind))};
  runStatement(connection, "DELETE FROM TavrixSummary WHERE Kind = ?1", kindValue);
  runStatement(connection,
               "INSERT INTO TavrixSummary (Kind, Name, Version, Computers) SELECT " + std::to_string(static_cast<int>(kind)) +
                   ", g0, " + version + ", computers FROM (" + serverGroupsSql(s.table, s.keys, s.keys[0]) + ") AS grouped",
               {db::Value()});
}

// The updates are counted on a connection of their own while this one counts the programs: each is
// one aggregation over millions of rows, and the server has a core for each. It holds the tables
// as this one does (the two SHARE locks let each other be), so both count the same rows.
void countUpdatesOn(db::Connection& other) {
  other.begin();
  try {
    other.executeNative(std::string("SET LOCAL lock_timeout = '60s';") + kHoldWriters);
    countAgain(other, TallyKind::Updates);
    other.commit();
  } catch (...) {
    other.rollback();
    throw;
  }
}

// Both kinds, the updates beside when a second connection opens (a role may be allowed one only).
void countBoth(db::Connection& connection) {
  auto other = std::make_unique<db::Connection>();
  try {
    other->open(connection.location());
  } catch (const std::exception&) {
    countAgain(connection, TallyKind::Software);
    countAgain(connection, TallyKind::Updates);
    return;
  }
  std::future<void> updates = std::async(std::launch::async, [&] { countUpdatesOn(*other); });
  std::exception_ptr failed;
  try {
    countAgain(connection, TallyKind::Software);
  } catch (...) {
    failed = std::current_exception();
  }
  updates.get();  // its failure first: the programs' rows then go with this transaction
  if (failed) std::rethrow_exception(failed);
}

}  // namespace

std::string serverGroupsSql(const std::string& table, const std::vector<std::string>& keys, const std::string& nameColumn) {
  std::string shown, grouped;
  for (std::size_t k = 0; k < keys.size(); ++k) {
    shown += "min(" + keys[k] + ") AS g" + std::to_string(k) + ", ";
    grouped += std::string(k == 0 ? "" : ", ") + "lower(" + keys[k] + ")";
  }
  return "SELECT " + shown + "count(DISTINCT lower(PCid)) AS computers FROM " + table + " WHERE PCid IS NOT NULL AND (" +
         containsSql(nameColumn, 1) + " OR ?1 IS NULL) GROUP BY " + grouped;
}

void keepServerSummaries(db::Connection& connection) {
  if (!connection.location().isServer()) return;
  connection.begin();
  try {
    if (!connection.hasTable("TavrixSummaryState")) {
      connection.executeNative(
          "CREATE TABLE \"TavrixSummaryState\" (\"Kept\" integer NOT NULL);"
          "INSERT INTO \"TavrixSummaryState\" VALUES (0);"
          "CREATE TABLE \"TavrixSummary\" (\"Kind\" integer NOT NULL, \"Name\" text COLLATE \"C\", \"Version\" text COLLATE \"C\", "
          "\"Computers\" bigint NOT NULL);");
      connection.executeNative(kStaleFunction);
    }
    // Placed in a transaction of their own: a trigger's replacement locks its table against the
    // other connection's count.
    if (!triggersInPlace(connection)) placeTriggers(connection);
    connection.commit();
    connection.begin();
    // Writers wait while the summaries are counted, so none is missed between the count and Kept.
    connection.executeNative(kHoldWriters);
    if (!keptAndCurrent(connection)) {
      countBoth(connection);
      runStatement(connection, "UPDATE TavrixSummaryState SET Kept = 1", {});
    }
    connection.commit();
  } catch (...) {
    connection.rollback();
    throw;
  }
}

std::optional<std::vector<ResultRow>> keptServerGroups(db::Connection& connection, TallyKind kind,
                                                       const std::optional<std::string>& nameContains) {
  if (!connection.location().isServer() || !connection.hasTable("TavrixSummaryState") || !keptAndCurrent(connection))
    return std::nullopt;
  std::vector<ResultRow> rows =
      readRows(connection, "SELECT Name, Version, Computers FROM TavrixSummary WHERE Kind = ?1 AND (" + containsSql("Name", 2) + " OR ?2 IS NULL)",
               {db::Value(static_cast<std::int64_t>(kind)), nameContains ? db::Value(containsPattern(*nameContains)) : db::Value()});
  if (summarized(kind).keys.size() == 1)
    for (ResultRow& row : rows) row.erase(row.begin() + 1);
  return rows;
}

}  // namespace tavrix::queries
