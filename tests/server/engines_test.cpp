// The two engines behind one seam, run through the same cases: a database file and a database on
// the suite's server must store, number, describe and read back alike.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "platform/db.h"
#include "tests/platform/db_rows.h"
#include "tests/support/server_database.h"
#include "tests/support/test_support.h"

namespace tavrix::db {
namespace {

using Lines = std::vector<std::string>;
enum class Engine { File, Server };

class Engines : public testing::TestWithParam<Engine> {
 protected:
  void SetUp() override {
    if (GetParam() == Engine::File) {
      createDatabase(dir.file("Tavrix.mdb"));
      location = Location(dir.file("Tavrix.mdb"));
    } else {
      server = std::make_unique<test::ServerDatabase>();
      ServerStringProblem problem;
      location = serverLocation(server->connectionString(), problem).value();
    }
    c.open(location);
    TableDefinition basic;
    basic.name = "T_BasicInf";
    basic.appendColumn("RNO", ColumnType::Integer, 0);
    basic.setAutoIncrement("RNO");
    const std::pair<const char*, ColumnType> columns[] = {
        {"PCid", ColumnType::VarWChar},       {"CreateDate", ColumnType::Date}, {"OSVersionID", ColumnType::Integer},
        {"Memo", ColumnType::LongVarWChar},   {"Flag", ColumnType::Boolean},    {"Ratio", ColumnType::Double}};
    for (const auto& [name, type] : columns) {
      basic.appendColumn(name, type, type == ColumnType::VarWChar ? 10 : 0);
      basic.column(name).nullable = true;
    }
    appendTable(c, basic);
  }
  Lines rows(std::string_view jet) { return test::rowsOf(c, jet); }
  void add(std::string_view pcid) {
    Statement insert(c, R"(INSERT INTO "T_BasicInf" ("PCid") VALUES (?1))");
    insert.bind(1, FieldRef(pcid)).run();
  }

  test::TempDir dir;
  std::unique_ptr<test::ServerDatabase> server;
  Location location;
  Connection c;
};

TEST_P(Engines, ValuesComeBackAsTheyWereStored) {
  Statement insert(c, R"(INSERT INTO "T_BasicInf" ("PCid", "CreateDate", "OSVersionID", "Memo", "Flag", "Ratio"))"
                      " VALUES (?1, ?2, ?3, ?4, ?5, ?)");
  const std::vector<Value> stored[] = {
      {"PC01", DateTime{2004, 10, 24, 10, 30, 0}, 5, "", 1, 2.5},
      {"長い名前のコンピューター十一文字", Value(), Value(), Value(), 0, Value()},  // longer than its size: kept whole
      {"pc'02", DateTime{2026, 12, 1, 0, 0, 59}, -3, "x\ty\r\nz", Value(), 0.1},
  };
  for (const auto& row : stored) {
    for (std::size_t i = 0; i < row.size(); ++i) insert.bind(static_cast<int>(i + 1), row[i]);
    insert.run();
  }
  EXPECT_EQ(rows("Select RNO, PCid, CreateDate, OSVersionID, Memo, Flag, Ratio from T_BasicInf order by RNO"),
            (Lines{"1|PC01|2004-10-24 10:30:00|5||1|2.5", "2|長い名前のコンピューター十一文字|<null>|<null>|<null>|0|<null>",
                   "3|pc'02|2026-12-01 00:00:59|-3|x\ty\r\nz|<null>|0.1"}));
  // Read in place. Both compare and order alike once ASCII case is folded by lower(): the file's
  // text columns ignore case by themselves, the server's compare bytes.
  Statement read(c, R"(SELECT "RNO", "PCid" FROM "T_BasicInf" WHERE lower("PCid") LIKE ?1 ORDER BY lower("PCid"), "RNO")");
  read.bind(1, Value("pc%"));
  Lines seen;
  read.forEach([&](const RowView& row) { seen.push_back(std::to_string(row.integer(0)) + ":" + std::string(row.text(1))); });
  EXPECT_EQ(seen, (Lines{"3:pc'02", "1:PC01"}));
}

// The counter numbers as SQLite's AUTOINCREMENT: a rolled-back row uses no number, a deleted
// row's number is not given again, a row added with its own number raises the counter.
TEST_P(Engines, CountersNeverGiveANumberTwice) {
  add("a");
  add("b");
  c.begin();
  add("rolled back");
  c.rollback();
  add("c");
  c.execute("DELETE FROM T_BasicInf WHERE PCid = 'c'");
  add("d");
  c.execute("INSERT INTO T_BasicInf (RNO, PCid) VALUES (10, 'e')");
  add("f");
  EXPECT_EQ(rows("SELECT RNO, PCid FROM T_BasicInf ORDER BY RNO"), (Lines{"1|a", "2|b", "4|d", "10|e", "11|f"}));
  EXPECT_EQ(c.lastNumberGiven("T_BasicInf"), 11);
  EXPECT_EQ(c.lastNumberGiven("T_Other"), std::nullopt);
}

TEST_P(Engines, CatalogueQuestionsIgnoreTheCaseOfNames) {
  EXPECT_TRUE(c.hasTable("T_BasicInf"));
  EXPECT_TRUE(c.hasTable("t_basicinf"));
  EXPECT_FALSE(c.hasTable("T_Basic"));
  EXPECT_FALSE(c.hasTrigger("T_None"));
  EXPECT_EQ(c.tableColumns("t_BasicInf"), (Lines{"RNO", "PCid", "CreateDate", "OSVersionID", "Memo", "Flag", "Ratio"}));
  const bool file = GetParam() == Engine::File;
  EXPECT_EQ(c.columnType("T_BasicInf", "pcid"), file ? "VARCHAR(10)" : "text");
  EXPECT_EQ(c.columnType("T_BasicInf", "CreateDate"), file ? "DATETIME" : "timestamp(0) without time zone");
  EXPECT_EQ(c.columnType("T_BasicInf", "None"), std::nullopt);
  try {
    c.tableColumns("T_None");
    ADD_FAILURE() << "no columns for a missing table";
  } catch (const DbError& e) {
    EXPECT_TRUE(e.missingTable());
  }
  const std::pair<const char*, bool> failing[] = {{"SELECT * FROM T_None", true}, {"SELEKT 1", false}};
  for (const auto& [jet, missing] : failing) {
    try {
      rows(jet);
      ADD_FAILURE() << jet;
    } catch (const DbError& e) {
      EXPECT_EQ(e.missingTable(), missing) << jet;
      EXPECT_FALSE(e.databaseUnusable()) << jet << ": " << e.what();
    }
  }
}

// A reader in a read transaction sees one state while another connection commits.
TEST_P(Engines, AReadTransactionSeesOneState) {
  add("a");
  Connection writer;
  writer.open(location);
  {
    ReadTransaction read(c);
    EXPECT_EQ(rows("SELECT count(*) FROM T_BasicInf"), Lines{"1"});
    writer.begin();
    Statement insert(writer, R"(INSERT INTO "T_BasicInf" ("PCid") VALUES ('b'))");
    insert.run();
    writer.commit();
    EXPECT_EQ(rows("SELECT count(*) FROM T_BasicInf"), Lines{"1"});
  }
  EXPECT_EQ(rows("SELECT count(*) FROM T_BasicInf"), Lines{"2"});
}

// Jet texts of the scripts and the record sets: dates, DELETE with a field list, names as written.
TEST_P(Engines, JetStatementsRunOnBoth) {
  c.execute("INSERT INTO T_BasicInf (PCid, CreateDate, OSVersionID) VALUES ('PC09', #2026/12/01 08:05#, 1)");
  c.execute("INSERT INTO T_BasicInf (PCid) VALUES ('PC10')");
  EXPECT_EQ(rows("Select PCid, CreateDate from T_BasicInf where CreateDate >= #2026/12/01# order by PCid"),
            Lines{"PC09|2026-12-01 08:05:00"});
  c.execute("DELETE PCid FROM T_BasicInf WHERE PCid = 'PC09'");
  EXPECT_EQ(rows("Select PCid from [T_BasicInf]"), Lines{"PC10"});
}

// A statement kept for the session answers for the table as it is now, after a column was added.
TEST_P(Engines, KeptStatementsFollowAChangedTable) {
  add("a");
  const auto columnsRead = [&] {
    Statement read(c, c.translateJet("SELECT * FROM T_BasicInf WHERE PCid = ?"));
    read.bind(1, FieldRef(std::string_view("A")));
    EXPECT_TRUE(read.next());
    const int columns = read.row().columnCount();
    while (read.next()) {
    }
    return columns;
  };
  EXPECT_EQ(columnsRead(), 7);
  c.executeNative(R"(ALTER TABLE "T_BasicInf" ADD COLUMN "Note" text)");
  EXPECT_EQ(columnsRead(), 8);
}

// Rows a table refuses fail their transaction, at its commit at the latest (the server is sent
// them while the next rows are read); the rollback leaves none of them and the session goes on.
TEST_P(Engines, RefusedRowsFailTheirTransaction) {
  TableDefinition detail;
  detail.name = "T_Detail";
  detail.appendColumn("RNO", ColumnType::Integer, 0);
  detail.appendColumn("Name", ColumnType::VarWChar, 50);
  detail.column("Name").nullable = true;
  appendTable(c, detail);
  const std::vector<std::string> names{"RNO", "Name"};
  const FieldRef good[] = {std::int64_t{1}, std::string_view("kept")}, refused[] = {std::monostate{}, std::string_view("no number")};
  const FieldRef basic[] = {std::string_view("PC01")};
  for (const bool askedBeforeCommit : {true, false}) {
    c.begin();
    try {
      UpdatableRecordSet details(c, "Select * from T_Detail");
      details.addNew(names, good);
      details.addNew(names, refused);
      UpdatableRecordSet computers(c, "Select * from T_BasicInf");
      computers.addNew({"PCid"}, basic);  // the refused rows go to the server
      if (askedBeforeCommit) rows("SELECT count(*) FROM T_BasicInf");
      c.commit();
      ADD_FAILURE() << "a NULL number was stored";
    } catch (const DbError& e) {
      EXPECT_FALSE(e.databaseUnusable()) << e.what();
      EXPECT_NE(std::string(e.what()).find("RNO"), std::string::npos) << "the refusal is told: " << e.what();
    }
    c.rollback();
    EXPECT_EQ(rows("SELECT count(*) FROM T_Detail"), Lines{"0"});
    EXPECT_EQ(rows("SELECT count(*) FROM T_BasicInf"), Lines{"0"});
  }
  add("after");
  EXPECT_EQ(rows("SELECT PCid FROM T_BasicInf"), Lines{"after"});
}

// The address space the process has reserved now, in bytes.
unsigned long long addressSpaceNow() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("VmSize:")) return std::stoull(line.substr(7)) * 1024;
  return 0;
}

// In a read transaction a query's rows come a page at a time: every row in order while another
// statement is read beside it, a failure on a later page failing the step that meets it, and a read
// larger than the process may hold whole within its memory.
TEST(ServerEngine, ReadTransactionsReadTheirRowsInPages) {
  test::ServerDatabase server;
  ServerStringProblem problem;
  const Location location = serverLocation(server.connectionString(), problem).value();
  Connection c;
  c.open(location);
  {
    ReadTransaction read(c);
    Statement all(c, "SELECT g FROM generate_series(1, 25001) g ORDER BY g");
    std::int64_t expected = 1;
    while (all.next()) {
      ASSERT_EQ(all.row().integer(0), expected++);
      if (expected % 10000 == 0) {
        EXPECT_EQ(test::rowsOf(c, "SELECT count(*) FROM generate_series(1, 3)"), Lines{"3"});
      }
    }
    EXPECT_EQ(expected, 25002);
  }
  {
    ReadTransaction read(c);
    Statement failing(c, "SELECT 1 / (g - 15000) FROM generate_series(1, 20000) g");
    int delivered = 0;
    EXPECT_THROW(
        {
          while (failing.next()) ++delivered;
        },
        DbError);
    EXPECT_EQ(delivered, 10000);  // the first page
  }
  EXPECT_EQ(test::rowsOf(c, "SELECT 1"), Lines{"1"});
  // 400 MB of rows through a process allowed 256 MB more than it holds now.
  const test::ChildRun large = test::runBounded(
      [&] {
        Connection own;
        own.open(location);
        ReadTransaction read(own);
        Statement rows(own, "SELECT g, repeat('x', 400) FROM generate_series(1, 1000000) g");
        std::int64_t count = 0, bytes = 0;
        while (rows.next()) {
          ++count;
          bytes += static_cast<std::int64_t>(rows.row().text(1).size());
        }
        return count == 1000000 && bytes == 400000000 ? 0 : 1;
      },
      120, addressSpaceNow() + (256ULL << 20));
  EXPECT_EQ(large.status, 0) << "signal " << large.signal;
}

// A server database that is not UTF-8 could not keep the inventories' text: it is not opened.
TEST(ServerEngine, ADatabaseThatIsNotUtf8IsNotOpened) {
  test::ServerDatabase server;
  const std::string name = server.name() + "_ascii";
  server.rows("CREATE DATABASE " + name + " TEMPLATE template0 ENCODING 'SQL_ASCII' LC_COLLATE 'C' LC_CTYPE 'C'");
  ServerStringProblem problem;
  Connection c;
  try {
    c.open(serverLocation("host=" + test::serverSocketFolder() + " user=postgres dbname=" + name, problem).value());
    ADD_FAILURE() << "opened";
  } catch (const DbError& e) {
    EXPECT_EQ(std::string(e.what()), "the server database is not UTF-8 (SQL_ASCII)");
    EXPECT_TRUE(e.databaseUnusable());
  }
  EXPECT_FALSE(c.isOpen());
  server.rows("DROP DATABASE " + name);
}

INSTANTIATE_TEST_SUITE_P(FileAndServer, Engines, testing::Values(Engine::File, Engine::Server),
                         [](const testing::TestParamInfo<Engine>& info) { return info.param == Engine::File ? "File" : "Server"; });

}  // namespace
}  // namespace tavrix::db
