// Table definitions as SQLite sees them, database creation and compaction.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/db.h"
#include "tests/support/test_support.h"

namespace tavrix::db {
namespace {

// "name|type|notnull|pk" per column, from PRAGMA table_info.
std::vector<std::string> schema(const std::string& path, const std::string& table) {
  Connection c;
  c.openPlain(path);
  std::vector<std::string> out;
  for (ReadOnlyRecordSet rs(c, "SELECT * FROM pragma_table_info('" + table + "')"); !rs.eof(); rs.moveNext())
    out.push_back(rs.field("name").text() + "|" + rs.field("type").text() + "|" + rs.field("notnull").text() + "|" +
                  rs.field("pk").text());
  return out;
}

TEST(TableDefinition, EveryTypeCodeBecomesItsDeclaredType) {
  struct Case {
    ColumnType type;
    int size;
    bool nullable;
    const char* expected;
  };
  const Case cases[] = {
      {ColumnType::VarWChar, 50, true, "c|VARCHAR(50)|0|0"},
      {ColumnType::VarWChar, 0, true, "c|VARCHAR(255)|0|0"},
      {ColumnType::LongVarWChar, 0, true, "c|TEXT|0|0"},
      {ColumnType::Integer, 0, true, "c|INTEGER|0|0"},
      {ColumnType::SmallInt, 0, false, "c|SMALLINT|1|0"},
      {ColumnType::UnsignedTinyInt, 0, true, "c|TINYINT|0|0"},
      {ColumnType::Single, 0, true, "c|FLOAT|0|0"},
      {ColumnType::Double, 0, true, "c|DOUBLE|0|0"},
      {ColumnType::Numeric, 0, true, "c|DECIMAL|0|0"},
      {ColumnType::Date, 0, false, "c|DATETIME|1|0"},
      {ColumnType::Currency, 0, true, "c|CURRENCY|0|0"},
      {ColumnType::Boolean, 0, true, "c|BOOLEAN|0|0"},
      {ColumnType::Empty, 0, true, "c||0|0"},
  };
  test::TempDir dir;
  createDatabase(dir.file("a.mdb"));
  int n = 0;
  for (const auto& k : cases) {
    TableDefinition t;
    t.name = "T_" + std::to_string(++n);
    t.appendColumn("c", k.type, k.size);
    t.column("C").nullable = k.nullable;
    appendTable(dir.file("a.mdb"), t);
    EXPECT_EQ(schema(dir.file("a.mdb"), t.name), std::vector<std::string>{k.expected}) << static_cast<int>(k.type);
  }
}

TEST(TableDefinition, CounterColumnNumbersFromOneAndNeverReuses) {
  test::TempDir dir;
  std::string path = dir.file("a.mdb");
  createDatabase(path);
  TableDefinition t;
  t.name = "T_BasicInf";
  t.appendColumn("RNO", ColumnType::Integer, 0);
  t.appendColumn("Group", ColumnType::VarWChar, 255);
  t.setAutoIncrement("rno");
  t.column("Group").nullable = true;
  EXPECT_THROW(t.setAutoIncrement("Group"), DbError);
  appendTable(path, t);
  EXPECT_EQ(schema(path, "T_BasicInf"), (std::vector<std::string>{"RNO|INTEGER|0|1", "Group|VARCHAR(255)|0|0"}));
  Connection c;
  c.open(path);
  c.execute("INSERT INTO T_BasicInf (Group) VALUES ('a'); INSERT INTO T_BasicInf (Group) VALUES ('A');");
  c.execute("DELETE FROM T_BasicInf WHERE RNO = 2");
  c.execute("INSERT INTO T_BasicInf (Group) VALUES ('b')");
  ReadOnlyRecordSet rs(c, "SELECT group_concat(RNO) AS r, count(*) AS n FROM T_BasicInf WHERE Group = 'A'");
  EXPECT_EQ(rs.field("r").text(), "1");  // NOCASE: 'a' = 'A', the deleted 2 gone
  ReadOnlyRecordSet all(c, "SELECT group_concat(RNO) AS r FROM T_BasicInf");
  EXPECT_EQ(all.field("r").text(), "1,3");
}

TEST(TableDefinition, BadDefinitionsFail) {
  test::TempDir dir;
  std::string path = dir.file("a.mdb");
  createDatabase(path);
  TableDefinition t;
  EXPECT_THROW(t.appendColumn("", ColumnType::Integer, 0), DbError);
  EXPECT_THROW(t.appendColumn("x", ColumnType::VarWChar, -1), DbError);
  EXPECT_THROW(t.createSql(), DbError);  // no name
  t.name = "T_X";
  EXPECT_THROW(appendTable(path, t), DbError);  // no column
  t.appendColumn("a", ColumnType::VarWChar, 10);
  EXPECT_THROW(t.appendColumn("A", ColumnType::Integer, 0), DbError);
  EXPECT_THROW(t.column("b"), DbError);
  EXPECT_THROW(t.setAutoIncrement("a"), DbError);  // text cannot count
  appendTable(path, t);
  EXPECT_THROW(appendTable(path, t), DbError);  // exists
  Connection closed;
  EXPECT_THROW(appendTable(closed, t), DbError);
  EXPECT_THROW(appendTable(dir.file("missing.mdb"), t), DbError);
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing.mdb")));
}

TEST(CreateDatabase, FailsWhenPresentOrUnwritable) {
  test::TempDir dir;
  createDatabase(dir.file("a.mdb"));
  EXPECT_GT(std::filesystem::file_size(dir.file("a.mdb")), 0u);
  EXPECT_THROW(createDatabase(dir.file("a.mdb")), DbError);
  EXPECT_THROW(createDatabase(dir.file("no/such/folder/a.mdb")), DbError);
  std::filesystem::create_directory(dir.file("locked"));
  std::filesystem::permissions(dir.file("locked"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  if (::geteuid() != 0) {
    EXPECT_THROW(createDatabase(dir.file("locked/a.mdb")), DbError);
  }
}

TEST(CompactDatabase, CopiesContentAndRefusesAnExistingDestination) {
  test::TempDir dir;
  std::string work = dir.file("@Tavrix.mdb"), inventory = dir.file("Tavrix.mdb");
  createDatabase(work);
  {
    Connection c;
    c.openPlain(work);
    c.execute("CREATE TABLE T_X (RNO INTEGER PRIMARY KEY AUTOINCREMENT, a TEXT); INSERT INTO T_X (a) VALUES ('x');");
  }
  compactDatabase(work, inventory);
  EXPECT_TRUE(std::filesystem::exists(work));
  {
    Connection c;
    c.open(inventory);
    c.execute("INSERT INTO T_X (a) VALUES ('y')");
    ReadOnlyRecordSet rs(c, "SELECT group_concat(RNO || a) AS v FROM T_X");
    EXPECT_EQ(rs.field("v").text(), "1x,2y");
  }
  std::string before = test::readFile(inventory), workBefore = test::readFile(work);
  EXPECT_THROW(compactDatabase(work, inventory), DbError);
  EXPECT_EQ(test::readFile(inventory), before);
  EXPECT_EQ(test::readFile(work), workBefore);

  test::writeFile(dir.file("text.mdb"), "not a database at all, just some words in a file\n");
  EXPECT_THROW(compactDatabase(dir.file("text.mdb"), dir.file("out.mdb")), DbError);
  EXPECT_THROW(compactDatabase(dir.file("missing.mdb"), dir.file("out.mdb")), DbError);
  EXPECT_THROW(compactDatabase(dir.path() + "/", dir.file("out.mdb")), DbError);
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.mdb")));
}

}  // namespace
}  // namespace tavrix::db
