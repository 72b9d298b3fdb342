// A run state in a temporary program folder for the import tests.
#include "tests/import/import_fixture.h"

#include <sqlite3.h>

#include <filesystem>
#include <stdexcept>

#include "batch/main_batch.h"

namespace tavrix::test {

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
  std::vector<std::string> rows;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    std::string row;
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      if (i) row += '|';
      const unsigned char* text = sqlite3_column_text(stmt, i);
      row += text ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(sqlite3_column_bytes(stmt, i)))
                  : "<null>";
    }
    rows.push_back(row);
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return rows;
}

}  // namespace tavrix::test
