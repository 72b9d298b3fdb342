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

// Rows of a query on a database file, each row its fields as text joined by "|" (NULL as "<null>").
std::vector<std::string> queryRows(const std::string& dbPath, const std::string& sql);

}  // namespace tavrix::test
