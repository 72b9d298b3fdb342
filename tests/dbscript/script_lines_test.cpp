// The script format pieces: directive values, header directives, statement assembly and kinds.
#include <gtest/gtest.h>

#include "dbscript/create_table.h"
#include "dbscript/exec_sqltxt.h"
#include "dbscript/script_lines.h"
#include "tests/support/test_support.h"

namespace tavrix {
namespace {

TEST(ScriptLines, DirectiveValueCut) {
  const std::pair<const char*, const char*> cases[] = {
      {"a.mdb x;", "a.mdb x"},                     // ";" wins over the blank
      {"  inventory.mdb  -- comment", "inventory.mdb  "},
      {"inventory.mdb;", "inventory.mdb"},
      {"T_Device ;", "T_Device "},
      {"a'b c", "a"},
      {";a b", ";a"},                              // ";" first: the blank rule cuts
      {"'x", "'x"},
      {"--", "--"},
      {"plain   ", "plain"},
      {"", ""},
      {"在庫.mdb -- 注釈", "在庫.mdb "},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(cutDirectiveValue(text), value) << text;
}

TEST(ScriptLines, HeaderDirectives) {
  struct Case {
    const char* line;
    DirectiveKind kind;
    const char* value;
  };
  const Case cases[] = {
      {"MDBNAME inventory.mdb", DirectiveKind::MdbName, "inventory.mdb"},
      {"mdbname=inventory.mdb;", DirectiveKind::MdbName, "inventory.mdb"},
      {"USE inventory.mdb", DirectiveKind::MdbName, "inventory.mdb"},
      {"MDBNAMEX=a.mdb", DirectiveKind::MdbName, "=a.mdb"},
      {"Users", DirectiveKind::MdbName, "s"},
      {"MDBNAME　在庫.mdb", DirectiveKind::MdbName, "在庫.mdb"},  // full-width blank as separator
      {"MDBNAME", DirectiveKind::MdbName, ""},
      {"TABLENAME T_Device ;", DirectiveKind::TableName, "T_Device "},
      {"TABLENAME", DirectiveKind::TableName, ""},
      {"TableName=T_X", DirectiveKind::TableName, "T_X"},
      {"DROP TABLE T_X;", DirectiveKind::None, ""},
      {"MDB NAME x", DirectiveKind::None, ""},
  };
  for (const auto& c : cases) {
    Directive d = readDirective(c.line);
    EXPECT_EQ(d.kind, c.kind) << c.line;
    EXPECT_EQ(d.value, c.value) << c.line;
  }
}

TEST(ScriptLines, PreparedAndIgnoredLines) {
  EXPECT_EQ(prepareScriptLine("\tDROP\tTABLE"), " DROP TABLE");
  EXPECT_EQ(prepareScriptLine(test::cp932("-- ①㈱～髙")), "-- ①㈱～髙");
  for (const char* line : {"", "   ", "' comment;", "  -- note; more", "--"}) EXPECT_TRUE(isIgnoredScriptLine(line)) << line;
  for (const char* line : {"- x", ";", "a -- b"}) EXPECT_FALSE(isIgnoredScriptLine(line)) << line;
}

TEST(ScriptLines, StatementAssembly) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::string> statements;
  };
  const Case cases[] = {
      {"one line", {"DROP TABLE T_X;"}, {"DROP TABLE T_X;"}},
      {"glued last line", {"INSERT INTO T_X VALUES", "(1);"}, {"INSERT INTO T_X VALUES(1);"}},
      {"keyword split", {"DROP", "TABLE T_X;"}, {"DROPTABLE T_X;"}},
      {"continuations get one blank", {"  CREATE TABLE T_X (", "  a TEXT(10),  ", "b LONG);"},
       {"CREATE TABLE T_X ( a TEXT(10),b LONG);"}},
      {"lone semicolon continues", {"INSERT INTO T_X", ";", "VALUES (1);"}, {"INSERT INTO T_X ;VALUES (1);"}},
      {"quote on continuation", {"INSERT INTO T_X VALUES ('a--b',", "1);"}, {"INSERT INTO T_X VALUES (1);"}},
      {"line starting with a quote is ignored", {"INSERT INTO T_X VALUES (", "'c');", "1);"}, {"INSERT INTO T_X VALUES (1);"}},
      {"comment on continuation", {"CREATE TABLE T_X (", "a TEXT(10), --note", "b LONG);"},
       {"CREATE TABLE T_X ( a TEXT(10),b LONG);"}},
      {"literal kept on last line", {"INSERT INTO T_X VALUES ('a--b'); -- x"}, {"INSERT INTO T_X VALUES ('a--b');"}},
      {"semicolon in literal ends", {"INSERT INTO T_X VALUES ('a;b');"}, {"INSERT INTO T_X VALUES ('a;"}},
      {"ignored lines between", {"DELETE", "-- comment;", "' other;", "", "FROM T_X;"}, {"DELETEFROM T_X;"}},
      {"text after the last end", {"DELETE FROM T_X; x", "UPDATE T_X SET a = 1"}, {"DELETE FROM T_X;"}},
      {"two statements", {"DELETE FROM T_X;", "DELETE FROM T_Y;"}, {"DELETE FROM T_X;", "DELETE FROM T_Y;"}},
  };
  for (const auto& c : cases) {
    StatementAssembler assembler;
    std::vector<std::string> got;
    for (const auto& line : c.lines) {
      if (auto s = assembler.add(line)) got.push_back(*s);
    }
    EXPECT_EQ(got, c.statements) << c.name;
  }
}

TEST(ScriptLines, StatementKinds) {
  struct Case {
    const char* statement;
    StatementKind kind;
    bool dropsTable;
  };
  const Case cases[] = {
      {"DROP TABLE T_X;", StatementKind::Drop, true},
      {"drop table t_x;", StatementKind::Drop, true},
      {"DROP   TABLE T_X;", StatementKind::Drop, true},
      {"DROP INDEX ix ON T_X;", StatementKind::Drop, false},
      {"CREATE TABLE T_X (a TEXT);", StatementKind::TableDefinition, false},
      {"CREATE  TABLE T_X (a TEXT);", StatementKind::TableDefinition, false},
      {"CREATE INDEX ix ON T_X (c);", StatementKind::Execute, false},
      {"DELETE FROM T_X;", StatementKind::Execute, false},
      {"insert INTO T_X VALUES (1);", StatementKind::Execute, false},
      {"UPDATE T_X SET a=1;", StatementKind::Execute, false},
      {"SELECT * FROM T_X;", StatementKind::None, false},
      {"ALTER TABLE T_X ADD COLUMN c TEXT(10);", StatementKind::None, false},
      {"DROPTABLE T_X;", StatementKind::None, false},
      {"TABLENAME T_Y DELETE FROM T_X;", StatementKind::None, false},
      {"DROP", StatementKind::None, false},
  };
  for (const auto& c : cases) {
    bool drops = false;
    EXPECT_EQ(classifyStatement(c.statement, &drops), c.kind) << c.statement;
    EXPECT_EQ(drops, c.dropsTable) << c.statement;
  }
}

TEST(CreateTable, TypeWordsAndSizes) {
  using db::ColumnType;
  struct Case {
    const char* typeText;
    bool found;
    ColumnType type;
    int size;
  };
  const Case cases[] = {
      {"TEXT(50)", true, ColumnType::VarWChar, 50},
      {"TEXT", true, ColumnType::VarWChar, 0},
      {"TEXT(300)", true, ColumnType::VarWChar, 255},
      {"TEXT( 1 2 )", true, ColumnType::VarWChar, 12},
      {"TEXT(50.5)", true, ColumnType::VarWChar, 50},
      {"TEXT(51.5)", true, ColumnType::VarWChar, 52},
      {"TEXT(ABC)", true, ColumnType::VarWChar, 0},
      {"TEXT(-5)", true, ColumnType::VarWChar, -5},
      {"テキスト(255)", true, ColumnType::VarWChar, 255},
      {"LONGTEXT", true, ColumnType::VarWChar, 0},
      {"TEXT(10))", true, ColumnType::VarWChar, 10},
      {"長整数型", true, ColumnType::Integer, 0},
      {"LONG", true, ColumnType::Integer, 0},
      {"バイト型", true, ColumnType::UnsignedTinyInt, 0},
      {"整数型", true, ColumnType::SmallInt, 0},
      {"INTEGER", true, ColumnType::SmallInt, 0},
      {"単精度浮動小数点型", true, ColumnType::Single, 0},
      {"DOUBLE", true, ColumnType::Double, 0},
      {"MEMO(100)", true, ColumnType::LongVarWChar, 100},
      {"MEMO(99999)", true, ColumnType::LongVarWChar, 65535},
      {"メモ型(100)", true, ColumnType::LongVarWChar, 0},
      {"メモ型", true, ColumnType::LongVarWChar, 0},
      {"DECIMAL(10", true, ColumnType::Numeric, 0},
      {"日付/時刻型", true, ColumnType::Date, 0},
      {"DATE/TIME", true, ColumnType::Date, 0},
      {"通貨型", true, ColumnType::Currency, 0},
      {"オートナンバー型", true, ColumnType::Integer, 0},
      {"AUTONUMBER", true, ColumnType::Integer, 0},
      {"YES/NO型", true, ColumnType::Boolean, 0},
      {"KEY (ID)", false, ColumnType::Empty, 0},
      {"DATETIME", false, ColumnType::Empty, 0},
  };
  for (const auto& c : cases) {
    ColumnTypeMatch m = matchColumnType(c.typeText);
    EXPECT_EQ(m.found, c.found) << c.typeText;
    EXPECT_EQ(m.type, c.type) << c.typeText;
    EXPECT_EQ(m.size, c.size) << c.typeText;
  }
}

}  // namespace
}  // namespace tavrix
