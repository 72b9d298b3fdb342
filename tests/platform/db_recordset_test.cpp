// Record sets over a real inventory-shaped database: reading, adding rows, changing a selected row.
#include <gtest/gtest.h>

#include "platform/db.h"
#include "tests/support/test_support.h"

namespace tavrix::db {
namespace {

class RecordSets : public testing::Test {
 protected:
  void SetUp() override {
    createDatabase(dir.file("Tavrix.mdb"));
    c.open(dir.file("Tavrix.mdb"));
    c.execute(
        "CREATE TABLE T_BasicInf (RNO INTEGER PRIMARY KEY AUTOINCREMENT, PCid VARCHAR(255) COLLATE NOCASE,"
        " CreateDate DATETIME, ComputerName VARCHAR(255) COLLATE NOCASE, OSVersionID INTEGER);"
        "CREATE TABLE T_WinUpdate (RNO INTEGER, PCid VARCHAR(255) COLLATE NOCASE, TypeNo VARCHAR(255) COLLATE NOCASE,"
        " WinUpdName VARCHAR(255) COLLATE NOCASE, WinUpdCmnt TEXT COLLATE NOCASE);"
        "CREATE TABLE T_Users (RNO INTEGER, \"Group\" VARCHAR(255) COLLATE NOCASE, Users VARCHAR(255) COLLATE NOCASE,"
        " \"User\" VARCHAR(255) COLLATE NOCASE);");
  }

  // One column of every row of a query, as text, NULL shown as <null>.
  std::vector<std::string> column(const std::string& sql, const std::string& field) {
    std::vector<std::string> out;
    for (ReadOnlyRecordSet rs(c, sql); !rs.eof(); rs.moveNext()) {
      Value v = rs.field(field);
      out.push_back(v.isNull() ? "<null>" : v.text());
    }
    return out;
  }

  void addUpdate(int rno, const char* type, const char* name, Value comment) {
    UpdatableRecordSet rs(c, "Select * from T_WinUpdate");
    rs.addNew({"RNO", "PCid", "TypeNo", "WinUpdName", "WinUpdCmnt"}, {rno, "PC01", type, name, comment});
    rs.update();
    rs.close();
  }

  test::TempDir dir;
  Connection c;
};

TEST_F(RecordSets, AddedRowsKeepTextNullAndOrder) {
  addUpdate(1, "1", "KB2", Value(""));
  addUpdate(1, "01", "kb1", Value());
  addUpdate(1, "1", "Kb3", Value("it's ok"));
  addUpdate(2, "1", "KB9", Value("other snapshot"));
  EXPECT_EQ(column("SELECT * FROM T_WinUpdate where RNO=1 and TypeNo=1 order by WinUpdName", "winupdname"),
            (std::vector<std::string>{"KB2", "Kb3"}));
  EXPECT_EQ(column("SELECT * FROM T_WinUpdate where RNO=1 order by WinUpdName", "WinUpdCmnt"),
            (std::vector<std::string>{"<null>", "", "it's ok"}));
  EXPECT_EQ(column("SELECT * FROM T_WinUpdate where RNO=1 order by WinUpdName", "TypeNo"),
            (std::vector<std::string>{"01", "1", "1"}));
}

TEST_F(RecordSets, ReadOnlyFailures) {
  ReadOnlyRecordSet empty(c, "SELECT * FROM T_BasicInf");
  EXPECT_TRUE(empty.eof());
  EXPECT_THROW(empty.field("RNO"), DbError);
  EXPECT_THROW(empty.moveNext(), DbError);
  EXPECT_THROW(ReadOnlyRecordSet(c, "SELECT * FROM T_None"), DbError);
  addUpdate(1, "1", "KB1", Value(""));
  ReadOnlyRecordSet rs(c, "SELECT * FROM T_WinUpdate");
  EXPECT_THROW(rs.field("NoSuchField"), DbError);
  EXPECT_EQ(rs.fieldNames(), (std::vector<std::string>{"RNO", "PCid", "TypeNo", "WinUpdName", "WinUpdCmnt"}));
  rs.close();
  EXPECT_TRUE(rs.eof());
}

TEST_F(RecordSets, BasicRowAddedFieldByFieldThenFoundByMinute) {
  DateTime created{2024, 5, 6, 7, 8, 0};
  for (const char* pc : {"PC01", "O'Neil"}) {
    UpdatableRecordSet rs(c, "Select * from T_BasicInf");
    rs.addNew();
    rs.setField("PCid", Value(pc));
    rs.setField("createdate", Value(created));
    EXPECT_THROW(rs.setField("NoSuchField", Value("x")), DbError);
    rs.update();
    rs.close();
  }
  EXPECT_EQ(column("Select * from T_BasicInf Where PCid = 'O''Neil' and CreateDate = #2024/05/06 07:08#", "RNO"),
            std::vector<std::string>{"2"});
  EXPECT_EQ(column("Select * from T_BasicInf Where PCid = 'pc01'", "CreateDate"),
            std::vector<std::string>{"2024-05-06 07:08:00"});
  EXPECT_EQ(c.lastInsertRowId(), 2);
}

TEST_F(RecordSets, SelectedRowIsChangedAndOthersAreNot) {
  for (const char* pc : {"PC01", "PC02"}) {
    UpdatableRecordSet rs(c, "Select * from T_BasicInf");
    rs.addNew({"PCid"}, {pc});
    rs.update();
  }
  {
    UpdatableRecordSet rs(c, "Select * from T_BasicInf where RNO = 2");
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.field("PCid").text(), "PC02");
    rs.setField("ComputerName", Value("HOST-2"));
    EXPECT_THROW(rs.setField("Bogus", Value("x")), DbError);  // one bad field keeps the others
    rs.setField("OSVersionID", Value(5));
    rs.update();
    EXPECT_EQ(rs.field("ComputerName").text(), "HOST-2");
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_THROW(rs.setField("ComputerName", Value("x")), DbError);
  }
  EXPECT_EQ(column("SELECT * FROM T_BasicInf", "ComputerName"), (std::vector<std::string>{"<null>", "HOST-2"}));
  EXPECT_EQ(column("SELECT * FROM T_BasicInf", "OSVersionID"), (std::vector<std::string>{"<null>", "5"}));
  UpdatableRecordSet none(c, "Select * from T_BasicInf where RNO = 99");
  EXPECT_TRUE(none.eof());
  EXPECT_THROW(none.setField("ComputerName", Value("x")), DbError);
}

TEST_F(RecordSets, UpdatableFailures) {
  try {
    UpdatableRecordSet rs(c, "Select * from T_Device");
    ADD_FAILURE() << "a missing table must fail at open";
  } catch (const DbError& e) {
    EXPECT_TRUE(e.missingTable());
    EXPECT_STREQ(e.what(), "no such table: T_Device");
  }
  EXPECT_THROW(UpdatableRecordSet(c, "Select PCid from T_BasicInf"), DbError);
  UpdatableRecordSet rs(c, "Select * from T_WinUpdate");
  EXPECT_THROW(rs.addNew({"RNO", "Bogus"}, {1, "x"}), DbError);
  EXPECT_THROW(rs.addNew({"RNO", "PCid"}, {1}), DbError);
  EXPECT_EQ(column("SELECT count(*) AS n FROM T_WinUpdate", "n"), std::vector<std::string>{"0"});
}

TEST_F(RecordSets, GroupAndUserFieldsReadBack) {
  UpdatableRecordSet rs(c, "Select * from T_Users");
  rs.addNew({"RNO", "Group", "Users", "User"}, {3, "Administrators", "PC01\\taro", "taro"});
  rs.addNew({"RNO", "Group", "Users", "User"}, {3, "Users", "PC01\\taro", "taro"});
  rs.close();
  EXPECT_EQ(column("SELECT distinct Group FROM T_Users where RNO=3 order by Group", "Group"),
            (std::vector<std::string>{"Administrators", "Users"}));
  EXPECT_EQ(column("SELECT distinct Users,User FROM T_Users where RNO=3 order by Users,User", "User"),
            std::vector<std::string>{"taro"});
}

}  // namespace
}  // namespace tavrix::db
