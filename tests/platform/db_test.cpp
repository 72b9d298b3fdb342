// The SQLite layer on real files: opening, the Jet-to-SQLite rewrites, statements and their errors,
// values, record sets and table definitions.
#include <gtest/gtest.h>

#include "platform/db.h"
#include "platform/jet_dialect.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "tests/platform/db_rows.h"
#include "tests/support/test_support.h"

namespace tavrix::db {
namespace {

using Lines = std::vector<std::string>;

// An inventory-shaped database, opened as the import opens it.
class Db : public testing::Test {
 protected:
  void SetUp() override {
    createDatabase(path);
    c.open(path);
    c.execute("CREATE TABLE T_BasicInf (RNO INTEGER PRIMARY KEY AUTOINCREMENT, PCid VARCHAR(255) COLLATE NOCASE,"
              " CreateDate DATETIME, ComputerName TEXT, OSVersionID INTEGER);"
              "CREATE TABLE T_Users (RNO INTEGER, TypeNo TEXT, \"Group\" TEXT COLLATE NOCASE, \"User\", Cmnt TEXT)");
  }
  Lines rows(std::string_view sql) { return test::rowsOf(c, sql); }

  test::TempDir dir;
  std::string path = dir.file("Tavrix.mdb");
  Connection c;
};

TEST_F(Db, OnlyExistingDatabasesOpenOrCompact) {
  const std::string words = "this is a text file, not a database, long enough to be read\n";
  test::writeFile(dir.file("text.mdb"), words);
  const std::pair<const char*, std::string> failing[] = {
      {"missing", dir.file("missing.mdb")},
      {"folder (empty MDB_NAME)", dir.path() + "/"},
      {"not a database", dir.file("text.mdb")}};
  for (const auto& [name, p] : failing) {
    Connection inventory, plain;
    EXPECT_THROW(inventory.open(p), DbError) << name;
    EXPECT_THROW(plain.openPlain(p), DbError) << name;
    EXPECT_FALSE(inventory.isOpen() || plain.isOpen()) << name;
    EXPECT_THROW(compactDatabase(p, dir.file("out.mdb")), DbError) << name;
  }
  EXPECT_EQ(test::readFile(dir.file("text.mdb")), words);
  EXPECT_THROW(createDatabase(path), DbError);
  EXPECT_THROW(createDatabase(dir.file("no/such/a.mdb")), DbError);
  c.execute("INSERT INTO T_Users (RNO) VALUES (1)");
  c.close();
  EXPECT_EQ(*paths::listFiles(dir.path(), "*"), (Lines{"Tavrix.mdb", "text.mdb"}));  // no -wal, -shm left
}

// Each rewritten form, and text that must pass unchanged.
TEST(TranslateJet, RewrittenFormsAndPassThrough) {
  struct Case {
    const char* name;
    const char* jet;
    const char* sqlite;
  };
  const Case cases[] = {
      {"minute", "Where PCid = 'PC01' and d = #2024/01/02 10:30#", "Where PCid = 'PC01' and d = '2024-01-02 10:30:00'"},
      {"seconds", "x = #2024/12/31 23:59:58#", "x = '2024-12-31 23:59:58'"},
      {"date only", "x < #2004/02/03#", "x < '2004-02-03 00:00:00'"},
      {"no real date", "x = #2004/02/30 00:00#", "x = #2004/02/30 00:00#"},
      {"hash, no date", "SELECT '#' || a || '#' FROM t", "SELECT '#' || a || '#' FROM t"},
      {"date inside a literal", "x = '#2024/01/02 10:30#'", "x = '#2024/01/02 10:30#'"},
      {"delete field list", "Delete PCid,CreateDate FROM T_Device Where a=1", "Delete FROM T_Device Where a=1"},
      {"delete star", "DELETE * FROM T_X;", "DELETE FROM T_X;"},
      {"delete from", "DELETE FROM T_X WHERE a=1", "DELETE FROM T_X WHERE a=1"},
      {"drop index on", "DROP INDEX IX_T_X_PCid ON T_X;", "DROP INDEX IX_T_X_PCid;"},
      {"drop index without ON", "drop index if exists ix", "drop index if exists ix"},
      {"Group", "SELECT distinct Group FROM t order by Group",
       "SELECT distinct \"Group\" FROM t order by \"Group\", \"Group\" COLLATE BINARY"},
      {"Users and User", "SELECT Users,User FROM t order by User", "SELECT Users,\"User\" FROM t order by \"User\", \"User\" COLLATE BINARY"},
      {"order ties in byte order", "SELECT * FROM T_Drive where RNO=1 order by t.DriveLetter DESC,Size,len(x)",
       "SELECT * FROM T_Drive where RNO=1 order by t.DriveLetter DESC, t.DriveLetter COLLATE BINARY DESC,Size, Size COLLATE BINARY,len(x)"},
      {"GROUP BY", "SELECT PCid FROM T_X GROUP BY PCid", "SELECT PCid FROM T_X GROUP BY PCid"},
      {"group by over a line end", "select a from t group\nby a", "select a from t group\nby a"},
      {"Group in a literal", "x = 'Group User'", "x = 'Group User'"},
      {"already quoted", "SELECT [Group], \"User\" FROM T_Users", "SELECT [Group], \"User\" FROM T_Users"},
      {"longer words", "SELECT Groups, UserName, T_Users FROM x", "SELECT Groups, UserName, T_Users FROM x"},
      {"Japanese", "VALUES ('ウィルス対策ソフト', 1);", "VALUES ('ウィルス対策ソフト', 1);"},
      {"unterminated literal", "x = 'abc Group", "x = 'abc Group"},
      {"empty", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(translateJet(c.jet), c.sqlite) << c.name;
}

// For a server every name is quoted as written (it would fold bare names to lower case), SQL's own
// words, numbers and functions stay bare.
TEST(TranslateJet, QuotedNamesForAServer) {
  const std::pair<const char*, const char*> cases[] = {
      {"Select * from T_BasicInf where RNO = 5", "Select * from \"T_BasicInf\" where \"RNO\" = 5"},
      {"INSERT INTO T_Version (VERSION, VLDATA, RLSDATE) VALUES (1, 'Tavrix 1.0', #2026/12/01 00:00#);",
       "INSERT INTO \"T_Version\" (\"VERSION\", \"VLDATA\", \"RLSDATE\") VALUES (1, 'Tavrix 1.0', '2026-12-01 00:00:00');"},
      {"CREATE INDEX IX_Drive ON T_Drive(PCid)", "CREATE INDEX \"IX_Drive\" ON \"T_Drive\"(\"PCid\")"},
      {"SELECT count(*), max(RNO) FROM T_Users GROUP BY Group", "SELECT count(*), max(\"RNO\") FROM \"T_Users\" GROUP BY \"Group\""},
      {"SELECT [Group], \"User\", User FROM T_Users", "SELECT \"Group\", \"User\", \"User\" FROM \"T_Users\""},
      {"Delete PCid FROM T_Device Where ComputerName LIKE 'Pc%' AND x IS NOT NULL",
       "Delete FROM \"T_Device\" Where \"ComputerName\" LIKE 'Pc%' AND \"x\" IS NOT NULL"},
      {"DROP TABLE 在庫", "DROP TABLE \"在庫\""},
  };
  for (const auto& [jet, server] : cases) EXPECT_EQ(translateJet(jet, JetNames::QuotedNames), server) << jet;
  // With the catalogue: names as it spells them, text compared and ordered without regard to case,
  // NULL first in an ascending order as on the file.
  const ServerNames known = [](std::string_view name) -> std::optional<ServerName> {
    if (text::equalsNoCase(name, "deviceNo")) return ServerName{"deviceNo", true};
    if (name == "Version" || name == "Group" || name == "TypeNo") return ServerName{std::string(name), true};
    if (text::equalsNoCase(name, "VERSION")) return ServerName{"VERSION", false};
    if (text::equalsNoCase(name, "RNO")) return ServerName{"RNO", false};
    return std::nullopt;
  };
  const std::pair<const char*, const char*> folded[] = {
      {"SELECT * FROM T where RNO=1 order by DeviceNo", R"(SELECT * FROM "T" where "RNO"=1 order by lower("deviceNo") NULLS FIRST, "deviceNo" NULLS FIRST)"},
      {"SELECT distinct Group FROM T_Users where RNO=2 order by Group DESC",
       R"(SELECT distinct "Group", lower("Group") FROM "T_Users" where "RNO"=2 order by lower("Group") DESC NULLS LAST, "Group" DESC NULLS LAST)"},
      {R"(SELECT * FROM T where TypeNo=1 and t.Version LIKE ?1 ESCAPE '\')",
       R"(SELECT * FROM "T" where lower("TypeNo")=lower(('1') COLLATE "C") and lower("t"."Version") LIKE lower((?1) COLLATE "C") ESCAPE '\')"},
      {"SELECT a FROM T WHERE Version IS ?2 ORDER BY Version COLLATE NOCASE, Version COLLATE BINARY",
       R"(SELECT "a" FROM "T" WHERE lower("Version") IS NOT DISTINCT FROM lower((?2) COLLATE "C") ORDER BY lower("Version") NULLS FIRST, "Version" NULLS FIRST)"},
      {"UPDATE T SET Version=?1 WHERE Version=?2", R"(UPDATE "T" SET "Version"=?1 WHERE lower("Version")=lower((?2) COLLATE "C"))"},
      {"INSERT INTO T_Version (version) VALUES (1)", R"(INSERT INTO "T_Version" ("VERSION") VALUES (1))"},
      {"CREATE UNIQUE INDEX IX ON T (DeviceNo, RNO)", R"(CREATE UNIQUE INDEX "IX" ON "T" (lower("deviceNo"), "RNO"))"},
  };
  for (const auto& [sql, server] : folded) {
    EXPECT_EQ(translateJet(sql, JetNames::QuotedNames, known), server) << sql;
    EXPECT_EQ(translateJet(server, JetNames::QuotedNames, known), server) << "translated twice: " << sql;
  }
}

TEST_F(Db, ExecuteTranslatesAndReportsErrors) {
  c.execute("INSERT INTO T_Users (RNO, Group, User) VALUES (1, 'Admins', 'a'); CREATE INDEX ix ON T_Users (Group);"
            "INSERT INTO T_Users (RNO, Group) VALUES (2, 'Users')");
  c.execute("Delete RNO,Group FROM T_Users Where Group = 'admins'");
  c.execute("DROP INDEX ix ON T_Users");
  c.rollback();  // nothing open: nothing to do
  c.begin();
  c.execute("INSERT INTO T_Users (RNO) VALUES (3)");
  c.rollback();
  EXPECT_EQ(rows("SELECT RNO, Group, User FROM T_Users"), Lines{"2|Users|<null>"});
  const std::tuple<const char*, bool, const char*> cases[] = {
      {"DROP TABLE T_None", true, "no such table: T_None"},
      {"DROP INDEX ix ON T_Users", false, "no such index: ix"},
      {"CREATE TABLE T_Users (a)", false, "table T_Users already exists"},
      {"SELEC 1", false, "near \"SELEC\": syntax error"},
  };
  for (const auto& [sql, missingTable, message] : cases) {
    try {
      c.execute(sql);
      ADD_FAILURE() << sql << " did not fail";
    } catch (const DbError& e) {
      EXPECT_EQ(e.missingTable(), missingTable) << sql;
      EXPECT_STREQ(e.what(), message) << sql;
    }
  }
}

TEST(Location, OnlyASharedFileKeepsFilesBesideIt) {
  const std::tuple<Location, bool, std::optional<std::string>> cases[] = {
      {Location("/srv/inv/Tavrix.mdb"), true, "/srv/inv/Tavrix.mdb.counts"},
      {Location(":memory:"), false, std::nullopt},
      {Location(), false, std::nullopt}};
  for (const auto& [location, shared, counts] : cases) {
    EXPECT_EQ(location.isSharedFile(), shared) << location.shown();
    EXPECT_EQ(location.besideFile(".counts"), counts) << location.shown();
  }
}

TEST(Value, NullIsNotEmptyAndTextGivesItsNumber) {
  const std::tuple<Value, const char*, std::int64_t, bool> cases[] = {
      {Value(), "", 0, true},          {Value(""), "", 0, false},         {Value(2.5), "2.5", 2, false},
      {Value(" 12 "), " 12 ", 12, false}, {Value("01"), "01", 1, false}, {Value("5.1.2600"), "5.1.2600", 0, false},
      {Value(DateTime{2024, 1, 2, 3, 4, 5}), "2024-01-02 03:04:05", 0, false},
  };
  for (const auto& [value, text, integer, null] : cases) {
    EXPECT_EQ(value.text(), text);
    EXPECT_EQ(value.toInt(), integer) << text;
    EXPECT_EQ(value.isNull(), null) << text;
  }
}

TEST_F(Db, UpdatableRecordSetsAddAndChangeRows) {
  UpdatableRecordSet users(c, "Select * from T_Users");
  users.addNew({"RNO", "TypeNo", "Group", "User", "Cmnt"}, {1, "01", "Admins", "taro", ""});
  users.addNew({"RNO", "TypeNo", "Group", "User", "Cmnt"}, {1, "1", "Users", "taro", Value()});
  EXPECT_THROW(users.addNew({"RNO", "Bogus"}, {1, "x"}), DbError);
  EXPECT_THROW(users.addNew({"RNO", "Cmnt"}, {1}), DbError);
  users.close();
  EXPECT_EQ(rows("SELECT distinct Group, TypeNo, Cmnt FROM T_Users where RNO=1 order by Group"),
            (Lines{"Admins|01|", "Users|1|<null>"}));
  for (const char* pc : {"PC01", "O'Neil"}) {
    UpdatableRecordSet basic(c, "Select * from T_BasicInf");
    basic.addNew();
    basic.setField("PCid", Value(pc));
    basic.setField("createdate", Value(DateTime{2024, 5, 6, 7, 8, 0}));
    EXPECT_THROW(basic.setField("NoSuchField", Value("x")), DbError);
    basic.update();
    EXPECT_EQ(basic.field("RNO").toInt(), pc[0] == 'P' ? 1 : 2);  // the number just given
  }
  EXPECT_EQ(rows("Select RNO from T_BasicInf Where PCid = 'o''neil' and CreateDate = #2024/05/06 07:08#"), Lines{"2"});
  // Only the selected row changes.
  {
    UpdatableRecordSet rs(c, "Select * from T_BasicInf where RNO = 2");
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.field("pcid").text(), "O'Neil");
    EXPECT_THROW(rs.field("Bogus"), DbError);
    rs.setField("computername", Value("first"));
    rs.setField("ComputerName", Value("HOST-2"));  // the last value set is stored
    EXPECT_THROW(rs.setField("Bogus", Value("x")), DbError);  // one bad field keeps the others
    rs.setField("OSVersionID", Value(5));
    rs.update();
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_THROW(rs.setField("ComputerName", Value("x")), DbError);
  }
  EXPECT_EQ(rows("SELECT PCid, ComputerName, OSVersionID FROM T_BasicInf"),
            (Lines{"PC01|<null>|<null>", "O'Neil|HOST-2|5"}));
  ReadOnlyRecordSet none(c, "SELECT * FROM T_BasicInf WHERE RNO = 9");
  EXPECT_THROW(none.field("RNO"), DbError);
  EXPECT_THROW(none.moveNext(), DbError);
  EXPECT_THROW(UpdatableRecordSet(c, "Select * from T_Device"), DbError);
  EXPECT_THROW(UpdatableRecordSet(c, "Select PCid from T_BasicInf"), DbError);
}

TEST_F(Db, StatementsBindReadInPlaceAndStartOverAfterEveryRun) {
  c.execute("CREATE TABLE Kept (Kind INTEGER, Key BLOB, Note TEXT)");
  const std::string key("a\0b", 3);
  {
    Statement insert(c, "INSERT INTO Kept VALUES (?1, ?2, ?3)");
    insert.bind(1, Value(7)).bindBytes(2, key).bind(3, Value("seven"));
    insert.run();
    insert.bind(1, FieldRef(std::int64_t{8})).bindBytes(2, std::string_view()).bind(3, FieldRef(std::string_view("")));
    insert.run();
    insert.bind(1, Value(9));  // the rest unbound: NULL, not the last row's values
    insert.run();
  }
  Lines read;
  Statement select(c, "SELECT Kind, Key, Note FROM Kept WHERE Kind >= ?1 ORDER BY Kind");
  select.bind(1, Value(8));
  select.forEach([&](const RowView& row) {
    read.push_back(std::to_string(row.integer(0)) + "|" + std::to_string(row.bytes(1).size()) + "|" +
                   (row.isNull(2) ? "<null>" : std::string(row.text(2))) + "|" + row.value(1).text());
  });
  EXPECT_EQ(read, (Lines{"8|0||", "9|0|<null>|"}));
  select.bind(1, Value(0));  // ended: bound and run again from the first row
  ASSERT_TRUE(select.next());
  EXPECT_EQ(select.row().integer(0), 7);
  EXPECT_EQ(select.row().bytes(1), key);
  EXPECT_EQ(select.row().columnCount(), 3);
  EXPECT_THROW(Statement(c, "SELECT * FROM Missing"), DbError);
}

// A scan's small cache ends with it: the import goes on with the connection's own.
TEST_F(Db, FewPagesCachedForAScanThenTheConnectionsOwnCacheAgain) {
  EXPECT_EQ(rows("PRAGMA cache_size"), (Lines{"-65536"}));
  {
    FewPagesCached scan(c);
    EXPECT_EQ(rows("PRAGMA cache_size"), (Lines{"-2048"}));
  }
  EXPECT_EQ(rows("PRAGMA cache_size"), (Lines{"-65536"}));
}

TEST_F(Db, CatalogueAnswersWhatTablesTriggersColumnsAndCountersThereAre) {
  Connection bare;  // no counter column anywhere: the engine keeps no numbers at all
  createDatabase(dir.file("bare.mdb"));
  bare.open(dir.file("bare.mdb"));
  bare.execute("CREATE TABLE Plain (Name TEXT)");
  EXPECT_EQ(bare.lastNumberGiven("Plain"), std::nullopt);
  EXPECT_EQ(c.lastNumberGiven("T_BasicInf"), std::nullopt);  // none given yet
  c.execute("INSERT INTO T_BasicInf (PCid) VALUES ('PC01'); INSERT INTO T_BasicInf (PCid) VALUES ('PC02');"
            "DELETE FROM T_BasicInf;"
            "CREATE TRIGGER Counted AFTER UPDATE ON T_Users BEGIN SELECT 1; END");
  EXPECT_EQ(c.lastNumberGiven("T_BasicInf"), 2);  // deleted rows keep their numbers used
  EXPECT_EQ(c.lastNumberGiven("T_Users"), std::nullopt);
  const std::tuple<const char*, bool, bool> names[] = {
      {"T_BasicInf", true, false}, {"t_users", true, false}, {"Counted", false, true}, {"T_Device", false, false}};
  for (const auto& [name, table, trigger] : names) {
    EXPECT_EQ(c.hasTable(name), table) << name;
    EXPECT_EQ(c.hasTrigger(name), trigger) << name;
  }
  const std::tuple<const char*, const char*, std::optional<std::string>> columns[] = {
      {"T_BasicInf", "pcid", "VARCHAR(255)"}, {"T_Users", "User", ""}, {"T_Users", "Missing", std::nullopt},
      {"T_Device", "RNO", std::nullopt}};
  for (const auto& [table, column, type] : columns) EXPECT_EQ(c.columnType(table, column), type) << table << "." << column;
}

// The script tests reach every type through its type word; these are the ones no word gives.
TEST_F(Db, TypeCodesNoScriptGivesBecomeTheirDeclaredType) {
  const std::tuple<ColumnType, int, bool, const char*> cases[] = {
      {ColumnType::VarWChar, 0, true, "VARCHAR(255)|0"}, {ColumnType::Empty, 0, true, "|0"},
      {ColumnType::SmallInt, 0, false, "SMALLINT|1"}};
  int n = 0;
  for (const auto& [type, size, nullable, expected] : cases) {
    TableDefinition t;
    t.name = "T_" + std::to_string(++n);
    t.appendColumn("c", type, size);
    t.column("C").nullable = nullable;
    appendTable(path, t);
    EXPECT_EQ(rows("SELECT type, \"notnull\" FROM pragma_table_info('" + t.name + "')"), Lines{expected}) << n;
  }
}

TEST_F(Db, CounterNumbersFromOneAndNeverReuses) {
  TableDefinition t;
  t.name = "T_Count";
  t.appendColumn("RNO", ColumnType::Integer, 0);
  t.appendColumn("Group", ColumnType::VarWChar, 255);
  t.setAutoIncrement("rno");
  appendTable(path, t);
  EXPECT_THROW(appendTable(path, t), DbError);
  c.execute("INSERT INTO T_Count (Group) VALUES ('a'); INSERT INTO T_Count (Group) VALUES ('b');"
            "DELETE FROM T_Count WHERE RNO = 2; INSERT INTO T_Count (Group) VALUES ('c')");
  EXPECT_EQ(rows("SELECT group_concat(RNO) FROM T_Count"), Lines{"1,3"});
}

}  // namespace
}  // namespace tavrix::db
