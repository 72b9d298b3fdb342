// Whole script files run through F_CNT_SQLFILE and F04_READ_SQLTXT into real work databases:
// results, log lines word for word, message boxes, the databases and tables made, and rows.
#include <utility>

#include "tests/dbscript/script_fixture.h"

namespace tavrix {
namespace {

using test::Lines;

struct Case {
  std::string name;
  std::vector<std::pair<std::string, std::string>> files;  // name, UTF-8 text (written as CP932, CR LF)
  std::vector<bool> results;                                // failure flag of each file run
  Lines log;                                                // "{db}" stands for MDB_DIR
  Lines boxes;
  Lines tables;  // per work database: "file:table,table"
  std::string sql = "";  // a query on @inventory.mdb, and its rows
  Lines rows = {};
};

const std::string kHeader = "MDBNAME inventory.mdb\nTABLENAME T_X\n";
const std::string kBodyFailed = "取り込み用(a.sql) T_Xの作成ができません。";
// The columns of every table: "table|column|type|notnull|pk".
const std::string kColumns =
    "SELECT m.name AS t, p.name, p.type, p.\"notnull\", p.pk FROM sqlite_schema m, pragma_table_info(m.name) p"
    " WHERE m.type = 'table' AND m.name <> 'sqlite_sequence' ORDER BY t, p.cid";

const std::string kTables =
    "SELECT group_concat(name) FROM (SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite%'"
    " ORDER BY name)";

std::vector<Case> cases() {
  return {
      {"drop of a missing table, then a missing table tolerated",
       {{"d.sql", "MDBNAME inventory.mdb\nTABLENAME T_Device\nDROP TABLE T_Device;\nINSERT INTO T_None VALUES (1);\n"}},
       {false}, {"@inventory.mdb.T_Device 削除(DROP)対象がありません。"}, {}, {"@inventory.mdb:T_Version"}},
      {"drop of an existing table: value cut before the comment, table name keeps its blank",
       {{"a.sql", kHeader + "CREATE TABLE T_Device (a TEXT);\n"},
        {"b.sql", "\t MDBNAME inventory.mdb  -- comment\nTABLENAME T_Device ;\ndrop table t_device;\n"}},
       {false, false}, {"@inventory.mdb.T_Device を 削除(DROP)しました。"}, {}, {"@inventory.mdb:T_Version"}},
      {"missing table without a drop fails the file and stops the run",
       {{"a.sql", kHeader + "INSERT INTO T_None VALUES (1);\n"}, {"b.sql", kHeader + "CREATE TABLE T_X (a TEXT);\n"}},
       {true}, {kBodyFailed}, {"no such table: T_None"}, {"@inventory.mdb:T_Version"}},
      {"a drop of a missing table or index goes by",
       {{"a.sql", kHeader + "DROP TABLE T_X;\nDROP INDEX ix ON T_X;\nDROP INDEX iy;\n"}},
       {false}, {"@inventory.mdb.T_X 削除(DROP)対象がありません。"}, {}, {"@inventory.mdb:T_Version"}},
      {"statement assembly: comments, quotes, skipped kinds, glued lines, a lone semicolon",
       {{"a.sql", "' 在庫テスト ①㈱～髙\n" + kHeader +
                      "CREATE TABLE T_X (\n  a テキスト(20), -- 名前 ①\n  b 長整数型, 'comment\n  c 日付/時刻型);\n"
                      "INSERT INTO T_X (a, b, c)\n-- not the end;\nVALUES ('①㈱～髙', 1, #2024/01/02 10:30#);\n"
                      "INSERT INTO T_X (b) 'note: cut here\nVALUES (8);\n"
                      "SELECT * FROM T_X;\nALTER TABLE T_X ADD COLUMN d TEXT(10);\nDROP\nTABLE T_X;\n"
                      "TABLENAME T_Y\nINSERT INTO T_X (a, b) VALUES ('glued', 3);\n"
                      "INSERT INTO T_X (a, b) VALUES ('tail', 5);  DELETE FROM T_X;\nUPDATE\nT_X SET b = 6 WHERE b\n= 5;\n"
                      "UPDATE T_X SET b = 9\n;\n"}},
       {false}, {}, {}, {"@inventory.mdb:T_Version,T_X"},
       "SELECT * FROM T_X ORDER BY b", {"①㈱～髙|1|2024-01-02 10:30:00", "tail|6|<null>", "<null>|8|<null>"}},
      {"Group and User fields, an index, USE, and .sql files before .squ files",
       {{"b.sql", kHeader + "CREATE TABLE T_X (Group テキスト(50), User テキスト(50));\nCREATE INDEX ix ON T_X (Group);\n"},
        {"a.squ", "USE inventory.mdb\nTABLENAME T_X\nINSERT INTO T_X (Group, User) VALUES ('g', 'squ');\n"},
        {"c.sql", kHeader + "INSERT INTO T_X (Group, User) VALUES ('g', 'sql');\n"},
        {"x.sqx", kHeader + "INSERT INTO T_X (Group, User) VALUES ('g', 'sqx');\n"}},
       {false, false, false}, {}, {}, {"@inventory.mdb:T_Version,T_X"},
       "SELECT group_concat(User) FROM T_X INDEXED BY ix WHERE Group = 'G'", {"sql,squ"}},
      {"no MDBNAME",
       {{"a.sql", "-- nothing here\n' at all\n"}}, {true}, {"取り込み用(a.sql)に[MDBNAME]の指定がありません。"}, {}, {}},
      {"TABLENAME before MDBNAME",
       {{"a.sql", "TABLENAME T_X\nMDBNAME inventory.mdb\nDROP TABLE T_X;\n"}},
       {true}, {"F04_READ_SQLTXT: unable to open database file ({db})", kBodyFailed}, {}, {}},
      {"an empty TABLENAME starts no body, the database is made all the same",
       {{"a.sql", "MDBNAME inventory.mdb\nTABLENAME\nCREATE TABLE T_X (a TEXT);\n"}},
       {true}, {"取り込み用(a.sql)に[TABLENAME]の指定がありません。"}, {}, {"@inventory.mdb:T_Version"}},
      {"directive values: each MDBNAME line makes its database",
       {{"a.sql", "MDBNAME a'b c\nMDBNAME ;a b\nmdbname=x.mdb;\nMDBNAME　在庫.mdb -- 注釈\nUsers.mdb\nMDBNAMEX=a.mdb\n"
                  "MDBNAME\nTableName=T_X\nCREATE TABLE T_X (a TEXT);\n"}},
       {false}, {}, {},
       {"@:T_Version,T_X", "@;a:T_Version", "@=a.mdb:T_Version", "@a:T_Version", "@s.mdb:T_Version",
        "@x.mdb:T_Version", "@在庫.mdb:T_Version"}},
      {"table definitions: type words, sizes, and every step that fails shown in its box",
       {{"a.sql", kHeader +
                      "CREATE TABLE T_A (ID オートナンバー型, NAME テキスト(50), CNT 長整数型, M メモ型(100), F YES/NO型,\n"
                      "D 日付/時刻型, C 通貨型, S 単精度浮動小数点型, B バイト型, N MEMO);\n"
                      "create table T_B (a text(300), b LONGTEXT, c TEXT(50.5), d TEXT(51.5), e TEXT( 1 2 ), f TEXT(X),\n"
                      "g INTEGER, h DATETIME, i DECIMAL(10,2), j double, k currency) ;\n"
                      "CREATE  TABLE T_C (a TEXT);\nCREATE TABLE T_D (a TEXT,, A LONG, b INTEGER, c WHATEVER);\n"
                      "CREATE TABLE T_D (x TEXT);\nCREATE TABLE T_E (a TEXT AUTONUMBER, b AUTONUMBER, c AUTONUMBER, d TEXT(-5),\n"
                      "e TEXT(-1e300), f TEXT(1e300));\n"
                      "CREATE TABLE T_F;\nCREATE TABLE T_G ();\nCREATE TABLE(a TEXT);\n"}},
       {false}, {},
       {"column definition without a type: 2)", "column definition without a type: ", "duplicate column name: A",
        "table \"T_D\" already exists", "only a long integer column can count by itself: a",
        "a table has only one counter column: c", "invalid size -5 of column d",
        "invalid size -2147483648 of column e", "no column list in: CREATE TABLE T_F;",
        "a table needs a name", "table T_G has no column", "no table name in: CREATE TABLE(a TEXT);",
        "a table needs a name"},
       {"@inventory.mdb:TABLE,T_A,T_B,T_D,T_E,T_Version"}, kColumns,
       {"TABLE|a|VARCHAR(255)|0|0",
        "T_A|ID|INTEGER|0|1", "T_A|NAME|VARCHAR(50)|0|0", "T_A|CNT|INTEGER|0|0", "T_A|M|TEXT|0|0", "T_A|F|BOOLEAN|0|0",
        "T_A|D|DATETIME|0|0", "T_A|C|CURRENCY|0|0", "T_A|S|FLOAT|0|0", "T_A|B|TINYINT|0|0", "T_A|N|TEXT|0|0",
        "T_B|a|VARCHAR(255)|0|0", "T_B|b|VARCHAR(255)|0|0", "T_B|c|VARCHAR(50)|0|0", "T_B|d|VARCHAR(52)|0|0",
        "T_B|e|VARCHAR(12)|0|0", "T_B|f|VARCHAR(255)|0|0", "T_B|g|SMALLINT|0|0", "T_B|h|SMALLINT|0|0",
        "T_B|i|DECIMAL|0|0", "T_B|j|DOUBLE|0|0", "T_B|k|CURRENCY|0|0",
        "T_D|a|VARCHAR(255)|0|0", "T_D|b|SMALLINT|0|0", "T_D|c|SMALLINT|0|0",
        "T_E|a|VARCHAR(255)|1|0", "T_E|b|INTEGER|0|1", "T_E|c|INTEGER|1|0", "T_E|f|VARCHAR(255)|0|0", "T_Version|VERSION|SMALLINT|1|0",
        "T_Version|REVISION|SMALLINT|1|0", "T_Version|VLDATA|VARCHAR(50)|1|0", "T_Version|RLSDATE|DATETIME|1|0"}},
  };
}

class ScriptRun : public test::ScriptFixture {};

TEST_F(ScriptRun, EachScriptFolderBuildsItsTablesOrLogsWhyNot) {
  for (const auto& c : cases()) {
    SCOPED_TRACE(c.name);
    test::TempDir root;
    useFolder(root.path());
    messages.messages.clear();
    for (const auto& [name, body] : c.files) writeScript(name, body);
    EXPECT_EQ(runScripts(), c.results);
    Lines expectedLog;
    for (const auto& line : c.log) expectedLog.push_back(text::replaceAll(line, "{db}", state.MDB_DIR));
    // Every box is logged too, after the name of its script file.
    Lines logged, boxesLogged;
    for (const auto& line : log()) {
      std::size_t colon = line.find(".sq");
      if (colon != std::string::npos && line.compare(colon + 4, 2, ": ") == 0 && line.find(' ') > colon)
        boxesLogged.push_back(line.substr(colon + 6));
      else
        logged.push_back(line);
    }
    EXPECT_EQ(logged, expectedLog);
    EXPECT_EQ(messages.texts(), c.boxes);
    EXPECT_EQ(boxesLogged, c.boxes);
    Lines tables, databases = paths::listFiles(state.MDB_DIR, "*").value();
    for (const auto& db : databases)
      tables.push_back(db + ":" + test::queryRows(state.MDB_DIR + db, kTables)[0]);
    EXPECT_EQ(tables, c.tables);
    if (!c.sql.empty()) {
      EXPECT_EQ(test::queryRows(state.MDB_DIR + "@inventory.mdb", c.sql), c.rows);
    }
  }
}

TEST_F(ScriptRun, FolderFileAndWorkDatabaseFailures) {
  state.DSTRB_DIR = dir.path() + "/none/";
  EXPECT_EQ(runScripts(), std::vector<bool>{});
  state.DSTRB_DIR = dir.path() + "/dstrb/";
  state.CurrentScriptFile = "gone.sql";
  EXPECT_TRUE(F04_READ_SQLTXT(state));
  writeScript("a.sql", kHeader + "CREATE TABLE T_X (a TEXT);\n");
  writeScript("b.sql", kHeader + "CREATE TABLE T_Y (a TEXT);\n");
  std::string noDatabase = "just words, this is not a database file at all.\n";
  test::writeFile(state.MDB_DIR + "@inventory.mdb", noDatabase);
  EXPECT_EQ(runScripts(), std::vector<bool>{true});
  EXPECT_EQ(test::readFile(state.MDB_DIR + "@inventory.mdb"), noDatabase);
  state.MDB_DIR = dir.path() + "/no/such/";
  EXPECT_EQ(runScripts(), std::vector<bool>{true});
  std::string path = state.MDB_DIR + "@inventory.mdb";
  EXPECT_EQ(log(), (Lines{"取り込み用(.SQL/.SQU)ファイルのカウント処理中にエラーが発生しました。(2)",
                          "F04_READ_SQLTXT: No such file or directory", "F04_READ_SQLTXT: file is not a database",
                          kBodyFailed,
                          "F07_CRE_MDB: unable to open database file (" + path + ")",
                          "F07_CRE_MDB: unable to open database file (" + path + ")",
                          "F07_CRE_MDB: the catalog has no open database",
                          "取り込み用(a.sql) @inventory.mdbの作成ができません。"}));
  EXPECT_EQ(messages.texts(), Lines{});
  EXPECT_EQ(clock.pausedMilliseconds(), 1000);
}

}  // namespace
}  // namespace tavrix
