// The delivered dstrb/ scripts: their bytes, the inventory database they build, F_COMPACT_MDB and
// F_OPEN_DB on it, and a build short of a table the import writes.
#include "batch/database.h"
#include "run/main_batch.h"
#include "tests/dbscript/script_fixture.h"

namespace tavrix {
namespace {

using test::Lines;

class DeliveredScripts : public test::ScriptFixture {
 protected:
  void SetUp() override { state.DSTRB_DIR = test::sourceDir() + "/dstrb/"; }
};

TEST_F(DeliveredScripts, BuildTheInventoryDatabase) {
  EXPECT_EQ(runScripts(), std::vector<bool>(13, false));
  EXPECT_EQ(state.ScriptFileList.back(), "99_T_Version.squ");
  EXPECT_EQ(log(), Lines{});
  EXPECT_EQ(messages.texts(), Lines{});
  ASSERT_FALSE(F_COMPACT_MDB(state));
  std::string inventory = state.MDB_DIR + "Tavrix.mdb", work = state.MDB_DIR + "@Tavrix.mdb";
  std::string before = test::readFile(inventory) + test::readFile(work);
  EXPECT_TRUE(F_COMPACT_MDB(state));  // an inventory is never written over
  EXPECT_EQ(test::readFile(inventory) + test::readFile(work), before);

  // Per table: its number of columns, the first three and the indexed ones.
  EXPECT_EQ(test::queryRows(inventory, "SELECT m.name, (SELECT count(*) FROM pragma_table_info(m.name)),"
                            " (SELECT group_concat(name) FROM pragma_table_info(m.name) WHERE cid < 3),"
                            " (SELECT group_concat(c.name) FROM (SELECT name AS n FROM pragma_index_list(m.name)"
                            " ORDER BY 1) i, pragma_index_info(i.n) c) FROM sqlite_schema m"
                            " WHERE m.type = 'table' AND m.name LIKE 'T%' ORDER BY 1"),
            (Lines{"T_ApplInst|6|RNO,PCid,CreateDate|RNO", "T_BasicInf|44|RNO,PCid,CreateDate|PCid",
                   "T_Device|11|RNO,PCid,CreateDate|RNO", "T_Drive|11|RNO,PCid,CreateDate|RNO",
                   "T_NIC|24|RNO,PCid,CreateDate|RNO", "T_Printer|5|RNO,PCid,CreateDate|RNO",
                   "T_Service|8|RNO,PCid,CreateDate|RNO", "T_StartUp|7|RNO,PCid,CreateDate|RNO",
                   "T_Users|7|RNO,PCid,CreateDate|RNO", "T_Version|4|VERSION,REVISION,VLDATA|<null>",
                   "T_Video|12|RNO,PCid,CreateDate|RNO", "T_WinUpdRegCheck|10|RNO,PCid,CreateDate|RNO",
                   "T_WinUpdate|7|RNO,PCid,CreateDate|RNO"}));
  EXPECT_EQ(test::queryRows(inventory, "SELECT * FROM T_Version"), Lines{"1|0|Tavrix 1.0|2026-12-01 00:00:00"});

  state.MDB_NAME = "missing.mdb";
  EXPECT_TRUE(F_OPEN_DB(state));
  state.MDB_NAME = "Tavrix.mdb";
  ASSERT_FALSE(F_OPEN_DB(state));
  state.MDB_NAME = "other.mdb";  // an open connection is kept
  EXPECT_FALSE(F_OPEN_DB(state));
  EXPECT_EQ(state.DbConnection.location().filePath(), inventory);
  closeDbConnection(state);
  state.ScriptMdbName = "";  // no script ran
  EXPECT_TRUE(F_COMPACT_MDB(state));
  EXPECT_EQ(paths::listFiles(state.MDB_DIR, "*").value(), (Lines{"@Tavrix.mdb", "Tavrix.mdb"}));
}

TEST_F(DeliveredScripts, AreTheirSourcesInCp932WithCrLf) {
  std::string sources = test::sourceDir() + "/dstrb/source/";
  Lines names = paths::listFiles(sources, "*.sq?").value();
  EXPECT_EQ(names.size(), 13u);
  for (const auto& name : names) {
    std::string expected = test::cp932(text::replaceAll(test::readFile(sources + name), "\n", "\r\n"));
    EXPECT_EQ(test::readFile(state.DSTRB_DIR + name), expected) << name << ": run dstrb/source/convert.sh";
  }
}

// Scripts that quietly define less than the import writes (here the drive table's file is not
// delivered) fail the build: the database goes, the CSVs stay, the next run builds again.
TEST_F(DeliveredScripts, ABuildShortOfAnImportedTableFails) {
  std::string prog = dir.path() + "/prog";
  const Lines scripts = paths::listFiles(test::sourceDir() + "/dstrb", "*.sq?").value();
  for (const auto& name : scripts)
    test::writeFile(prog + "/dstrb/" + name, test::readFile(test::sourceDir() + "/dstrb/" + name));
  paths::removeFile(prog + "/dstrb/03_T_Drive.sql");
  test::writeFile(prog + "/csv/PC01.csv", "0,1,x,x,2.1,2004/10/24 10:30\r\n");
  test::writeProgramIni(prog, "UPDATEONLY", "*\\dstrb");
  state.ProgramFolder = prog;
  runBatch(state, nullptr);
  EXPECT_EQ(exitStatusOf(state), ExitStatus::ConfigurationError);
  Lines log = test::logMessages(prog + "/log/run.log");
  ASSERT_GE(log.size(), 1u);
  EXPECT_EQ(log.back(), "スクリプトから作ったデータベースに T_Drive がありません。データベースを削除し、処理を中止します。");
  EXPECT_EQ(paths::listFiles(prog + "/db", "*").value(), Lines{});
  EXPECT_TRUE(paths::fileExists(prog + "/csv/PC01.csv"));
}

}  // namespace
}  // namespace tavrix
