// A run state over temporary folders for the script phase, with recorded message boxes and log.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "batch/run_state.h"
#include "dbscript/script_files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "tests/platform/db_rows.h"
#include "tests/support/test_support.h"

namespace tavrix::test {

using Lines = std::vector<std::string>;

class ScriptFixture : public ::testing::Test {
 protected:
  ScriptFixture() : clock(DateTime{2026, 12, 5, 9, 7, 3}), state(messages, clock) { useFolder(dir.path()); }

  // Work databases in root/db, scripts in root/dstrb, the log in root/log.
  void useFolder(const std::string& root) {
    state.MDB_DIR = root + "/db/";
    state.DSTRB_DIR = root + "/dstrb/";
    state.LOG_DIR = root + "/log/";
    state.LOG_FILE = "run.log";
    for (const char* folder : {"/db", "/dstrb", "/log"}) std::filesystem::create_directories(root + folder);
  }
  // A script file from UTF-8 text: lines end with CR LF, bytes are CP932.
  void writeScript(const std::string& name, const std::string& utf8Text) {
    writeFile(state.DSTRB_DIR + name, cp932(text::replaceAll(utf8Text, "\n", "\r\n")));
  }
  Lines log() const { return logMessages(state.LOG_DIR + state.LOG_FILE); }
  // F_CNT_SQLFILE, then F04_READ_SQLTXT per file until one fails; the files' failure flags.
  std::vector<bool> runScripts() {
    std::vector<bool> results;
    if (F_CNT_SQLFILE(state)) return results;
    for (int i = 0; i < state.FoundFileCount && (results.empty() || !results.back()); ++i) {
      state.CurrentScriptFile = state.ScriptFileList[i];
      results.push_back(F04_READ_SQLTXT(state));
    }
    return results;
  }

  TempDir dir;
  RecordingMessageSink messages;
  FixedClock clock;
  RunState state;
};

}  // namespace tavrix::test
