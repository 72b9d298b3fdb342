// The windows after real windowed batches: F_Main and its list, sorting, a row click or Enter into
// F_DetailList, BtnEND closing every window, the failed list; and the message boxes. All offscreen (set by CTest).
#include <memory>
#include <tuple>

#include <QApplication>
#include <QFontInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidgetItemIterator>

#include "batch/database.h"
#include "batch/run_log.h"
#include "tests/ui/ui_fixture.h"
#include "views/detail/detail_load.h"
#include "ui/detail/f_detail_list.h"
#include "ui/main/f_wait.h"
#include "ui/qt_message_sink.h"

namespace tavrix {
namespace {

using Lines = std::vector<std::string>;

// The QApplication that every test of this executable runs in.
class QtEnvironment : public ::testing::Environment {
  void SetUp() override {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc_, argv_);
    QApplication::setQuitOnLastWindowClosed(false);  // tests close every window many times
  }
  void TearDown() override { app_.reset(); }
  int argc_ = 1;
  char name_[9] = "ui_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};
[[maybe_unused]] ::testing::Environment* const qtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

class WindowedRunTest : public test::WindowedRun {
 protected:
  // A record of NULLs as an older database holds, then four computers whose columns sort differently.
  void runFleet() {
    prepareDatabase("INSERT INTO T_BasicInf (PCid, CreateDate) VALUES ('PC00', '1899-12-31 23:59:00')");
    writeCsv({"PC01.csv", "", "", "", ""});  // a header without a date: the zero date
    writeCsv({"PC10.csv", "2004/10/24 09:05:30", "beta", "yamada", "Windows XP",
              {"1,4,CPU,2400,Pentium 4,FSB,533MHz,L2,512KB", "1,6,デバイス,ＤＶＤ,CD-ROM,cdrom.sys,,容量,4.7GB,1",
               "1,7,ドライブ,C:,固定,NTFS,全容量,40GB,空き,10GB", "1,12,グループ,Administrators,PC-A\\yamada",
               "1,13,サービス,自動,開始,Alerter,警告を送ります", "2,1,Windows,C:\\WINDOWS"}});
    writeCsv({"PC9.csv", "1900/01/01 00:00", "Alpha", "佐藤", "Windows 2000"});
    writeCsv({"pc2.Sub.csv", "2003/01/02 07:08:09", "gamma", "abe", "ＷＩＮ９８"});
    runMain();
    ASSERT_TRUE(main().isVisible());
  }
};

// The list and the detail window the same on a database file and on a server.
class WindowedRunOnEachEngine : public WindowedRunTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) useServer();
  }
};

TEST_P(WindowedRunOnEachEngine, ListShowsEveryRecordAndAHeaderClickSortsIt) {
  runFleet();
  const test::Rows expected = {
      {"", " ", " ", "", "PC00", "1"},  // NULLs: the name empty, user and OS a blank
      {"", "", "", "", "PC01", "2"},    // empty texts stay empty; the zero date shows nothing
      {"beta", "yamada", "Windows XP", "2004/10/24 09:05", "PC10", "3"},
      {"Alpha", "佐藤", "Windows 2000", "1900/01/01 00:00", "PC9", "4"},
      {"gamma", "abe", "ＷＩＮ９８", "2003/01/02 07:08", "pc2", "5"},
  };
  EXPECT_EQ(test::rowsOf(list()), expected);  // database order; the files in name order
  EXPECT_EQ(test::headerTexts(list()),
            (Lines{"コンピュータ名", "ユーザ名", "ＯＳ名", "作成日", "ＣＳＶファイル名", "RNO"}));
  EXPECT_TRUE(list()->isColumnHidden(5));
  EXPECT_FALSE(list()->model()->flags(list()->model()->index(2, 0)) & Qt::ItemIsEditable);
  EXPECT_FALSE(windows.waitWindow()->isVisible());
  EXPECT_FALSE(s.DbOpen);
  EXPECT_TRUE(messages.messages.empty()) << messages.texts()[0];

  // Ascending by the clicked column; a second click keeps the order.
  const std::pair<int, Lines> cases[] = {
      {0, {"", "", "Alpha", "beta", "gamma"}},  // case ignored
      {3, {"", "", "1900/01/01 00:00", "2003/01/02 07:08", "2004/10/24 09:05"}},
      {4, {"PC00", "PC01", "PC10", "pc2", "PC9"}},  // as text
      {1, {"", " ", "abe", "yamada", "佐藤"}},
  };
  for (const auto& [c, sorted] : cases) {
    test::clickHeader(list(), c);
    const test::Rows once = test::rowsOf(list());
    Lines texts;
    for (const auto& row : once) texts.push_back(row[static_cast<std::size_t>(c)]);
    EXPECT_EQ(texts, sorted) << "column " << c;
    test::clickHeader(list(), c);
    EXPECT_EQ(test::rowsOf(list()), once) << "second click on column " << c;
  }
}

TEST_P(WindowedRunOnEachEngine, RowClickOrEnterOpensThatRowsDetailAndTheEndButtonsCloseIt) {
  runFleet();
  main().move(123, 145);
  test::clickHeader(list(), 0);  // "", "", Alpha, beta (RNO 3), gamma
  test::clickRow(list(), 3);
  EXPECT_EQ(s.CurrentRno, 3);
  F_DetailList* detail = main().detailWindow();
  ASSERT_NE(detail, nullptr);
  EXPECT_TRUE(detail->isVisible());
  EXPECT_FALSE(main().isVisible());
  EXPECT_FALSE(s.DbOpen);
  EXPECT_EQ((Lines{test::textOf(detail, ""), test::textOf(detail, "TxtRNO")}), (Lines{"TAVRIX", "3"}));

  QTreeWidget* tree = detail->treeView();
  const DetailTree built = loadDetailTree(s);
  ASSERT_GT(built.nodes().size(), 20u);
  EXPECT_EQ(test::treeText(tree), built.displayText());
  EXPECT_EQ(ui::utf8(tree->topLevelItem(0)->text(0)), "PC10               作成日:2004/10/24 09:05");
  EXPECT_EQ(QFontInfo(tree->font()).family(), QStringLiteral("IPAGothic"));  // blanks align columns
  EXPECT_TRUE(tree->rootIsDecorated());
  EXPECT_TRUE(tree->topLevelItem(0)->flags() & Qt::ItemIsEditable);
  for (QTreeWidgetItemIterator it(tree); *it; ++it) EXPECT_FALSE((*it)->isExpanded()) << ui::utf8((*it)->text(0));
  EXPECT_TRUE(messages.messages.empty()) << messages.texts()[0];

  test::clickEnd(detail);
  EXPECT_TRUE(main().isVisible());
  EXPECT_EQ(main().pos(), QPoint(123, 145));  // where it was
  EXPECT_EQ(main().detailWindow(), nullptr);

  list()->setCurrentIndex(list()->model()->index(2, 0));  // Alpha
  QTest::keyClick(list(), Qt::Key_Return);
  EXPECT_EQ(s.CurrentRno, 4);
  ASSERT_NE(main().detailWindow(), nullptr);
  main().show();  // the detail window stays open behind the main window
  test::clickEnd(&main());
  EXPECT_EQ(main().detailWindow(), nullptr);
  EXPECT_FALSE(windows.anyWindowVisible());
}

INSTANTIATE_TEST_SUITE_P(FileAndServer, WindowedRunOnEachEngine, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Server" : "File"; });

TEST_F(WindowedRunTest, BothWindowsShowFromTheStartAndBtnEndClosesThemAfterAnEarlyEnd) {
  runMain("", "*\\nowhere");  // no database and no script folder: the batch ends before the import
  EXPECT_TRUE(main().isVisible());
  EXPECT_TRUE(windows.waitWindow()->isVisible());
  const std::pair<const QWidget*, const char*> controls[] = {
      {&main(), ""}, {&main(), "LblTitl"}, {&main(), "LblVersion"}, {&main(), "LblDate"}, {&main(), "BtnEND"},
      {windows.waitWindow(), ""}, {windows.waitWindow(), "Label1"}};
  Lines texts;
  for (const auto& [window, name] : controls) texts.push_back(test::textOf(window, name));
  EXPECT_EQ(texts, (Lines{"TAVRIX main", "TAVRIX", "(Ver 1.0.0)", "現在：2026/12/05", "終　了",
                          "郵便番号CSVデータ作成", "しばらくお待ちください。"}));
  // No files were counted: the wait window shows its label only.
  EXPECT_FALSE(windows.waitWindow()->findChild<QWidget*>(QStringLiteral("ProgressBar1"))->isVisible());
  EXPECT_EQ(list()->model()->rowCount(), 0);

  test::clickEnd(&main());
  EXPECT_FALSE(windows.anyWindowVisible());
}

TEST_F(WindowedRunTest, MissingBasicTableLogsTheFailureAndClosesEveryWindow) {
  prepareDatabase("DROP TABLE T_BasicInf");
  runMain();
  const std::string failure = "Tavrix:F21_List Error=(1) no such table: T_BasicInf";
  EXPECT_EQ(test::lastLines(log(), 3), (Lines{std::string(kEqualsLine), failure, std::string(kEqualsLine)}));
  ASSERT_FALSE(messages.texts().empty());
  EXPECT_EQ(messages.texts().back(), failure);  // the reason in a box before the windows close
  EXPECT_FALSE(windows.anyWindowVisible());
  EXPECT_TRUE(s.DbOpen);  // the batch leaves the connection open after a failed list
  closeDbConnection(s);
}

// Caption, text, icon, number of buttons, stays on top.
using SeenBox = std::tuple<std::string, std::string, QMessageBox::Icon, qsizetype, bool>;

// Shows a box through the sink; once it waits for the user, reads it and answers OK.
SeenBox answerBox(const char* text, MessageStyle style) {
  SeenBox seen;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen = {ui::utf8(box->windowTitle()), ui::utf8(box->text()), box->icon(), box->buttons().size(),
            box->windowFlags().testFlag(Qt::WindowStaysOnTopHint)};
    box->button(QMessageBox::Ok)->click();
  });
  QtMessageSink().show(text, style);
  return seen;
}

TEST(QtMessageSinkTest, ShowsCaptionTextIconAndOkButtonAboveF_WAIT) {
  EXPECT_EQ(answerBox("すでに「TAVRIX」は起動されています。", MessageStyle::Exclamation),
            (SeenBox{"TAVRIX", "すでに「TAVRIX」は起動されています。", QMessageBox::Warning, 1, true}));
  EXPECT_EQ(answerBox("Cant DB Open ", MessageStyle::Plain),
            (SeenBox{"TAVRIX", "Cant DB Open ", QMessageBox::NoIcon, 1, true}));
}

}  // namespace
}  // namespace tavrix
