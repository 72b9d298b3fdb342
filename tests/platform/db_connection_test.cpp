// Connection: which files open, the inventory tuning, statement execution and its errors.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "platform/db.h"
#include "tests/support/test_support.h"

namespace tavrix::db {
namespace {

std::string pragmaText(Connection& c, const char* pragma) {
  ReadOnlyRecordSet rs(c, pragma);
  return rs.field(rs.fieldNames().at(0)).text();
}

TEST(Connection, OpensOnlyExistingDatabases) {
  test::TempDir dir;
  test::writeFile(dir.file("text.mdb"), "this is a text file, not a database, long enough to be read\n");
  test::writeFile(dir.file("sub/keep"), "");
  createDatabase(dir.file("ok.mdb"));
  struct Case {
    const char* name;
    std::string path;
    bool opens;
  };
  const Case cases[] = {
      {"existing", dir.file("ok.mdb"), true},
      {"missing", dir.file("missing.mdb"), false},
      {"folder", dir.file("sub"), false},
      {"folder with slash (empty MDB_NAME)", dir.path() + "/", false},
      {"not a database", dir.file("text.mdb"), false},
  };
  for (const auto& c : cases) {
    for (bool plain : {false, true}) {
      Connection connection;
      bool opened = true;
      try {
        plain ? connection.openPlain(c.path) : connection.open(c.path);
      } catch (const DbError&) {
        opened = false;
      }
      EXPECT_EQ(opened, c.opens) << c.name << (plain ? " (plain)" : "");
      EXPECT_EQ(connection.isOpen(), c.opens) << c.name;
    }
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing.mdb"))) << "a failed open must not create the file";
  EXPECT_EQ(test::readFile(dir.file("text.mdb")).substr(0, 9), "this is a");
}

TEST(Connection, InventoryOpenUsesWalAndLeavesNoFilesAfterClose) {
  test::TempDir dir;
  std::string path = dir.file("Tavrix.mdb");
  createDatabase(path);
  Connection c;
  c.open(path);
  EXPECT_EQ(pragmaText(c, "PRAGMA journal_mode"), "wal");
  EXPECT_EQ(pragmaText(c, "PRAGMA synchronous"), "1");
  EXPECT_EQ(pragmaText(c, "PRAGMA cache_size"), "-65536");
  c.execute("CREATE TABLE T_X (a TEXT)");
  c.execute("INSERT INTO T_X VALUES ('x')");
  c.close();
  EXPECT_FALSE(c.isOpen());
  EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
  EXPECT_FALSE(std::filesystem::exists(path + "-shm"));
  c.openPlain(path);  // a closed connection opens again
  EXPECT_EQ(pragmaText(c, "SELECT count(*) FROM T_X"), "1");
}

TEST(Connection, ExecuteTranslatesAndReportsErrors) {
  test::TempDir dir;
  createDatabase(dir.file("a.mdb"));
  Connection c;
  c.openPlain(dir.file("a.mdb"));
  c.execute("CREATE TABLE T_Users (PCid TEXT, \"Group\" TEXT, CreateDate DATETIME); CREATE INDEX ix ON T_Users (PCid);");
  c.execute("INSERT INTO T_Users VALUES ('PC01', 'Admins', #2024/01/02 10:30#)");
  c.execute("INSERT INTO T_Users VALUES ('PC02', 'Users', #2024/01/02 10:30#)");
  c.execute("Delete PCid,CreateDate FROM T_Users Where PCid = 'PC01'");
  EXPECT_EQ(pragmaText(c, "SELECT count(*) || '/' || min(Group) || '/' || min(CreateDate) FROM T_Users"),
            "1/Users/2024-01-02 10:30:00");
  c.execute("DROP INDEX ix ON T_Users");

  struct Case {
    const char* sql;
    bool missingTable;
    const char* message;
  };
  const Case cases[] = {
      {"DROP TABLE T_None", true, "no such table: T_None"},
      {"INSERT INTO T_None VALUES (1)", true, "no such table: T_None"},
      {"DROP INDEX ix ON T_Users", false, "no such index: ix"},
      {"CREATE TABLE T_Users (a)", false, "table T_Users already exists"},
      {"SELEC 1", false, "near \"SELEC\": syntax error"},
  };
  for (const auto& k : cases) {
    try {
      c.execute(k.sql);
      ADD_FAILURE() << k.sql << " did not fail";
    } catch (const DbError& e) {
      EXPECT_EQ(e.missingTable(), k.missingTable) << k.sql;
      EXPECT_STREQ(e.what(), k.message) << k.sql;
      EXPECT_NE(e.code(), 0);
    }
  }
}

TEST(Connection, RollbackDiscardsAndCommitKeeps) {
  test::TempDir dir;
  createDatabase(dir.file("a.mdb"));
  Connection c;
  c.open(dir.file("a.mdb"));
  c.execute("CREATE TABLE t (a INTEGER)");
  c.rollback();  // nothing open: no-op
  c.begin();
  EXPECT_TRUE(c.inTransaction());
  c.execute("INSERT INTO t VALUES (1)");
  c.rollback();
  EXPECT_FALSE(c.inTransaction());
  c.begin();
  c.execute("INSERT INTO t VALUES (2)");
  c.commit();
  EXPECT_EQ(pragmaText(c, "SELECT group_concat(a) FROM t"), "2");
}

TEST(Connection, CachedStatementsAreResetAndReused) {
  test::TempDir dir;
  createDatabase(dir.file("a.mdb"));
  Connection c;
  c.openPlain(dir.file("a.mdb"));
  c.execute("CREATE TABLE t (a)");
  sqlite3_stmt* first = c.prepareCached("INSERT INTO t VALUES (?)");
  bindValue(first, 1, Value("x"));
  runToEnd(first);
  sqlite3_stmt* second = c.prepareCached("INSERT INTO t VALUES (?)");
  EXPECT_EQ(first, second);
  runToEnd(second);  // bindings were cleared: NULL
  EXPECT_EQ(pragmaText(c, "SELECT count(*) || ':' || count(a) FROM t"), "2:1");
  EXPECT_THROW(c.tableColumns("T_None"), DbError);
  EXPECT_EQ(c.tableColumns("t"), std::vector<std::string>{"a"});
  c.execute("DROP TABLE t; CREATE TABLE t (b, c)");
  EXPECT_EQ(c.tableColumns("t"), (std::vector<std::string>{"b", "c"}));
}

TEST(Value, TextAndInteger) {
  struct Case {
    Value value;
    const char* text;
    std::int64_t integer;
    bool null;
  };
  const Case cases[] = {
      {Value(), "", 0, true},
      {Value(""), "", 0, false},
      {Value(42), "42", 42, false},
      {Value(std::int64_t{-7}), "-7", -7, false},
      {Value(5.1), "5.1", 5, false},
      {Value(2.5), "2.5", 2, false},
      {Value(" 12 "), " 12 ", 12, false},
      {Value("01"), "01", 1, false},
      {Value("5.1.2600"), "5.1.2600", 0, false},
      {Value("abc"), "abc", 0, false},
      {Value(DateTime{2024, 1, 2, 3, 4, 5}), "2024-01-02 03:04:05", 0, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.value.text(), c.text);
    EXPECT_EQ(c.value.toInt(), c.integer) << c.text;
    EXPECT_EQ(c.value.isNull(), c.null) << c.text;
  }
}

}  // namespace
}  // namespace tavrix::db
