// A run state in a temporary program folder for the import tests.
#include "tests/import/import_fixture.h"

#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>

#include "batch/main_batch.h"
#include "tests/import/inventory_tables.h"
#include "platform/text.h"

namespace tavrix::test {
namespace {

using Row = std::vector<std::optional<std::string>>;  // nullopt is NULL

void forEachRow(const std::string& dbPath, const std::string& sql, const std::function<void(const Row&)>& visit) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(dbPath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    throw std::runtime_error("cannot open " + dbPath);
  }
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    std::string message = sqlite3_errmsg(db);
    sqlite3_close(db);
    throw std::runtime_error(message + ": " + sql);
  }
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    Row row;
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      const unsigned char* text = sqlite3_column_text(stmt, i);
      if (text)
        row.emplace_back(std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(sqlite3_column_bytes(stmt, i))));
      else
        row.emplace_back(std::nullopt);
    }
    visit(row);
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
}

}  // namespace

ImportFixture::ImportFixture() {
  std::filesystem::create_directories(dir.file("csv"));
  std::filesystem::create_directories(dir.file("log"));
  s.ProgramFolder = dir.path();
  s.LOG_DIR = dir.path() + "/log/";
  s.LOG_FILE = "Tavrix.log";
  s.CSV_DIR = dir.path() + "/csv/";
}

void ImportFixture::writeCsv(const std::string& name, const std::string& utf8Text) {
  writeFile(dir.file("csv/" + name), cp932(utf8Text));
}

void ImportFixture::writeIni() {
  writeFile(dir.file("Tavrix.ini"),
            "[Tavrix Section]\r\nLOG_DIR=" + dir.path() + "/log\r\nLOG_FILE=Tavrix.log\r\nMDB_DIR=" + dir.path() +
                "/db\r\nMDB_NAME=Tavrix.mdb\r\nCSV_DIR=" + dir.path() + "/csv\r\nDSTRB_DIR=" + sourceDir() +
                "/dstrb\r\nRUNMODE=UPDATEONLY\r\nCSV_SAVE_DIR=" + dir.path() + "/save\r\n");
}

void ImportFixture::runBatchOnce() {
  RunState fresh(messages, clock);
  fresh.ProgramFolder = dir.path();
  runBatch(fresh, nullptr);
}

std::vector<std::string> queryRows(const std::string& dbPath, const std::string& sql) {
  std::vector<std::string> rows;
  forEachRow(dbPath, sql, [&](const Row& row) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) line += (i ? "|" : "") + row[i].value_or("<null>");
    rows.push_back(line);
  });
  return rows;
}

std::vector<std::string> tableRows(const std::string& dbPath, const std::string& table,
                                   const std::vector<std::string>& fields) {
  std::string sql = "SELECT PCid";
  for (const auto& f : fields) sql += ", \"" + f + "\"";
  sql += " FROM " + table + " ORDER BY PCid, rowid";
  std::vector<std::string> rows;
  forEachRow(dbPath, sql, [&](const Row& row) {
    std::string line = row[0].value_or("<null>") + ":";
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const auto& value = row[i + 1];
      if (!value || value->empty()) continue;
      std::size_t n = text::charCount(*value);
      line += " " + fields[i] + "=" + (n > 60 ? text::leftChars(*value, 10) + "…(" + std::to_string(n) + ")" : *value);
    }
    rows.push_back(line);
  });
  return rows;
}

std::vector<std::string> invariantViolations(const std::string& dbPath) {
  std::vector<std::string> found;
  for (const auto& row : queryRows(dbPath, "SELECT PCid FROM T_BasicInf GROUP BY PCid HAVING count(*) > 1"))
    found.push_back("two T_BasicInf rows for " + row);
  for (const auto& t : inventoryFields()) {
    if (t.table == "T_BasicInf") continue;
    for (const auto& row : queryRows(dbPath, "SELECT RNO, PCid, CreateDate FROM " + t.table +
                                                 " d WHERE NOT EXISTS (SELECT 1 FROM T_BasicInf b WHERE b.RNO = d.RNO"
                                                 " AND b.PCid = d.PCid AND b.CreateDate = d.CreateDate)"))
      found.push_back(t.table + " row without its snapshot: " + row);
  }
  auto check = queryRows(dbPath, "PRAGMA integrity_check");
  if (check != std::vector<std::string>{"ok"}) found.push_back("integrity_check: " + (check.empty() ? "" : check[0]));
  return found;
}

}  // namespace tavrix::test
