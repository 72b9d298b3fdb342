// A whole UPDATEONLY batch on an empty program folder builds the inventory database from the
// delivered scripts, after deleting a left-over work database.
#include "batch/main_batch.h"
#include "batch/run_log.h"
#include "tests/dbscript/script_fixture.h"

namespace tavrix {
namespace {

class FreshRun : public test::ScriptFixture {};

TEST_F(FreshRun, LeftOverWorkDatabaseIsReplacedAndOnlyTheInventoryRemains) {
  std::string prog = dir.path() + "/prog";
  makeDirectory(prog + "/db");
  makeDirectory(prog + "/csv");
  test::writeFile(prog + "/db/@Tavrix.mdb", "half-written work database from a run that died\n");
  test::writeFile(prog + "/Tavrix.ini",
                  "[Tavrix Section]\r\nLOG_DIR=*\\log\r\nLOG_FILE=run.log\r\nMDB_DIR=*\\db\r\nMDB_NAME=Tavrix.mdb\r\n"
                  "CSV_DIR=*\\csv\r\nDSTRB_DIR=" + test::sourceDir() + "/dstrb\r\nRUNMODE=UPDATEONLY\r\n"
                  "CSV_SAVE_DIR=*\\save\r\n");
  state.ProgramFolder = prog;
  runBatch(state, nullptr);

  std::vector<std::string> expected = {prog + "/save/ ディレクトリを作成しました。", std::string(kDashLine),
                                       "Tavrix処理を開始します。  ", std::string(kDashLine),
                                       prog + "/db/@Tavrix.mdbを " + prog + "/db/Tavrix.mdbへコピーしました。",
                                       std::string(kDashLine), "Tavrix CSV取込処理を終了しました。 ",
                                       std::string(kDashLine)};
  EXPECT_EQ(test::logMessages(prog + "/log/run.log"), expected);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{});
  EXPECT_EQ(entries(prog + "/db"), std::vector<std::string>{"Tavrix.mdb"});
  EXPECT_EQ(rows(prog + "/db/Tavrix.mdb", "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name LIKE 'T\\_%' ESCAPE '\\'"),
            std::vector<std::string>{"13"});
  EXPECT_FALSE(state.DbOpen);
}

}  // namespace
}  // namespace tavrix
