// A run state over temporary folders for the script phase, with recorded message boxes and log.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/run_state.h"
#include "platform/db.h"
#include "tests/support/test_support.h"

namespace tavrix::test {

class ScriptFixture : public ::testing::Test {
 protected:
  ScriptFixture() : clock(DateTime{2026, 12, 5, 9, 7, 3}), state(messages, clock) {
    state.MDB_DIR = dir.path() + "/db/";
    state.DSTRB_DIR = dir.path() + "/dstrb/";
    state.LOG_DIR = dir.path() + "/log/";
    state.LOG_FILE = "run.log";
    for (const char* folder : {"/db", "/dstrb", "/log"}) makeDirectory(dir.path() + folder);
  }

  static void makeDirectory(const std::string& path);
  // A script file from UTF-8 text: lines end with CR LF, bytes are CP932.
  void writeScript(const std::string& name, const std::string& utf8Text);
  std::vector<std::string> log() const;
  // Runs F_CNT_SQLFILE and F04_READ_SQLTXT per file until one fails; the files' failure flags.
  std::vector<bool> runScripts();
  // "name|type|notnull|pk" per column of a table of a database file.
  static std::vector<std::string> schema(const std::string& path, const std::string& table);
  // Every row of a query, fields joined by "|", NULL as <null>.
  static std::vector<std::string> rows(const std::string& path, const std::string& sql);
  // Names of the folder's entries, sorted.
  static std::vector<std::string> entries(const std::string& folder);

  TempDir dir;
  RecordingMessageSink messages;
  FixedClock clock;
  RunState state;
};

}  // namespace tavrix::test
