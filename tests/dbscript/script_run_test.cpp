// Whole script files run through F_CNT_SQLFILE and F04_READ_SQLTXT into real work databases:
// results, log lines word for word, message boxes, schemas and rows.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "dbscript/script_files.h"
#include "platform/text.h"
#include "tests/dbscript/script_fixture.h"

namespace tavrix {
namespace {

using Lines = std::vector<std::string>;

struct Check {
  std::string database;  // file name in MDB_DIR
  std::string sql;
  Lines rows;
};

struct Case {
  std::string name;
  std::map<std::string, std::string> files;  // name -> UTF-8 text, written as CP932 with CR LF
  std::vector<bool> results;                 // failure flag of each file run
  Lines log;                                 // "{db}" stands for MDB_DIR
  Lines boxes;
  std::vector<Check> checks;
};

const std::string kHeader = "MDBNAME inventory.mdb\nTABLENAME T_X\n";
const Check kNoTableX{"@inventory.mdb", "SELECT name FROM sqlite_schema WHERE name = 'T_X'", {}};

std::vector<Case> cases() {
  return {
      {"the example file",
       {{"x.sql", "-- table X\nMDBNAME inventory.mdb\nTABLENAME T_X\nDROP TABLE T_X;\nCREATE TABLE T_X (ID 長整数型,\n"
                  "NAME テキスト(50));\n"}},
       {false},
       {},
       {},
       {{"@inventory.mdb", "SELECT name, type, \"notnull\" FROM pragma_table_info('T_X')",
         {"ID|INTEGER|0", "NAME|VARCHAR(50)|0"}},
        {"@inventory.mdb", "SELECT name, type, \"notnull\", pk FROM pragma_table_info('T_Version')",
         {"VERSION|SMALLINT|1|0", "REVISION|SMALLINT|1|0", "VLDATA|VARCHAR(50)|1|0", "RLSDATE|DATETIME|1|0"}}}},
      {"drop of a missing table",
       {{"d.sql", "MDBNAME inventory.mdb\nTABLENAME T_Device\nDROP TABLE T_Device;\n"}},
       {false},
       {"@inventory.mdb.T_Device 削除(DROP)対象がありません。"},
       {},
       {}},
      {"drop of an existing table, table name with its blank",
       {{"a.sql", kHeader + "CREATE TABLE T_Device (a TEXT);\n"},
        {"b.sql", "\t MDBNAME inventory.mdb  -- comment\nTABLENAME T_Device ;\ndrop table t_device;\n"}},
       {false, false},
       {"@inventory.mdb.T_Device を 削除(DROP)しました。"},
       {},
       {{"@inventory.mdb", "SELECT name FROM sqlite_schema WHERE name = 'T_Device'", {}}}},
      {"drop and create log nothing",
       {{"a.sql", kHeader + "DROP TABLE T_X;\nCREATE TABLE T_X (a TEXT);\n"}},
       {false},
       {},
       {},
       {}},
      {"missing table tolerated after a drop",
       {{"a.sql", kHeader + "DROP TABLE T_Old;\nINSERT INTO T_None VALUES (1);\n"}},
       {false},
       {"@inventory.mdb.T_X 削除(DROP)対象がありません。"},
       {},
       {}},
      {"missing table without a drop fails the file and stops the run",
       {{"a.sql", kHeader + "INSERT INTO T_None VALUES (1);\n"}, {"b.sql", kHeader + "CREATE TABLE T_X (a TEXT);\n"}},
       {true},
       {"取り込み用(a.sql) T_Xの作成ができません。"},
       {"no such table: T_None"},
       {kNoTableX}},
      {"drop index of a missing index fails",
       {{"a.sql", kHeader + "DROP TABLE T_X;\nDROP INDEX ix ON T_X;\n"}},
       {true},
       {"取り込み用(a.sql) T_Xの作成ができません。"},
       {"no such index: ix"},
       {}},
      {"rows inserted, CP932 text kept, skipped kinds and split statements",
       {{"a.sql", "' 在庫テスト ①㈱～髙\n" + kHeader +
                      "CREATE TABLE T_X (\n  a テキスト(20), -- 名前 ①\n  b 長整数型, 'comment\n  c 日付/時刻型);\n"
                      "INSERT INTO T_X (a, b, c)\nVALUES ('①㈱～髙', 1, #2024/01/02 10:30#);\n"
                      "SELECT * FROM T_X;\nALTER TABLE T_X ADD COLUMN d TEXT(10);\n"
                      "DROP\nTABLE T_X;\n"
                      "TABLENAME T_Y\nINSERT INTO T_X (a, b) VALUES ('glued', 3);\n"
                      "INSERT INTO T_X (a, b) VALUES ('tail', 5);  DELETE FROM T_X;\nUPDATE T_X SET b = 9"}},
       {false},
       {},
       {},
       {{"@inventory.mdb", "SELECT a, b, c FROM T_X ORDER BY b", {"①㈱～髙|1|2024-01-02 10:30:00", "tail|5|<null>"}},
        {"@inventory.mdb", "SELECT count(*) FROM pragma_table_info('T_X')", {"3"}}}},
      {"a lone semicolon stays inside the statement",
       {{"a.sql", kHeader + "CREATE TABLE T_X (a TEXT, b LONG);\nINSERT INTO T_X (a, b)\n;\nVALUES ('lone', 2);\n"}},
       {true},
       {"取り込み用(a.sql) T_Xの作成ができません。"},
       {"near \";\": syntax error"},
       {{"@inventory.mdb", "SELECT count(*) FROM T_X", {"0"}}}},
      {"statement error shows the box and fails",
       {{"a.sql", kHeader + "INSERT INTO T_X VALUES;\n"}},
       {true},
       {"取り込み用(a.sql) T_Xの作成ができません。"},
       {"near \";\": syntax error"},
       {}},
      {"index and version rows",
       {{"a.sql", kHeader + "CREATE TABLE T_X (Group テキスト(50), User テキスト(50));\nCREATE INDEX ix ON T_X (Group);\n"
                            "INSERT INTO T_X (Group, User) VALUES ('g', 'u');\n"},
        {"b.squ", "USE inventory.mdb\nTABLENAME T_Version\n"
                  "INSERT INTO T_Version VALUES (1, 2, 'v', #2026/12/01 00:00#);\n"}},
       {false, false},
       {},
       {},
       {{"@inventory.mdb", "SELECT \"Group\", \"User\" FROM T_X INDEXED BY ix", {"g|u"}},
        {"@inventory.mdb", "SELECT * FROM T_Version", {"1|2|v|2026-12-01 00:00:00"}}}},
      {"no MDBNAME",
       {{"a.sql", "-- nothing here\n' at all\n"}},
       {true},
       {"取り込み用(a.sql)に[MDBNAME]の指定がありません。"},
       {},
       {}},
      {"TABLENAME before MDBNAME",
       {{"a.sql", "TABLENAME T_X\nMDBNAME inventory.mdb\nDROP TABLE T_X;\n"}},
       {true},
       {"F04_READ_SQLTXT: unable to open database file ({db})", "取り込み用(a.sql) T_Xの作成ができません。"},
       {},
       {}},
      {"MDBNAME without TABLENAME still creates the database",
       {{"a.sql", "-- header only\nMDBNAME inventory.mdb\n"}},
       {true},
       {"取り込み用(a.sql)に[TABLENAME]の指定がありません。"},
       {},
       {{"@inventory.mdb", "SELECT name FROM sqlite_schema", {"T_Version"}}}},
      {"empty TABLENAME does not end the header",
       {{"a.sql", "MDBNAME inventory.mdb\nTABLENAME\nDROP TABLE T_X;\n"}},
       {true},
       {"取り込み用(a.sql)に[TABLENAME]の指定がありません。"},
       {},
       {}},
      {"two databases and an empty name",
       {{"a.sql", "MDBNAME one.mdb\nMDBNAME=two.mdb;\nTABLENAME T_X\nCREATE TABLE T_X (a TEXT);\n"},
        {"b.sql", "MDBNAME\nTABLENAME T_X\nCREATE TABLE T_X (a TEXT);\n"}},
       {false, false},
       {},
       {},
       {{"@one.mdb", "SELECT name FROM sqlite_schema", {"T_Version"}},
        {"@two.mdb", "SELECT name FROM sqlite_schema ORDER BY 1", {"T_Version", "T_X"}},
        {"@", "SELECT name FROM sqlite_schema ORDER BY 1", {"T_Version", "T_X"}}}},
      {"order: sql files, then squ files",
       {{"b.sql", kHeader + "CREATE TABLE T_X (n INTEGER);\n"},
        {"a.squ", kHeader + "INSERT INTO T_X VALUES (3);\n"},
        {"c.sql", kHeader + "INSERT INTO T_X VALUES (2);\n"},
        {"x.sqx", kHeader + "INSERT INTO T_X VALUES (99);\n"}},
       {false, false, false},
       {},
       {},
       {{"@inventory.mdb", "SELECT group_concat(n) FROM T_X", {"2,3"}}}},
  };
}

class ScriptRun : public test::ScriptFixture {};

TEST_F(ScriptRun, Files) {
  for (const auto& c : cases()) {
    SCOPED_TRACE(c.name);
    test::TempDir root;
    state.MDB_DIR = root.path() + "/db/";
    state.DSTRB_DIR = root.path() + "/dstrb/";
    state.LOG_DIR = root.path() + "/";
    makeDirectory(state.MDB_DIR);
    makeDirectory(state.DSTRB_DIR);
    messages.messages.clear();
    for (const auto& [name, body] : c.files) writeScript(name, body);
    EXPECT_EQ(runScripts(), c.results);
    Lines expectedLog;
    for (const auto& line : c.log) expectedLog.push_back(text::replaceAll(line, "{db}", state.MDB_DIR));
    EXPECT_EQ(log(), expectedLog);
    EXPECT_EQ(messages.texts(), c.boxes);
    for (const auto& check : c.checks) EXPECT_EQ(rows(state.MDB_DIR + check.database, check.sql), check.rows) << check.sql;
  }
}

TEST_F(ScriptRun, ScriptFolderListing) {
  state.DSTRB_DIR = dir.path() + "/none/";
  EXPECT_EQ(runScripts(), std::vector<bool>{});
  EXPECT_EQ(log(), Lines{"取り込み用(.SQL/.SQU)ファイルのカウント処理中にエラーが発生しました。(2)"});
  state.DSTRB_DIR = dir.path() + "/dstrb/";
  test::writeFile(state.DSTRB_DIR + ".hidden.sql", "x");
  test::writeFile(state.DSTRB_DIR + "B.SQL", "x");
  test::writeFile(state.DSTRB_DIR + "a.Squ", "x");
  makeDirectory(state.DSTRB_DIR + "folder.sql");
  ASSERT_FALSE(F_CNT_SQLFILE(state));
  EXPECT_EQ(state.ScriptFileList, (Lines{"B.SQL", "a.Squ"}));
  EXPECT_EQ(state.FoundFileCount, 2);
  test::TempDir empty;
  state.DSTRB_DIR = empty.path() + "/";
  ASSERT_FALSE(F_CNT_SQLFILE(state));
  EXPECT_EQ(state.FoundFileCount, 0);
  EXPECT_TRUE(state.ScriptFileList.empty());
}

TEST_F(ScriptRun, UnwritableDatabaseFolderFailsEveryStep) {
  state.MDB_DIR = dir.path() + "/no/such/";
  writeScript("a.sql", kHeader + "CREATE TABLE T_X (a TEXT);\n");
  writeScript("b.sql", kHeader + "CREATE TABLE T_Y (a TEXT);\n");
  EXPECT_EQ(runScripts(), std::vector<bool>{true});
  std::string path = state.MDB_DIR + "@inventory.mdb";
  EXPECT_EQ(log(), (Lines{"F07_CRE_MDB: unable to open database file (" + path + ")",
                          "F07_CRE_MDB: unable to open database file (" + path + ")",
                          "F07_CRE_MDB: the catalog has no open database",
                          "取り込み用(a.sql) @inventory.mdbの作成ができません。"}));
  EXPECT_TRUE(messages.texts().empty());
  EXPECT_EQ(clock.pausedMilliseconds(), 1000);
}

TEST_F(ScriptRun, WorkDatabaseThatIsNoDatabase) {
  test::writeFile(state.MDB_DIR + "@inventory.mdb", "just words, this is not a database file at all.\n");
  writeScript("a.sql", kHeader + "CREATE TABLE T_X (a TEXT);\n");
  EXPECT_EQ(runScripts(), std::vector<bool>{true});
  EXPECT_EQ(log(), (Lines{"F04_READ_SQLTXT: file is not a database", "取り込み用(a.sql) T_Xの作成ができません。"}));
  EXPECT_EQ(test::readFile(state.MDB_DIR + "@inventory.mdb"), "just words, this is not a database file at all.\n");
}

TEST_F(ScriptRun, UnreadableScriptFile) {
  writeScript("a.sql", kHeader);
  state.CurrentScriptFile = "gone.sql";
  EXPECT_TRUE(F04_READ_SQLTXT(state));
  EXPECT_EQ(log(), Lines{"F04_READ_SQLTXT: No such file or directory"});
  EXPECT_EQ(state.ScriptMdbName, "");
}

}  // namespace
}  // namespace tavrix
