// A run state in a temporary program folder for the import tests: CSV, log, database and save
// folders under it, the delivered scripts from the source tree, recorded messages, a fixed clock.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/run_state.h"
#include "tests/support/test_support.h"

namespace tavrix::test {

class ImportFixture : public ::testing::Test {
 protected:
  ImportFixture();

  // Writes csv/<name> with the UTF-8 text converted to CP932.
  void writeCsv(const std::string& name, const std::string& utf8Text);
  // Tavrix.ini for an UPDATEONLY run with every folder under the program folder.
  void writeIni();
  // A fresh run state (as a new start of the program would have) and the whole batch.
  void runBatchOnce();
  std::vector<std::string> log() const { return logMessages(dir.file("log/Tavrix.log")); }
  std::string csvDir() const { return dir.file("csv"); }
  std::string dbPath() const { return dir.file("db/Tavrix.mdb"); }
  std::string saveDir() const { return dir.file("save/" + clock.now().compactDay()); }

  TempDir dir;
  RecordingMessageSink messages;
  FixedClock clock{DateTime{2026, 12, 5, 9, 7, 3}};
  RunState s{messages, clock};
};

// The rows of table, ordered by PCid and then as added, each as "PCid:" followed by " Field=value"
// for every listed field that is neither NULL nor empty; a value over 60 characters shows as its
// first ten characters, "…" and its length.
std::vector<std::string> tableRows(const std::string& dbPath, const std::string& table,
                                   const std::vector<std::string>& fields);

// What breaks the snapshot rules: a PCid with more than one T_BasicInf row, a detail row whose
// RNO, PCid and CreateDate are not those of a T_BasicInf row, a failed integrity check.
std::vector<std::string> invariantViolations(const std::string& dbPath);

// Rows of a query on a database file, each row its fields as text joined by "|" (NULL as "<null>").
std::vector<std::string> queryRows(const std::string& dbPath, const std::string& sql);

}  // namespace tavrix::test
