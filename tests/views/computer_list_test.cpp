// The computer list rows: six column texts per T_BasicInf row, with the fallbacks of each column.
#include "ui/main/computer_list.h"

#include <gtest/gtest.h>

#include "batch/database.h"
#include "tests/views/inventory_db.h"

namespace tavrix::test {
namespace {

TEST(ComputerList, ColumnsAndWidths) {
  std::vector<std::pair<std::string, int>> columns;
  for (const auto& c : kComputerListColumns) columns.emplace_back(c.header, c.widthTwips);
  EXPECT_EQ(columns, (std::vector<std::pair<std::string, int>>{{"コンピュータ名", 2500},
                                                               {"ユーザ名", 1500},
                                                               {"ＯＳ名", 3600},
                                                               {"作成日", 1600},
                                                               {"ＣＳＶファイル名", 2800},
                                                               {"RNO", 1}}));
}

TEST(ComputerList, RowsInDatabaseOrderWithFallbacks) {
  InventoryDb db;
  struct Case {
    const char* name;
    Fields fields;
    ComputerListRow row;  // without RNO, which the database numbers
  };
  const std::vector<Case> cases = {
      {"all values", {{"PCid", "PC01"}, {"ComputerName", "PC-01"}, {"UserName", "山田"}, {"OSVersion", "XP"},
                      {"CreateDate", "2004-10-24 09:05:30"}},
       {"PC-01", "山田", "XP", "2004/10/24 09:05", "PC01", ""}},
      {"NULL names: empty, blank, blank", {{"PCid", "PC02"}}, {"", " ", " ", "2004/10/24 09:05", "PC02", ""}},
      {"empty names stay empty", {{"PCid", "PC03"}, {"ComputerName", ""}, {"UserName", ""}, {"OSVersion", ""}},
       {"", "", "", "2004/10/24 09:05", "PC03", ""}},
      {"zero date is empty", {{"PCid", "PC04"}, {"CreateDate", "1899-12-30 00:00:00"}},
       {"", " ", " ", "", "PC04", ""}},
      {"1900-01-01 is shown", {{"PCid", "PC05"}, {"CreateDate", "1900-01-01 00:00:00"}},
       {"", " ", " ", "1900/01/01 00:00", "PC05", ""}},
      {"NULL date is empty", {{"PCid", "PC06"}, {"CreateDate", db::Value()}}, {"", " ", " ", "", "PC06", ""}},
  };
  std::vector<ComputerListRow> expected;
  for (const Case& c : cases) {
    ComputerListRow row = c.row;
    row[5] = std::to_string(db.addComputer(c.fields));
    expected.push_back(row);
  }
  ViewRun run(db);
  ASSERT_FALSE(F_OPEN_DB(run.s));
  std::vector<ComputerListRow> rows = readComputerList(run.s);
  ASSERT_EQ(rows.size(), expected.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(rows[i], expected[i]);
  }
}

TEST(ComputerList, MissingTableThrowsTheEngineError) {
  InventoryDb db;
  db.execute("DROP TABLE T_BasicInf");
  ViewRun run(db);
  ASSERT_FALSE(F_OPEN_DB(run.s));
  try {
    readComputerList(run.s);
    FAIL() << "no error";
  } catch (const db::DbError& e) {
    EXPECT_TRUE(e.missingTable());
    EXPECT_EQ(std::string(e.what()), "no such table: T_BasicInf");
  }
}

}  // namespace
}  // namespace tavrix::test
