// F_CRE_TABLE on a real work database: the tables it makes and the boxes of the steps that fail.
#include "dbscript/create_table.h"

#include <filesystem>

#include "dbscript/create_mdb.h"
#include "platform/text.h"
#include "tests/dbscript/script_fixture.h"

namespace tavrix {
namespace {

using Rows = std::vector<std::string>;

class CreateTableTest : public test::ScriptFixture {
 protected:
  void SetUp() override {
    state.ScriptMdbName = "@inventory.mdb";
    ASSERT_FALSE(F07_CRE_MDB(state));
  }
  std::string work() const { return state.MDB_DIR + state.ScriptMdbName; }
};

TEST_F(CreateTableTest, StatementsAndTheTablesTheyMake) {
  struct Case {
    const char* name;
    const char* statement;
    const char* table;
    Rows columns;  // name|declared type|not null|primary key
    Rows boxes;
  };
  const Case cases[] = {
      {"japanese words", "CREATE TABLE T_X (ID オートナンバー型, NAME テキスト(50), CNT 長整数型, MEMOTXT メモ型, FLAG YES/NO型);",
       "T_X", {"ID|INTEGER|0|1", "NAME|VARCHAR(50)|0|0", "CNT|INTEGER|0|0", "MEMOTXT|TEXT|0|0", "FLAG|BOOLEAN|0|0"}, {}},
      {"english words in any case", "create table T_X (a text(10), b long, c date/time, d currency, e single);", "T_X",
       {"a|VARCHAR(10)|0|0", "b|INTEGER|0|0", "c|DATETIME|0|0", "d|CURRENCY|0|0", "e|FLOAT|0|0"}, {}},
      {"no blank before parenthesis", "CREATE TABLE T_X(a TEXT(10));", "T_X", {"a|VARCHAR(10)|0|0"}, {}},
      {"two blanks name the table TABLE", "CREATE  TABLE T_X (a TEXT);", "TABLE", {"a|VARCHAR(255)|0|0"}, {}},
      {"blank before the semicolon", "CREATE TABLE T_X (a TEXT(10)) ;", "T_X", {"a|VARCHAR(10)|0|0"}, {}},
      {"longtext is text", "CREATE TABLE T_X (a LONGTEXT);", "T_X", {"a|VARCHAR(255)|0|0"}, {}},
      {"decimal split at its comma", "CREATE TABLE T_X (a DECIMAL(10,2));", "T_X", {"a|DECIMAL|0|0"},
       {"column definition without a type: 2)"}},
      {"primary key item keeps the type before", "CREATE TABLE T_X (ID LONG, PRIMARY KEY (ID));", "T_X",
       {"ID|INTEGER|0|0", "PRIMARY|INTEGER|0|0"}, {}},
      {"unknown first type has none", "CREATE TABLE T_X (a WHATEVER, b DOUBLE, c NUMBER);", "T_X",
       {"a||0|0", "b|DOUBLE|0|0", "c|DOUBLE|0|0"}, {}},
      {"duplicate column left out", "CREATE TABLE T_X (a TEXT, A LONG, b BYTE);", "T_X",
       {"a|VARCHAR(255)|0|0", "b|TINYINT|0|0"}, {"duplicate column name: A"}},
      {"empty items", "CREATE TABLE T_X (a TEXT,, b INTEGER,);", "T_X", {"a|VARCHAR(255)|0|0", "b|SMALLINT|0|0"},
       {"column definition without a type: ", "column definition without a type: "}},
      {"counter on text", "CREATE TABLE T_X (a TEXT AUTONUMBER);", "T_X", {"a|VARCHAR(255)|1|0"},
       {"only a long integer column can count by itself: a"}},
      {"second counter", "CREATE TABLE T_X (a AUTONUMBER, b AUTONUMBER);", "T_X", {"a|INTEGER|0|1", "b|INTEGER|1|0"},
       {"a table has only one counter column: b"}},
      {"negative size", "CREATE TABLE T_X (a TEXT(-5), b TEXT);", "T_X", {"b|VARCHAR(255)|0|0"},
       {"invalid size -5 of column a"}},
      {"no parenthesis", "CREATE TABLE T_X;", "T_X", {},
       {"no column list in: CREATE TABLE T_X;", "a table needs a name"}},
      {"no table name", "CREATE TABLE(a TEXT);", "T_X", {},
       {"no table name in: CREATE TABLE(a TEXT);", "a table needs a name"}},
      {"no column", "CREATE TABLE T_X ();", "T_X", {}, {"table T_X has no column"}},
      {"cut too short", "CREATE TABLE T_X (", "T_X", {}, {"no column list in: CREATE TABLE T_X (", "table T_X has no column"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    messages.messages.clear();
    F_CRE_TABLE(state, c.statement);
    EXPECT_EQ(schema(work(), c.table), c.columns);
    EXPECT_EQ(messages.texts(), c.boxes);
    db::Connection cleanup;
    cleanup.openPlain(work());
    cleanup.execute("DROP TABLE IF EXISTS T_X; DROP TABLE IF EXISTS \"TABLE\";");
  }
  EXPECT_TRUE(log().empty());
}

TEST_F(CreateTableTest, ExistingTableAndMissingDatabaseShowBoxes) {
  F_CRE_TABLE(state, "CREATE TABLE T_X (a TEXT);");
  F_CRE_TABLE(state, "CREATE TABLE T_X (b TEXT);");
  EXPECT_EQ(schema(work(), "T_X"), Rows{"a|VARCHAR(255)|0|0"});
  EXPECT_EQ(messages.texts(), Rows{"table \"T_X\" already exists"});
  messages.messages.clear();
  state.ScriptMdbName = "@missing.mdb";
  F_CRE_TABLE(state, "CREATE TABLE T_Y (a TEXT);");
  EXPECT_EQ(messages.texts(), (Rows{"unable to open database file (" + state.MDB_DIR + "@missing.mdb)",
                                    "the catalog has no open database"}));
  EXPECT_FALSE(std::filesystem::exists(state.MDB_DIR + "@missing.mdb"));
}

}  // namespace
}  // namespace tavrix
