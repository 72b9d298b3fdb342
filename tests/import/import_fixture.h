// A temporary program folder for whole-batch import runs, and readers of what a run left behind:
// every inventory table's rows, the snapshot rules, the files of a folder.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "run/main_batch.h"
#include "platform/text.h"
#include "tests/platform/db_rows.h"
#include "tests/support/test_support.h"

namespace tavrix::test {

inline const std::vector<std::string> kTables = {"T_BasicInf", "T_Device",  "T_Drive",     "T_Video",
                                                 "T_Printer",  "T_NIC",     "T_Users",     "T_ApplInst",
                                                 "T_StartUp",  "T_Service", "T_WinUpdate", "T_WinUpdRegCheck"};

// The rows of a table by PCid, then as added: "PCid:" and " Field=value" for each field that is not
// empty; a value over 60 characters shows as its first ten, "…" and its length. RNO and CreateDate
// show in T_BasicInf only: invariantViolations() ties the detail rows to them.
inline std::vector<std::string> tableRows(const std::string& dbPath, const std::string& table) {
  db::Connection c;
  c.openPlain(dbPath);
  std::vector<std::string> rows;
  for (db::ReadOnlyRecordSet rs(c, "SELECT * FROM " + table + " ORDER BY PCid, rowid"); !rs.eof(); rs.moveNext()) {
    rows.push_back(rs.field("PCid").text() + ":");
    for (const auto& name : rs.fieldNames()) {
      std::string value = rs.field(name).text();
      if (value.empty() || name == "PCid" || (table != "T_BasicInf" && (name == "RNO" || name == "CreateDate"))) continue;
      std::size_t n = text::charCount(value);
      rows.back() += " " + name + "=" + (n > 60 ? text::leftChars(value, 10) + "…(" + std::to_string(n) + ")" : value);
    }
  }
  return rows;
}

// Every row of the tables, each as "table field|field|…" (NULL as <null>), sorted: what two databases
// hold compared whatever order their engines keep rows in.
inline std::vector<std::string> everyRow(db::Connection& c, const std::vector<std::string>& tables = kTables) {
  std::vector<std::string> rows;
  for (const std::string& table : tables)
    for (std::string& row : rowsOf(c, "SELECT * FROM " + table)) rows.push_back(table + " " + row);
  std::sort(rows.begin(), rows.end());
  return rows;
}

// Kills its own process (SIGKILL) as file `at` of the list starts, or, when saving, as it reaches
// the save folder: a batch killed at that moment, for a test that runs it in a child.
struct KillAt : ImportProgress {
  KillAt(int at, bool saving) : at(at), saving(saving) {}
  void fileStarted(int index, int, const std::string&) override {
    if (!saving && index == at) kill(getpid(), SIGKILL);
  }
  void fileSaved(int index) override {
    if (saving && index == at) kill(getpid(), SIGKILL);
  }
  int at;
  bool saving;
};

// What breaks the snapshot rules: a row whose RNO, PCid and CreateDate are not those of a T_BasicInf
// row, a failed integrity check. (A second T_BasicInf row of a computer shows in its rows and counts.)
inline std::vector<std::string> invariantViolations(const std::string& dbPath) {
  std::vector<std::string> found;
  for (const auto& t : kTables)
    for (const auto& row : queryRows(dbPath, "SELECT RNO, PCid, CreateDate FROM " + t +
                                                 " EXCEPT SELECT RNO, PCid, CreateDate FROM T_BasicInf"))
      found.push_back(t + " row without its snapshot: " + row);
  if (auto check = queryRows(dbPath, "PRAGMA integrity_check"); check != std::vector<std::string>{"ok"})
    found.push_back("integrity_check: " + check.front());
  return found;
}

// An inventory's CP932 bytes: a device, the printer, and padding programs of about 50 bytes each.
inline std::string inventory(const std::string& printer, int padding = 0) {
  std::string body = "0,1,x,x,2.1,2004/10/24 10:30\r\n1,6,デバイス,D1\r\n1,9,プリンタ," + printer + "\r\n";
  for (int i = 0; i < padding; ++i) body += "1,10,アプリ,アプリケーション" + std::to_string(i) + ",1.0\r\n";
  return cp932(body);
}

// A temporary program folder whose Tavrix.ini sets an UPDATEONLY run with every folder under it.
class ImportFixture : public ::testing::Test {
 public:
  ImportFixture() {
    std::filesystem::create_directories(csvDir());
    writeProgramIni(dir.path(), "UPDATEONLY", sourceDir() + "/dstrb");
  }
  // The whole batch, with a fresh run state as a new start of the program has.
  void runBatchOnce(ImportProgress* progress = nullptr) {
    last = std::make_unique<RunState>(messages, clock);
    last->ProgramFolder = dir.path();
    last->Progress = progress;
    last->DbBusyTimeoutMs = busyTimeoutMs;
    runBatch(*last, nullptr);
  }
  // The run state of the last run, as it ended.
  const RunState& lastRun() const { return *last; }
  std::vector<std::string> log() const { return logMessages(dir.file("log/run.log")); }
  std::string csvDir() const { return dir.file("csv"); }
  std::string dbPath() const { return dir.file("db/Tavrix.mdb"); }
  std::string saveDir() const { return dir.file("save/" + clock.now().compactDay()); }

  TempDir dir;
  RecordingMessageSink messages;
  std::unique_ptr<RunState> last;
  int busyTimeoutMs = 10000;
  FixedClock clock{DateTime{2026, 12, 5, 9, 7, 3}};
};

}  // namespace tavrix::test
