// tavrix --copy-to: the inventory database file copied whole into an empty server database.
#include "run/copy_to_server.h"

#include <charconv>

#include "batch/database.h"
#include "batch/messages.h"
#include "batch/settings.h"
#include "import/record_identity.h"
#include "run/server_tables.h"

namespace tavrix {

namespace {

std::string realText(double d) {
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
  return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

// The tables of the file that go to the server: every one but the engine's own, the counts' stamp
// and the search index, which belong to the file.
bool copied(const std::string& table) {
  return !table.starts_with("sqlite_") && table != "TavrixStamp" && !table.starts_with("TavrixSearch");
}

// The rows of one table, in the order they were added, through the server's bulk path.
long long copyRows(db::Connection& file, db::Connection& server, const std::string& table) {
  std::vector<std::string> names;
  for (const auto& column : file.columnsWithTypes(table)) names.push_back(column.first);
  db::UpdatableRecordSet target(server, "SELECT * FROM " + db::quoteIdentifier(table));
  db::Statement rows(file, "SELECT * FROM " + db::quoteIdentifier(table) + " ORDER BY rowid");
  std::vector<std::string> texts(names.size());
  std::vector<db::FieldRef> values(names.size());
  long long count = 0;
  rows.forEach([&](const db::RowView& row) {
    for (std::size_t c = 0; c < names.size(); ++c) {
      const db::Value value = row.value(static_cast<int>(c));
      const auto& raw = value.raw();
      if (value.isNull()) values[c] = std::monostate();
      else if (auto* i = std::get_if<std::int64_t>(&raw)) values[c] = *i;
      else if (auto* d = std::get_if<double>(&raw)) values[c] = std::string_view(texts[c] = realText(*d));
      else values[c] = std::string_view(texts[c] = value.text());
    }
    target.addNew(names, values);
    ++count;
  });
  return count;
}

long long rowCount(db::Connection& c, const std::string& table) {
  db::Statement count(c, "SELECT count(*) FROM " + db::quoteIdentifier(table));
  return count.next() ? count.row().integer(0) : -1;
}

}  // namespace

ExitStatus copyToServer(RunState& s, const std::string& connection, std::FILE* progress) {
  const auto fail = [&](const std::string& problem) {
    reportMessage(s, problem, MessageStyle::Plain, problem);
    return ExitStatus::ConfigurationError;
  };
  s.IniPath = s.ProgramFolder + "/Tavrix.ini";
  if (F_READ_INI(s) || s.MDB_NAME.empty()) return fail("Tavrix.ini names no database file to copy: " + s.IniPath);
  db::ServerStringProblem problem;
  const std::optional<db::Location> target = db::serverLocation(connection, problem);
  if (!target)
    return fail(problem == db::ServerStringProblem::Password
                    ? "the connection string carries a password: put it in libpq's password file (~/.pgpass or PGPASSFILE)"
                    : "the connection string cannot be read");
  const db::Location source(s.MDB_DIR + s.MDB_NAME);
  if (!s.BatchLock.acquire(s.CSV_DIR)) return fail("a batch is running on " + s.CSV_DIR + ": nothing is copied");
  db::Connection file, server;
  try {
    file.openReadOnly(source);
  } catch (const db::DbError& e) {
    return fail("cannot read database " + source.shown() + ": " + e.what());
  }
  try {
    server.open(*target);
  } catch (const db::DbError& e) {
    return fail("cannot open the server database " + target->shown() + ": " + e.what());
  }
  db::ImportLock importing;
  if (!importing.acquire(*target)) return fail("a batch is importing into " + target->shown() + ": nothing is copied");
  try {
    std::string held;
    for (std::string_view table : kInventoryTables)
      if (server.hasTable(table)) held += (held.empty() ? "" : ", ") + std::string(table);
    if (server.hasTable("T_Version")) held += (held.empty() ? "" : ", ") + std::string("T_Version");
    if (!held.empty())
      return fail("the server database " + target->shown() + " holds inventory tables already (" + held + "): nothing is copied");

    db::ReadTransaction oneState(file);
    server.begin();
    const std::vector<std::string> tables = file.tableNames();
    for (const std::string& table : tables) {
      if (!copied(table)) continue;
      db::appendTable(server, file.tableDefinition(table));
      const long long rows = copyRows(file, server, table);
      std::fprintf(progress, "%s: %lld rows\n", table.c_str(), rows);
    }
    // Each counter where the file's stood: numbers given to rows since deleted are not given again.
    for (const std::string& table : tables) {
      const std::optional<std::int64_t> last = copied(table) ? file.lastNumberGiven(table) : std::nullopt;
      if (!last) continue;
      db::Statement counter(server, "UPDATE tavrix_counters SET last_number = ?1 WHERE table_name = ?2");
      counter.bind(1, db::Value(*last)).bind(2, db::Value(table)).run();
    }
    for (const std::string& index : file.indexStatements()) server.executeNative(server.translateJet(index));
    createImportIndexes(server);
    for (const std::string& table : tables) {
      if (!copied(table)) continue;
      const long long onFile = rowCount(file, table), onServer = rowCount(server, table);
      if (onFile != onServer) {
        server.rollback();
        return fail(table + ": " + std::to_string(onFile) + " rows in the file, " + std::to_string(onServer) +
                    " on the server: nothing is copied");
      }
    }
    server.commit();
  } catch (const db::DbError& e) {
    server.rollback();
    return fail("copying into " + target->shown() + " failed, nothing is copied: " + std::string(e.what()));
  }
  std::fprintf(progress, "copied %s into %s\n", source.shown().c_str(), target->shown().c_str());
  return ExitStatus::Ok;
}

}  // namespace tavrix
