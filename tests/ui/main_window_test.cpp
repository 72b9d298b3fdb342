// F_Main after real windowed batches: the list's rows, sorting, row clicks, closing every window,
// and F21_List's failure.
#include <gtest/gtest.h>

#include <algorithm>

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include "batch/database.h"
#include "batch/run_log.h"
#include "platform/db.h"
#include "tests/ui/ui_fixture.h"
#include "ui/detail/f_detail_list.h"
#include "ui/main/f_main.h"
#include "ui/main/f_wait.h"
#include "ui/qt_form_support.h"

namespace tavrix {
namespace {

using test::Inventory;
using test::ListRow;

class MainWindowTest : public test::WindowedRun {
 protected:
  // Three computers whose columns sort differently, imported by a windowed batch.
  void runFleet() {
    writeIni();
    writeCsv({"PC10.csv", "2004/10/24 10:30", "beta", "yamada", "Windows XP"});
    writeCsv({"PC9.csv", "1900/01/01 00:00", "Alpha", "佐藤", "Windows 2000"});
    writeCsv({"pc2.Sub.csv", "2003/01/02 07:08:09", "gamma", "abe", "ＷＩＮ９８"});
    runMain();
    ASSERT_NE(windows.mainWindow(), nullptr);
  }
  F_Main& main() { return *windows.mainWindow(); }
  QTreeWidget* list() { return main().listView(); }
  std::vector<std::string> column(int c) {
    std::vector<std::string> texts;
    for (const ListRow& row : test::listRows(list())) texts.push_back(row[static_cast<std::size_t>(c)]);
    return texts;
  }
};

TEST_F(MainWindowTest, WindowedRunShowsTheListInDatabaseOrder) {
  runFleet();
  EXPECT_TRUE(main().isVisible());
  EXPECT_FALSE(windows.waitWindow()->isVisible());
  EXPECT_EQ(ui::utf8(main().findChild<QLabel*>(QStringLiteral("LblDate"))->text()), "現在：2026/12/05");
  EXPECT_EQ(ui::utf8(main().findChild<QLabel*>(QStringLiteral("LblVersion"))->text()), "(Ver 1.0.0)");
  // The import loop reported every file to the wait window.
  auto* bar = windows.waitWindow()->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
  EXPECT_EQ(bar->value(), 3);
  EXPECT_EQ(bar->maximum(), 3);

  const std::vector<ListRow> expected = {
      {"beta", "yamada", "Windows XP", "2004/10/24 10:30", "PC10", "1"},
      {"Alpha", "佐藤", "Windows 2000", "1900/01/01 00:00", "PC9", "2"},
      {"gamma", "abe", "ＷＩＮ９８", "2003/01/02 07:08", "pc2", "3"},
  };
  // The files are imported in name order: PC10, PC9, pc2.
  EXPECT_EQ(test::listRows(list()), expected);
  EXPECT_FALSE(s.DbOpen);
  EXPECT_TRUE(messages.messages.empty()) << messages.texts()[0];
}

TEST_F(MainWindowTest, MissingValuesFallBackPerColumn) {
  writeIni();
  writeCsv({"PC01.csv", "", "", "", ""});  // no header line: the zero date
  runMain();
  // A row whose fields hold no value at all, as an older database may have.
  {
    db::Connection c;
    c.open(databasePath());
    c.execute("INSERT INTO T_BasicInf (PCid, CreateDate) VALUES ('PC02', '1899-12-31 23:59:00')");
  }
  ASSERT_FALSE(F_OPEN_DB(s));
  ASSERT_FALSE(main().F21_List(s));
  closeDbConnection(s);

  const std::vector<ListRow> rows = test::listRows(list());
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (ListRow{"", "", "", "", "PC01", "1"}));      // empty texts stay empty
  EXPECT_EQ(rows[1], (ListRow{"", " ", " ", "", "PC02", "2"}));    // NULLs: name empty, user and OS a blank
}

TEST_F(MainWindowTest, HeaderClickSortsAscendingAndASecondClickKeepsTheOrder) {
  runFleet();
  struct Case {
    int column;
    std::vector<std::string> sorted;  // the clicked column's texts after the click
  };
  const Case cases[] = {
      {0, {"Alpha", "beta", "gamma"}},                                             // case ignored
      {3, {"1900/01/01 00:00", "2003/01/02 07:08", "2004/10/24 10:30"}},            // by date
      {4, {"PC10", "pc2", "PC9"}},                                                 // as text
      {1, {"abe", "yamada", "佐藤"}},
  };
  for (const Case& c : cases) {
    test::clickHeader(list(), c.column);
    EXPECT_EQ(column(c.column), c.sorted) << "column " << c.column;
    const std::vector<ListRow> once = test::listRows(list());
    test::clickHeader(list(), c.column);
    EXPECT_EQ(test::listRows(list()), once) << "second click on column " << c.column;
  }
}

TEST_F(MainWindowTest, RowsCannotBeEditedInPlace) {
  runFleet();
  QTreeWidgetItem* item = list()->topLevelItem(0);
  EXPECT_FALSE(item->flags() & Qt::ItemIsEditable);
  list()->editItem(item, 0);
  EXPECT_EQ(list()->viewport()->findChild<QLineEdit*>(), nullptr);  // no in-place editor
}

TEST_F(MainWindowTest, RowClickOpensTheDetailOfThatRowsRno) {
  runFleet();
  test::clickHeader(list(), 0);  // Alpha (RNO 2), beta, gamma
  test::clickRow(list(), 0);
  EXPECT_EQ(s.CurrentRno, 2);
  F_DetailList* detail = main().detailWindow();
  ASSERT_NE(detail, nullptr);
  EXPECT_TRUE(detail->isVisible());
  EXPECT_FALSE(main().isVisible());
  EXPECT_FALSE(s.DbOpen);

  test::click(detail->findChild<QPushButton*>(QStringLiteral("BtnEND")));
  test::deletePendingWindows();
  EXPECT_TRUE(main().isVisible());
  EXPECT_EQ(main().detailWindow(), nullptr);

  test::clickRow(list(), 2);  // gamma
  EXPECT_EQ(s.CurrentRno, 3);
  ASSERT_NE(main().detailWindow(), nullptr);
  EXPECT_TRUE(main().detailWindow()->isVisible());
}

TEST_F(MainWindowTest, BtnEndClosesEveryWindow) {
  runFleet();
  test::clickRow(list(), 1);
  ASSERT_NE(main().detailWindow(), nullptr);
  main().show();  // the detail window is open behind the main window
  test::click(main().findChild<QPushButton*>(QStringLiteral("BtnEND")));
  test::deletePendingWindows();
  EXPECT_FALSE(main().isVisible());
  EXPECT_EQ(main().detailWindow(), nullptr);
}

TEST_F(MainWindowTest, BtnEndAfterABatchThatEndedEarlyClosesTheWaitWindowToo) {
  writeIni("", "*\\nowhere");  // no database and no script folder: the batch ends at step 8
  runMain();
  ASSERT_TRUE(main().isVisible());
  ASSERT_TRUE(windows.waitWindow()->isVisible());
  EXPECT_EQ(list()->topLevelItemCount(), 0);

  test::click(main().findChild<QPushButton*>(QStringLiteral("BtnEND")));
  EXPECT_FALSE(main().isVisible());
  EXPECT_FALSE(windows.waitWindow()->isVisible());
  EXPECT_FALSE(windows.anyWindowVisible());
}

TEST_F(MainWindowTest, MissingBasicTableClosesEveryWindowAndLogsTheFailure) {
  writeIni("UPDATEONLY");
  runMain();  // builds the database
  {
    db::Connection c;
    c.open(databasePath());
    c.execute("DROP TABLE T_BasicInf");
  }
  writeIni();
  runMain();

  const std::string failure = "Tavrix:F21_List Error=(1) no such table: T_BasicInf";
  EXPECT_EQ(s.FailureMessage, failure);
  const std::vector<std::string> lines = log();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
            (std::vector<std::string>{std::string(kEqualsLine), failure, std::string(kEqualsLine)}));
  EXPECT_FALSE(windows.anyWindowVisible());
  EXPECT_TRUE(s.DbOpen);  // the batch leaves the connection open after a failed list
  closeDbConnection(s);
}

}  // namespace
}  // namespace tavrix
