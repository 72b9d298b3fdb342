// The fleet window after a real windowed batch: opened from F_Main's button, its three tabs clicked
// through, their lists' rows, sorting, Ctrl+C, CSV output and the detail window from a computer.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QSettings>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "tests/ui/ui_fixture.h"
#include "ui/detail/f_detail_list.h"
#include "ui/fleet/f_fleet.h"
#include "ui/fleet/qt_result_list.h"
#include "ui/fleet/qt_search_run.h"

namespace tavrix {
namespace {

using test::Rows;
using test::rowsOf;
using ui::qs;

// The same window on a database file and on a server.
class FleetWindowTest : public test::WindowedRun, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) useServer();
  }
  // Three computers: two versions of one program, an update one of them lacks, Japanese text.
  F_Fleet& openFleet() {
    writeCsv({"PC01.csv", "2004/10/24 09:05:30", "alpha", "山田", "XP",
              {"1,9,プリンタ,㈱本社 複合機①", "1,10,アプリケーション,Office,11.0", "1,10,アプリケーション,秀丸,7.10",
               "3,1,Windows Update,KB100,x", "3,1,Windows Update,KB200,x"}});
    writeCsv({"PC02.csv", "2004/10/25 09:05:30", "Beta", "abe", "2000",
              {"1,10,アプリケーション,office,11.0", "3,1,Windows Update,KB200,x"}});
    writeCsv({"PC03.csv", "2004/10/26 09:05:30", "gamma", "本田", "XP", {"1,10,アプリケーション,Office,12.0"}});
    runMain();
    QTest::mouseClick(main().findChild<QPushButton*>(QStringLiteral("BtnFleet")), Qt::LeftButton);
    F_Fleet* fleet = main().fleetWindow();
    if (!fleet) throw std::runtime_error("no fleet window");
    EXPECT_TRUE(fleet->isVisible());
    EXPECT_EQ(test::textOf(fleet, ""), "TAVRIX フリート照会");
    return *fleet;
  }
  static ui::ResultList* list(F_Fleet& f, const char* name) {
    return f.findChild<ui::ResultList*>(QString::fromLatin1(name));
  }
  static QLineEdit* edit(F_Fleet& f, const char* name) { return f.findChild<QLineEdit*>(QString::fromLatin1(name)); }
  // The search runs on a thread of its own: its answer arrives through the event loop.
  static void waitForSearch(F_Fleet& f) { QTRY_VERIFY_WITH_TIMEOUT(!f.searchRun()->running(), 20000); }
  static std::string heading(F_Fleet& f, const char* name) { return ui::utf8(list(f, name)->heading()->text()); }
  // The computers counted by SQL, as a heading shows them.
  std::string computers(const std::string& where) {
    return firstValue("SELECT count(*) FROM T_BasicInf b WHERE " + where) + " 台";
  }
};

TEST_P(FleetWindowTest, SoftwareTabListsProgramsAndTheComputersOfTheSelectedOne) {
  F_Fleet& fleet = openFleet();
  QTreeView* software = list(fleet, "SoftwareList")->tree();
  QTreeView* computers = list(fleet, "SoftwareComputers")->tree();
  EXPECT_EQ(rowsOf(software), (Rows{{"Office", "11.0", "2"}, {"Office", "12.0", "1"}, {"秀丸", "7.10", "1"}}));
  EXPECT_EQ(heading(fleet, "SoftwareComputers"), "インストール済み");
  EXPECT_EQ(heading(fleet, "SoftwareLacking"), "未インストール");
  test::clickRow(software, 0);
  EXPECT_EQ(rowsOf(computers), (Rows{{"alpha", "山田", "XP", "2004/10/24 09:05", "PC01", "1"},
                                     {"Beta", "abe", "2000", "2004/10/25 09:05", "PC02", "2"}}));
  EXPECT_EQ(rowsOf(list(fleet, "SoftwareLacking")->tree()), (Rows{{"gamma", "本田", "XP", "2004/10/26 09:05", "PC03", "3"}}));
  const std::string office11 = "EXISTS (SELECT * FROM T_ApplInst a WHERE a.RNO = b.RNO AND a.Appl = 'Office' AND a.Version = '11.0')";
  EXPECT_EQ(heading(fleet, "SoftwareComputers"), "インストール済み " + this->computers(office11));
  EXPECT_EQ(heading(fleet, "SoftwareLacking"), "未インストール " + this->computers("NOT " + office11));
  test::clickHeader(software, 2);  // by count, as numbers
  EXPECT_EQ(rowsOf(software)[2], (std::vector<std::string>{"Office", "11.0", "2"}));
  test::clickHeader(software, 2);  // again: descending
  EXPECT_EQ(rowsOf(software)[0], (std::vector<std::string>{"Office", "11.0", "2"}));

  edit(fleet, "SoftwareFilter")->setText(qs("秀"));
  EXPECT_EQ(rowsOf(software), (Rows{{"秀丸", "7.10", "1"}}));
  EXPECT_EQ(computers->model()->rowCount(), 0);

  // A double-click on a computer opens its detail window.
  test::clickRow(software, 0);
  test::clickRow(computers, 0);  // a double-click as a user makes it: a click, then the second press
  const int y = computers->visualRect(computers->model()->index(0, 0)).center().y();
  QTest::mouseDClick(computers->viewport(), Qt::LeftButton, {}, QPoint(10, y));
  ASSERT_NE(fleet.detailWindow(), nullptr);
  EXPECT_EQ(s.CurrentRno, 1);
  EXPECT_EQ(test::textOf(fleet.detailWindow(), "TxtRNO"), "1");
  EXPECT_TRUE(messages.messages.empty()) << messages.texts()[0];
}

TEST_P(FleetWindowTest, UpdatesTabListsWhoHasAndWhoLacksTheSelectedUpdate) {
  F_Fleet& fleet = openFleet();
  fleet.tabs()->setCurrentIndex(1);
  QTreeView* updates = list(fleet, "UpdateList")->tree();
  EXPECT_EQ(rowsOf(updates), (Rows{{"KB100", "1"}, {"KB200", "2"}}));
  test::clickRow(updates, 0);
  EXPECT_EQ(rowsOf(list(fleet, "UpdateHaving")->tree()), (Rows{{"alpha", "山田", "XP", "2004/10/24 09:05", "PC01", "1"}}));
  EXPECT_EQ(rowsOf(list(fleet, "UpdateMissing")->tree()), (Rows{{"Beta", "abe", "2000", "2004/10/25 09:05", "PC02", "2"},
                                                             {"gamma", "本田", "XP", "2004/10/26 09:05", "PC03", "3"}}));
  const std::string kb100 = "EXISTS (SELECT * FROM T_WinUpdate u WHERE u.RNO = b.RNO AND u.WinUpdName = 'KB100')";
  EXPECT_EQ(heading(fleet, "UpdateHaving"), "適用済み " + computers(kb100));
  EXPECT_EQ(heading(fleet, "UpdateMissing"), "未適用 " + computers("NOT " + kb100));
  edit(fleet, "UpdateFilter")->setText(QStringLiteral("kb2"));
  EXPECT_EQ(rowsOf(updates), (Rows{{"KB200", "2"}}));
  EXPECT_EQ(list(fleet, "UpdateMissing")->tree()->model()->rowCount(), 0);
  EXPECT_EQ(heading(fleet, "UpdateMissing"), "未適用") << "no update chosen: nothing counted";
}

TEST_P(FleetWindowTest, SearchTabFindsTheTextAndItsRowsAreCopiedAndWritten) {
  F_Fleet& fleet = openFleet();
  fleet.tabs()->setCurrentIndex(2);
  edit(fleet, "SearchText")->setText(qs("本"));
  QTest::mouseClick(fleet.findChild<QPushButton*>(QStringLiteral("SearchButton")), Qt::LeftButton);
  waitForSearch(fleet);
  ui::ResultList* found = list(fleet, "SearchList");
  EXPECT_EQ(rowsOf(found->tree()), (Rows{{"alpha", "PC01", "1", "T_Printer", "PrinterName", "㈱本社 複合機①", "プリンタ一覧"},
                                         {"gamma", "PC03", "3", "T_BasicInf", "UserName", "本田", "基本情報"}}));

  test::clickRow(found->tree(), 1);
  QTest::keyClick(found->tree(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(ui::utf8(QApplication::clipboard()->text()), "gamma\tPC03\t3\tT_BasicInf\tUserName\t本田\t基本情報\n");

  const std::string csv = dir.file("found.csv");
  found->chooseCsvFile = [&](QWidget*) { return qs(csv); };
  QTest::mouseClick(found->csvButton(), Qt::LeftButton);
  EXPECT_EQ(test::readFile(csv), "\xEF\xBB\xBF" "ComputerName,PCid,RNO,Table,Field,Value,Section\r\n"
                                 "alpha,PC01,1,T_Printer,PrinterName,㈱本社 複合機①,プリンタ一覧\r\n"
                                 "gamma,PC03,3,T_BasicInf,UserName,本田,基本情報\r\n");
  found->chooseCsvFile = [&](QWidget*) { return qs(dir.file("none/found.csv")); };
  QTest::mouseClick(found->csvButton(), Qt::LeftButton);
  EXPECT_EQ(messages.texts(), (std::vector<std::string>{"CSVファイルを書き込めません: " + dir.file("none/found.csv")}));
}

TEST_P(FleetWindowTest, SearchKeepsToOneSectionAndToWholeValues) {
  F_Fleet& fleet = openFleet();
  fleet.tabs()->setCurrentIndex(2);
  auto* section = fleet.findChild<QComboBox*>(QStringLiteral("SearchSection"));
  auto* exact = fleet.findChild<QCheckBox*>(QStringLiteral("SearchExact"));
  ui::ResultList* found = list(fleet, "SearchList");
  // Every section, then the tree's sections in its order.
  ASSERT_GE(section->count(), 13);
  EXPECT_EQ(ui::utf8(section->itemText(0)), "すべてのセクション");
  EXPECT_EQ(ui::utf8(section->itemText(1)), "基本情報");
  EXPECT_EQ(ui::utf8(section->itemText(2)), "デバイス");
  struct Case {
    const char* text;
    const char* section;  // "" for every one
    bool whole;
    Rows rows;
  };
  const Rows gamma = {{"gamma", "PC03", "3", "T_BasicInf", "UserName", "本田", "基本情報"}};
  const Case cases[] = {
      {"本", "基本情報", false, gamma},
      {"本", "プリンタ一覧", false, {{"alpha", "PC01", "1", "T_Printer", "PrinterName", "㈱本社 複合機①", "プリンタ一覧"}}},
      {"本", "", true, {}},
      {"本田", "", true, gamma},
      {"本田", "ＮＩＣカード", true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + std::string(" ") + c.section);
    section->setCurrentIndex(std::max(0, section->findText(qs(c.section))));
    exact->setChecked(c.whole);
    EXPECT_EQ(test::textOf(&fleet, "SearchTextCaption"), c.whole ? "一致する文字列:" : "含む文字列:");
    edit(fleet, "SearchText")->setText(qs(c.text));
    QTest::keyClick(edit(fleet, "SearchText"), Qt::Key_Return);
    waitForSearch(fleet);
    EXPECT_EQ(rowsOf(found->tree()), c.rows);
  }
}

// Opened again, the window is where it was left, its lists as wide and sorted as they were; a place
// past the screen's edge is moved inside, and the first detail window opens beside it.
TEST_P(FleetWindowTest, PlaceWidthsAndSortsAreKeptAndTheWindowsStayOnTheScreen) {
  F_Fleet& fleet = openFleet();
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  fleet.setGeometry(area.left() + 20, area.top() + 20, area.width() / 4, area.height() / 2);
  const QRect left = fleet.geometry();  // no smaller than the window can be
  QTreeView* software = list(fleet, "SoftwareList")->tree();
  test::clickHeader(software, 2);
  test::clickHeader(software, 2);  // by count, most first
  software->setColumnWidth(0, 211);
  fleet.close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(main().fleetWindow(), nullptr);

  const auto reopen = [&] {
    QTest::mouseClick(main().findChild<QPushButton*>(QStringLiteral("BtnFleet")), Qt::LeftButton);
    return main().fleetWindow();
  };
  F_Fleet* again = reopen();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->geometry(), left);
  software = list(*again, "SoftwareList")->tree();
  EXPECT_EQ(software->columnWidth(0), 211);
  EXPECT_EQ(software->header()->sortIndicatorSection(), 2);
  EXPECT_EQ(software->header()->sortIndicatorOrder(), Qt::DescendingOrder);
  EXPECT_EQ(rowsOf(software), (Rows{{"Office", "11.0", "2"}, {"Office", "12.0", "1"}, {"秀丸", "7.10", "1"}}));
  test::clickHeader(software, 2);  // the next click reverses the kept order
  EXPECT_EQ(rowsOf(software)[2], (std::vector<std::string>{"Office", "11.0", "2"}));

  // No detail window was placed yet: the first opens beside the fleet window, the screen allowing.
  test::clickRow(software, 2);
  QTreeView* computers = list(*again, "SoftwareComputers")->tree();
  test::clickRow(computers, 0);
  QTest::mouseDClick(computers->viewport(), Qt::LeftButton, {},
                     QPoint(10, computers->visualRect(computers->model()->index(0, 0)).center().y()));
  ASSERT_NE(again->detailWindow(), nullptr);
  const QRect detail = again->detailWindow()->geometry();
  EXPECT_TRUE(area.contains(again->detailWindow()->frameGeometry())) << detail.x() << "," << detail.y() << " " << detail.width() << "x" << detail.height();
  if (left.right() + detail.width() < area.right()) {
    EXPECT_EQ(detail.left(), again->frameGeometry().right() + 1);
  }
  again->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  // A place partly past the screen's right edge: moved in, and no larger than the screen.
  {
    QSettings settings(ui::qs(dir.path() + "/config/tavrix/windows.ini"), QSettings::IniFormat);
    settings.setValue(QStringLiteral("F_Fleet/geometry"), QRect(area.right() - 120, area.top() + 10, area.width() * 2, area.height() / 2));
  }
  again = reopen();
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(area.contains(again->frameGeometry())) << again->geometry().x() << " " << again->geometry().width();
  EXPECT_EQ(again->frameGeometry().width(), area.width());
}

// While a search runs the window shows it is busy, the old answer is gone, and "中　止" stops it
// between two computers: what was found so far stays, said to be cut short.
TEST_P(FleetWindowTest, ARunningSearchIsBusyClearsTheOldAnswerAndStops) {
  F_Fleet& fleet = openFleet();
  fleet.tabs()->setCurrentIndex(2);
  auto* searchButton = fleet.findChild<QPushButton*>(QStringLiteral("SearchButton"));
  auto* stopButton = fleet.findChild<QPushButton*>(QStringLiteral("SearchStop"));
  ui::ResultList* found = list(fleet, "SearchList");
  edit(fleet, "SearchText")->setText(qs("本"));
  QTest::mouseClick(searchButton, Qt::LeftButton);
  waitForSearch(fleet);
  ASSERT_EQ(found->model()->rowCount(), 2);
  EXPECT_FALSE(stopButton->isEnabled());

  // The thread stops itself before its second computer, as a click on "中　止" would stop it there.
  int computers = 0;
  fleet.searchRun()->beforeEachComputer = [&] {
    if (++computers == 2) QMetaObject::invokeMethod(stopButton, [stopButton] { stopButton->click(); }, Qt::BlockingQueuedConnection);
  };
  QTest::mouseClick(searchButton, Qt::LeftButton);
  EXPECT_EQ(found->model()->rowCount(), 0) << "the old answer is cleared at once";
  EXPECT_EQ(fleet.cursor().shape(), Qt::BusyCursor);
  EXPECT_FALSE(searchButton->isEnabled());
  waitForSearch(fleet);
  EXPECT_EQ(rowsOf(found->tree()), (Rows{{"alpha", "PC01", "1", "T_Printer", "PrinterName", "㈱本社 複合機①", "プリンタ一覧"}}));
  EXPECT_EQ(ui::utf8(found->countLine()->text()), "1件 (検索を中止しました)");
  EXPECT_EQ(fleet.cursor().shape(), Qt::ArrowCursor);
  EXPECT_TRUE(searchButton->isEnabled());
  EXPECT_FALSE(stopButton->isEnabled());

  fleet.searchRun()->beforeEachComputer = nullptr;  // the next search reads to its end again
  QTest::mouseClick(searchButton, Qt::LeftButton);
  waitForSearch(fleet);
  EXPECT_EQ(ui::utf8(found->countLine()->text()), "2件");
}

// Esc stops a running search, else empties the shown tab's field, else closes the window.
TEST_P(FleetWindowTest, EscapeStopsTheSearchThenEmptiesTheFieldThenCloses) {
  F_Fleet& fleet = openFleet();
  fleet.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&fleet));
  fleet.tabs()->setCurrentIndex(2);
  edit(fleet, "SearchText")->setText(qs("本"));
  int computers = 0;
  fleet.searchRun()->beforeEachComputer = [&] {
    if (++computers == 2)
      QMetaObject::invokeMethod(&fleet, [&fleet] { QTest::keyClick(&fleet, Qt::Key_Escape); }, Qt::BlockingQueuedConnection);
  };
  QTest::keyClick(edit(fleet, "SearchText"), Qt::Key_Return);
  waitForSearch(fleet);
  EXPECT_EQ(ui::utf8(list(fleet, "SearchList")->countLine()->text()), "1件 (検索を中止しました)");
  EXPECT_EQ(ui::utf8(edit(fleet, "SearchText")->text()), "本") << "the first Esc only stopped the search";
  QTest::keyClick(edit(fleet, "SearchText"), Qt::Key_Escape);
  EXPECT_EQ(edit(fleet, "SearchText")->text(), QString());
  ASSERT_NE(main().fleetWindow(), nullptr);
  QTest::keyClick(edit(fleet, "SearchText"), Qt::Key_Escape);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(main().fleetWindow(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(FileAndServer, FleetWindowTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Server" : "File"; });

}  // namespace
}  // namespace tavrix
