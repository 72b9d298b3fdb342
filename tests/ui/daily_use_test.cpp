// The windows in daily use, after real windowed batches: growing the main window, filtering 3,000 rows,
// the list's and the tree's context menus, remembered geometry and widths, tree search and lines.
#include <algorithm>
#include <string>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFileDialog>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSettings>

#include "tests/ui/ui_fixture.h"
#include "ui/detail/f_detail_list.h"
#include "ui/main/f_wait.h"
#include "ui/main/qt_list_filter_bar.h"

namespace tavrix {
namespace {

using test::chooseFromMenu;

class DailyUseTest : public test::WindowedRun {
 protected:
  // Two imported computers (PC10 "beta" with a detail tree, PC9 "Alpha") and 2,998 more rows:
  // every 250th of them, and beta, run Windows XP.
  void runLargeFleet() {
    prepareDatabase(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2998) "
        "INSERT INTO T_BasicInf (PCid, ComputerName, UserName, OSVersion, CreateDate) "
        "SELECT printf('F%04d', i), printf('host-%04d', i), 'user', "
        "CASE WHEN i % 250 = 0 THEN 'Windows XP' ELSE 'Windows 2000' END, '2004-01-01 00:00:00' FROM n");
    writeCsv({"PC10.csv", "2004/10/24 09:05:30", "beta", "yamada", "Windows XP",
              {"1,4,CPU,2400,Pentium 4,FSB,533MHz,L2,512KB", "1,7,ドライブ,C:,固定,NTFS,全容量,40GB,空き,10GB",
               "1,13,サービス,自動,開始,Alerter,警告を送ります", "1,13,サービス,手動,停止,Browser,一覧を保ちます",
               "2,1,Windows,C:\\WINDOWS"}});
    writeCsv({"PC9.csv", "1900/01/01 00:00", "Alpha", "佐藤", "Windows 2000"});
    runMain();
    ASSERT_TRUE(main().isVisible());
    ASSERT_EQ(shownRows(), 3000);
  }
  QLineEdit* filter() { return main().filterBar()->field(); }
  std::vector<int> shownWidths() {
    std::vector<int> widths;
    for (int c = 0; c < 5; ++c) widths.push_back(list()->columnWidth(c));
    return widths;
  }
  std::string countText() { return ui::utf8(main().filterBar()->countLabel()->text()); }
  int shownRows() { return list()->model()->rowCount(); }
  // The shown row of a CSV name, -1 when none shows it.
  int rowOf(const char* pcId) {
    for (int r = 0; r < shownRows(); ++r)
      if (test::rowTexts(list(), r)[4] == pcId) return r;
    return -1;
  }
  F_DetailList* openDetail(const char* pcId) {
    list()->setCurrentIndex(list()->model()->index(rowOf(pcId), 0));
    QTest::keyClick(list(), Qt::Key_Return);
    return main().detailWindow();
  }
};

TEST_F(DailyUseTest, GrowingTheMainWindowKeepsTheDesignedControlsAndTypingFiltersTheRows) {
  runLargeFleet();
  const std::vector<int> designed = shownWidths();  // together wider than the designed list
  EXPECT_EQ(designed, (std::vector<int>{167, 100, 240, 107, 187}));
  const char* fixed[] = {"LblTitl", "LblVersion", "LblDate"};
  std::vector<QRect> before;
  for (const char* name : fixed) before.push_back(main().findChild<QWidget*>(QString::fromLatin1(name))->geometry());
  QWidget* end = main().findChild<QWidget*>(QStringLiteral("BtnEND"));
  const QRect endBefore = end->geometry(), freeBefore = main().freeArea()->geometry();

  main().resize(1280, 1024);
  const int dw = 1280 - 821, dh = 1024 - 544;
  EXPECT_EQ(list()->geometry(), QRect(24, 56, 773 + dw, 301 + dh));
  for (std::size_t i = 0; i < before.size(); ++i)
    EXPECT_EQ(main().findChild<QWidget*>(QString::fromLatin1(fixed[i]))->geometry(), before[i]) << fixed[i];
  EXPECT_EQ(end->geometry(), endBefore.translated(dw, 0));  // at the right edge
  EXPECT_EQ(main().freeArea()->geometry(), freeBefore.translated(0, dh).adjusted(0, 0, dw, 0));
  EXPECT_LE(filter()->mapTo(&main(), QPoint(filter()->width(), 0)).x(), 1280 - 160);  // room for another button

  // The grown list's width is shared by the shown columns: none narrower than designed, none cut.
  std::vector<int> grown = shownWidths();
  int total = 0;
  for (int c = 0; c < 5; ++c) {
    EXPECT_GT(grown[c], designed[c]) << c;
    total += grown[c];
  }
  EXPECT_EQ(total, list()->viewport()->width());

  main().resize(821, 544);
  EXPECT_EQ(list()->geometry(), QRect(24, 56, 773, 301));  // 360, 840, 11595 × 4515 twips
  EXPECT_EQ(main().minimumSize(), QSize(821, 544));
  EXPECT_EQ(shownWidths(), designed) << "the designed widths do not fit: they stay, and the list scrolls";

  // Typing in the free area's filter shows the matching rows and says how many.
  EXPECT_EQ(countText(), "3,000 台");
  struct Case {
    QString typed;
    int shown;
    const char* count;
  };
  const Case cases[] = {
      {QStringLiteral("xp"), 12, "3,000 台中 12 台"},
      {ui::qs("ＷＩＮＤＯＷＳ　ｘｐ"), 12, "3,000 台中 12 台"},  // full-width, an ideographic space
      {QStringLiteral("host-012"), 10, "3,000 台中 10 台"},     // host-0120 .. host-0129
      {ui::qs("佐藤"), 1, "3,000 台中 1 台"},
      {QStringLiteral("no such pc"), 0, "3,000 台中 0 台"},
      {QString(), 3000, "3,000 台"},
  };
  for (const Case& c : cases) {
    filter()->clear();
    for (const QChar ch : c.typed) filter()->insert(QString(ch));  // one character at a time, as typed
    EXPECT_EQ(shownRows(), c.shown) << ui::utf8(c.typed);
    EXPECT_EQ(countText(), c.count) << ui::utf8(c.typed);
  }
  QTest::keyClicks(filter(), QStringLiteral("alpha"));
  test::clickHeader(list(), 0);  // sorting keeps the filter
  EXPECT_EQ(shownRows(), 1);
  EXPECT_EQ(test::rowTexts(list(), 0)[0], "Alpha");
}

// As with list items that hide: a sort orders the hidden rows too, and the current and the selected
// rows stay on their computers through filtering and sorting.
TEST_F(DailyUseTest, SortingWhileFilteredOrdersEveryRowAndTheCurrentRowFollowsItsComputer) {
  runLargeFleet();
  list()->setCurrentIndex(list()->model()->index(rowOf("F0003"), 0));
  test::clickRow(list(), rowOf("F0007"), Qt::ControlModifier);
  QTest::keyClicks(filter(), QStringLiteral("host-000"));
  test::clickHeader(list(), 0);
  EXPECT_EQ(list()->currentIndex().row(), rowOf("F0007"));
  filter()->clear();
  EXPECT_EQ(test::rowTexts(list(), 0)[0], "Alpha");  // Alpha and beta were hidden while sorting
  EXPECT_EQ(test::rowTexts(list(), 1)[0], "beta");
  EXPECT_EQ(rowOf("F0007"), 8);
  EXPECT_EQ(list()->currentIndex().row(), 8);
  const QModelIndexList selected = list()->selectionModel()->selectedRows(4);
  std::vector<std::string> names;
  for (const QModelIndex& index : selected) names.push_back(ui::utf8(index.data().toString()));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"F0003", "F0007"}));
  QTest::keyClicks(filter(), QStringLiteral("host-0003"));
  EXPECT_FALSE(list()->currentIndex().isValid());  // its row is hidden: nothing is current
}

TEST_F(DailyUseTest, ContextMenuCopiesSelectedRowsAndExportsTheShownOnes) {
  runLargeFleet();
  QTest::keyClicks(filter(), QStringLiteral("host-000"));  // host-0001 .. host-0009
  list()->clearSelection();
  for (const char* pc : {"F0002", "F0005"})  // Ctrl+click picks rows without opening them
    test::clickRow(list(), rowOf(pc), Qt::ControlModifier);
  EXPECT_EQ(main().detailWindow(), nullptr);
  EXPECT_EQ(list()->selectionModel()->selectedRows().size(), 2);
  QApplication::clipboard()->clear();
  chooseFromMenu([&] { emit list()->customContextMenuRequested(QPoint(5, 5)); }, "ActCopy");
  const std::string picked = "host-0002\tuser\tWindows 2000\t2004/01/01 00:00\tF0002\n"
                             "host-0005\tuser\tWindows 2000\t2004/01/01 00:00\tF0005\n";
  EXPECT_EQ(ui::utf8(QApplication::clipboard()->text()), picked);
  chooseFromMenu([&] { emit list()->customContextMenuRequested(QPoint(5, 5)); }, "ActCopyWithHeader");
  EXPECT_EQ(ui::utf8(QApplication::clipboard()->text()), "コンピュータ名\tユーザ名\tＯＳ名\t作成日\tＣＳＶファイル名\n" + picked);

  const std::string path = dir.path() + "/shown.csv";
  chooseFromMenu([&] { emit list()->customContextMenuRequested(QPoint(5, 5)); }, "ActExport", [&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    dialog->selectFile(ui::qs(path));
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog's own accept, through the public slot
  });
  std::string shown = "\xEF\xBB\xBFコンピュータ名,ユーザ名,ＯＳ名,作成日,ＣＳＶファイル名\r\n";  // and the nine shown rows
  for (char i = '1'; i <= '9'; ++i) shown += std::string("host-000") + i + ",user,Windows 2000,2004/01/01 00:00,F000" + i + "\r\n";
  EXPECT_EQ(test::readFile(path), shown);
  EXPECT_TRUE(messages.messages.empty()) << messages.texts()[0];
}

// Down in the filter goes into the list; Esc empties the filter; the sort column is kept for the
// next run, as are the widths as set (not as shared out of a grown window).
TEST_F(DailyUseTest, KeysMoveBetweenFilterAndListAndTheSortColumnIsKept) {
  runLargeFleet();
  main().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
  filter()->setFocus();
  QTest::keyClicks(filter(), QStringLiteral("host-001"));
  QTest::keyClick(filter(), Qt::Key_Down);
  EXPECT_EQ(QApplication::focusWidget(), list());
  EXPECT_EQ(list()->currentIndex().row(), 0);
  EXPECT_EQ(main().detailWindow(), nullptr) << "moving into the list opens nothing";
  QTest::keyClick(list(), Qt::Key_Down);
  EXPECT_EQ(list()->currentIndex().row(), 1);
  QTest::keyClick(list(), Qt::Key_Escape);
  EXPECT_EQ(filter()->text(), QString());
  EXPECT_EQ(shownRows(), 3000);

  test::clickHeader(list(), 3);  // by 作成日: the 1900 date first
  main().resize(1200, 700);
  const std::vector<int> designed = {167, 100, 240, 107, 187};
  EXPECT_NE(shownWidths(), designed);
  test::clickEnd(&main());
  F_Main again(s);
  openDatabase(s.DbConnection);
  ASSERT_FALSE(again.F21_List(s)) << s.FailureMessage;
  EXPECT_EQ(again.listView()->header()->sortIndicatorSection(), 3);
  EXPECT_EQ(test::rowTexts(again.listView(), 0)[4], "PC9");
  EXPECT_EQ(again.listView()->columnWidth(2), 240) << "kept as set, shared out only once the window grows";
}

TEST_F(DailyUseTest, GeometryAndColumnWidthsSurviveReopeningUnusableOnesFallBack) {
  runLargeFleet();
  main().setGeometry(40, 50, 1000, 700);
  list()->setColumnWidth(0, 250);
  F_DetailList* detail = openDetail("PC10");
  ASSERT_NE(detail, nullptr);
  detail->resize(1000, 720);
  test::clickEnd(detail);
  test::clickEnd(&main());

  const std::string file = dir.path() + "/config/tavrix/windows.ini";
  struct Case {
    const char* name;
    QVariant geometry, columns;
    QRect expected;
    int column0;
  };
  const Case cases[] = {
      {"kept", QVariant(), QVariant(), QRect(40, 50, 1000, 700), 250},
      {"off every screen, width 0", QRect(9000, 9000, 900, 600), QVariantList{0, 120}, QRect(40, 50, 821, 544), 167},
      {"smaller than designed, widths not numbers", QRect(10, 10, 300, 200), QVariantList{QStringLiteral("x")},
       QRect(10, 10, 821, 544), 167},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.geometry.isValid()) {
      QSettings settings(ui::qs(file), QSettings::IniFormat);
      settings.setValue(QStringLiteral("F_Main/geometry"), c.geometry);
      settings.setValue(QStringLiteral("F_Main/columns"), c.columns);
    }
    F_Main again(s);
    if (c.geometry.isValid() && c.expected.size() == QSize(821, 544) && c.expected.topLeft() == QPoint(40, 50))
      again.move(40, 50);  // the designed window is placed by the window system
    EXPECT_EQ(again.geometry(), c.expected);
    EXPECT_EQ(again.listView()->columnWidth(0), c.column0);
  }
  QSettings settings(ui::qs(file), QSettings::IniFormat);
  EXPECT_EQ(settings.value(QStringLiteral("F_DetailList/geometry")).toRect().size(), QSize(1000, 720));
  s.CurrentRno = 1;
  F_DetailList reopened(s, nullptr);
  EXPECT_EQ(reopened.size(), QSize(1000, 720));
}

// Qt's own dialogs and buttons speak Japanese like the rest of the program, whatever the locale.
TEST_F(DailyUseTest, QtsOwnDialogsAndButtonsAreInJapanese) {
  writeCsv({"PC01.csv", "2004/10/24 09:05:30", "alpha", "山田", "XP"});
  runMain();
  QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  EXPECT_EQ(ui::utf8(buttons.button(QDialogButtonBox::Cancel)->text()), "キャンセル");
  QFileDialog dialog(&main(), ui::qs("CSV出力"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  std::vector<std::string> labels;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) labels.push_back(ui::utf8(label->text()));
  std::sort(labels.begin(), labels.end());
  EXPECT_EQ(labels, (std::vector<std::string>{"アドレス:", "ファイルの種類:", "ファイル名(&N):"}));
}

// Dark pixels in the branch column left of a top-level line without children: a drawn root line.
int linePixels(QTreeWidget* tree, int row) {
  const QImage image = tree->viewport()->grab().toImage();
  const QRect line = tree->visualItemRect(tree->topLevelItem(row));
  int dark = 0;
  for (int y = line.top(); y <= line.bottom(); ++y)
    for (int x = 0; x < tree->indentation(); ++x) dark += qGray(image.pixel(x, y)) < 200 ? 1 : 0;
  return dark;
}

TEST_F(DailyUseTest, TreeDrawsRootLinesSearchFindsCollapsedLinesAndCopyingTheTreeGivesTheReportText) {
  runLargeFleet();
  F_DetailList* detail = openDetail("PC10");
  ASSERT_NE(detail, nullptr);
  QTreeWidget* tree = detail->treeView();
  tree->resize(600, 600);
  ASSERT_EQ(tree->topLevelItem(1)->childCount(), 0);
  EXPECT_GT(linePixels(tree, 1), 4);  // the line joining ComputerName to the lines above and below
  EXPECT_TRUE(tree->font().fixedPitch());

  QTest::keyClicks(detail->findField(), QStringLiteral("ALERTER"));
  QTreeWidgetItem* found = tree->currentItem();
  ASSERT_NE(found, nullptr);
  EXPECT_NE(ui::utf8(found->text(0)).find("Alerter"), std::string::npos);
  EXPECT_EQ(ui::utf8(found->parent()->text(0)), "現在のWindowsのサービス:");
  EXPECT_TRUE(found->parent()->isExpanded());
  EXPECT_FALSE(tree->topLevelItem(0)->isExpanded());

  detail->findField()->clear();
  QTest::keyClicks(detail->findField(), QStringLiteral("windows"));
  const std::string first = ui::utf8(tree->currentItem()->text(0));
  EXPECT_NE(first.find("Windows XP"), std::string::npos) << first;
  QTest::keyClick(detail->findField(), Qt::Key_Return);  // the next match
  EXPECT_NE(ui::utf8(tree->currentItem()->text(0)), first);
  detail->findField()->setText(QStringLiteral("zzz"));
  EXPECT_FALSE(detail->findNext());
  EXPECT_EQ(ui::utf8(detail->findChild<QLabel*>(QStringLiteral("LblFound"))->text()), "見つかりません");

  chooseFromMenu([&] { emit tree->customContextMenuRequested(QPoint(5, 5)); }, "ActExpandAll");
  EXPECT_TRUE(tree->topLevelItem(tree->topLevelItemCount() - 1)->isExpanded());
  chooseFromMenu([&] { emit tree->customContextMenuRequested(QPoint(5, 5)); }, "ActCopyTree");
  const test::ProgramRun report = test::runProgram(dir, "'" + test::binaryDir() + "/app/tavrix-report' --db '" +
                                                             dir.path() + "/db/Tavrix.mdb' tree " + std::to_string(s.CurrentRno));
  ASSERT_EQ(report.status, 0) << report.err;
  EXPECT_EQ(ui::utf8(QApplication::clipboard()->text()), report.out);
  EXPECT_EQ(ui::utf8(QApplication::clipboard()->text()), test::treeText(tree));

  tree->setCurrentItem(tree->topLevelItem(1));
  chooseFromMenu([&] { emit tree->customContextMenuRequested(QPoint(5, 5)); }, "ActCopyLine");
  EXPECT_EQ(QApplication::clipboard()->text(), tree->topLevelItem(1)->text(0));
}

TEST(WaitWindowTest, ProgressShowsOnceTheNumberOfFilesIsKnown) {
  F_WAIT wait;
  auto* progress = wait.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
  EXPECT_FALSE(progress->isVisibleTo(&wait));
  wait.fileStarted(2, 5, "PC02.csv");
  EXPECT_TRUE(progress->isVisibleTo(&wait));
  EXPECT_EQ(ui::utf8(progress->text()), "2 / 5");
  EXPECT_EQ(ui::utf8(wait.findChild<QLabel*>(QStringLiteral("LblFile"))->text()), "PC02.csv");
}

}  // namespace
}  // namespace tavrix
