// The overview window after a real windowed batch, on a file and on a server: opened by Ctrl+O and
// by its button, its cards' bars and numbers, a click on a bar listing those computers, and the
// detail window from one of them.
#include <QApplication>
#include <QHelpEvent>
#include <QPushButton>
#include <QToolTip>

#include "queries/statement_rows.h"
#include "tests/ui/ui_fixture.h"
#include "tools/samples.h"
#include "ui/detail/f_detail_list.h"
#include "ui/fleet/qt_result_list.h"
#include "ui/overview/f_overview.h"
#include "ui/overview/qt_overview_card.h"

namespace tavrix {
namespace {

using test::Rows;
using test::rowsOf;
using ui::qs;

class OverviewWindowTest : public test::WindowedRun, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) useServer();
  }
  static ui::OverviewCard* card(F_Overview& overview, const char* name) {
    return overview.findChild<ui::OverviewCard*>(QString::fromLatin1(name));
  }
  // Each row of a card as "item=number".
  static std::vector<std::string> shown(const ui::OverviewCard* card) {
    std::vector<std::string> rows;
    for (const ui::OverviewCard::Row& row : card->rows()) rows.push_back(ui::utf8(row.item) + "=" + ui::utf8(row.shown));
    return rows;
  }
};

TEST_P(OverviewWindowTest, CardsShowTheFleetAndABarListsItsComputers) {
  writeCsv({"PC01.csv", "2004/10/24 09:05:30", "alpha", "山田", "XP", {"1,10,アプリケーション,秀丸,7.10"}});
  writeCsv({"PC02.csv", "2004/10/25 09:05:30", "Beta", "abe", "2000", {"1,10,アプリケーション,Office,11.0"}});
  writeCsv({"PC03.csv", "2004/10/26 09:05:30", "gamma", "本田", "XP", {"1,10,アプリケーション,Office,11.0"}});
  runMain();
  main().show();
  main().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
  QTest::keyClick(main().listView(), Qt::Key_O, Qt::ControlModifier);
  F_Overview* overview = main().overviewWindow();
  ASSERT_NE(overview, nullptr);
  EXPECT_TRUE(overview->isVisible());
  EXPECT_EQ(test::textOf(overview, ""), "TAVRIX 概要");

  EXPECT_EQ(shown(card(*overview, "Card_computers")), std::vector<std::string>{"台数=3台"});
  ui::OverviewCard* systems = card(*overview, "Card_os");
  EXPECT_EQ(shown(systems), (std::vector<std::string>{"XP=2台", "2000=1台"}));
  EXPECT_EQ(shown(card(*overview, "Card_rare_program")), (std::vector<std::string>{"秀丸 7.10=1台", "Office 11.0=2台"}));
  EXPECT_EQ(shown(card(*overview, "Card_last_batch")),
            (std::vector<std::string>{"終了=" + s.TheClock.now().minuteText(), "取り込んだファイル=3件", "残したファイル=0件",
                                      "除いたファイル=0件"}));
  // Bars as long as their share of the largest figure, drawn without fault.
  EXPECT_NEAR(systems->barRect(0).width(), 2 * systems->barRect(1).width(), 2);
  EXPECT_FALSE(systems->grab().isNull());

  QTest::mouseClick(systems, Qt::LeftButton, {}, systems->rowRect(0).center());
  ui::ResultList* computers = overview->computers();
  ASSERT_NE(computers, nullptr);
  EXPECT_TRUE(computers->isVisible());
  EXPECT_EQ(rowsOf(computers->tree()), (Rows{{"alpha", "山田", "XP", "2004/10/24 09:05", "PC01", "1"},
                                             {"gamma", "本田", "XP", "2004/10/26 09:05", "PC03", "3"}}));
  ui::OverviewCard* programs = card(*overview, "Card_rare_program");
  QTest::mouseClick(programs, Qt::LeftButton, {}, programs->rowRect(1).center());
  EXPECT_EQ(rowsOf(computers->tree()), (Rows{{"Beta", "abe", "2000", "2004/10/25 09:05", "PC02", "2"},
                                             {"gamma", "本田", "XP", "2004/10/26 09:05", "PC03", "3"}}));
  // The last batch's figures list nothing.
  ui::OverviewCard* batch = card(*overview, "Card_last_batch");
  QTest::mouseClick(batch, Qt::LeftButton, {}, batch->rowRect(1).center());
  EXPECT_EQ(rowsOf(computers->tree()).size(), 2u);

  QTreeView* tree = computers->tree();
  test::clickRow(tree, 1);
  const int y = tree->visualRect(tree->model()->index(1, 0)).center().y();
  QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, QPoint(10, y));
  ASSERT_NE(overview->detailWindow(), nullptr);
  EXPECT_EQ(test::textOf(overview->detailWindow(), "TxtRNO"), "3");

  // The button opens it afresh (the earlier one and its windows go).
  QTest::mouseClick(main().findChild<QPushButton*>(QStringLiteral("BtnOverview")), Qt::LeftButton);
  ASSERT_NE(main().overviewWindow(), nullptr);
  EXPECT_EQ(main().overviewWindow()->cards().size(), 8u);
  EXPECT_TRUE(messages.messages.empty()) << messages.texts()[0];
}

// A database without a computer: every card drawn (one without figures says "なし"), and no click
// lists a computer.
TEST_P(OverviewWindowTest, AnEmptyInventoryShowsEveryCardAndListsNothing) {
  runMain();
  main().show();
  QTest::mouseClick(main().findChild<QPushButton*>(QStringLiteral("BtnOverview")), Qt::LeftButton);
  F_Overview* overview = main().overviewWindow();
  ASSERT_NE(overview, nullptr);
  ASSERT_EQ(overview->cards().size(), 8u);
  std::vector<std::string> all;
  for (ui::OverviewCard* each : overview->cards()) {
    all.push_back(ui::utf8(each->objectName()) + ":");
    for (const std::string& row : shown(each)) all.back() += " " + row;
    EXPECT_FALSE(each->grab().isNull());
    for (int row = 0; row < std::max<int>(1, static_cast<int>(each->rows().size())); ++row)
      QTest::mouseClick(each, Qt::LeftButton, {}, each->rowRect(row).center());
  }
  const std::string finished = "終了=" + s.TheClock.now().minuteText();
  EXPECT_EQ(all, (std::vector<std::string>{"Card_computers: 台数=0台", "Card_os:", "Card_memory:",
                                           "Card_low_disk: 空き 10%未満=0台 (0ドライブ)", "Card_not_seen: 30日より前=0台",
                                           "Card_missing_update:", "Card_rare_program:",
                                           "Card_last_batch: " + finished + " 取り込んだファイル=0件 残したファイル=0件 除いたファイル=0件"}));
  if (overview->computers()) {
    EXPECT_EQ(rowsOf(overview->computers()->tree()), Rows{}) << "no figure lists a computer";
  }
  EXPECT_TRUE(messages.messages.empty()) << messages.texts()[0];
}

// A generated fleet: the computer and OS cards as the tables count them, and a click on any figure
// lists exactly as many computers as it says.
TEST_P(OverviewWindowTest, EveryFigureOfAGeneratedFleetListsAsManyComputersAsItSays) {
  samples::writeFleet(dir.path() + "/csv", 40, 3);
  runMain();
  main().show();
  QTest::mouseClick(main().findChild<QPushButton*>(QStringLiteral("BtnOverview")), Qt::LeftButton);
  F_Overview* overview = main().overviewWindow();
  ASSERT_NE(overview, nullptr);
  db::Connection c;
  db::ServerStringProblem problem;
  c.open(server ? db::serverLocation(server->connectionString(), problem).value() : db::Location(dir.path() + "/db/Tavrix.mdb"));
  EXPECT_EQ(shown(card(*overview, "Card_computers")), std::vector<std::string>{"台数=40台"});
  std::vector<std::string> systems;
  for (const auto& row : queries::readRows(c, "SELECT OSVersion, count(*) FROM T_BasicInf GROUP BY OSVersion ORDER BY 2 DESC, 1", {}))
    systems.push_back(row[0].text() + "=" + row[1].text() + "台");
  EXPECT_EQ(shown(card(*overview, "Card_os")), systems);
  std::size_t figures = 0;
  for (ui::OverviewCard* each : overview->cards()) {
    if (each->objectName() == QStringLiteral("Card_last_batch")) continue;
    for (std::size_t row = 0; row < each->rows().size(); ++row) {
      const std::string said = ui::utf8(each->rows()[row].shown);
      // Resting on a row tells its whole item, elided or not.
      QHelpEvent help(QEvent::ToolTip, each->rowRect(row).center(), each->mapToGlobal(each->rowRect(row).center()));
      QApplication::sendEvent(each, &help);
      EXPECT_EQ(ui::utf8(QToolTip::text()), ui::utf8(each->rows()[row].item) + "\n" + said);
      QTest::mouseClick(each, Qt::LeftButton, {}, each->rowRect(row).center());
      ASSERT_NE(overview->computers(), nullptr);
      EXPECT_EQ(std::to_string(rowsOf(overview->computers()->tree()).size()) + "台", said.substr(0, said.find("台") + 3))
          << ui::utf8(each->objectName()) << " " << ui::utf8(each->rows()[row].item);
      ++figures;
    }
  }
  EXPECT_GE(figures, 10u) << "the generated fleet fills the cards";
  EXPECT_TRUE(messages.messages.empty()) << messages.texts()[0];
}

INSTANTIATE_TEST_SUITE_P(FileAndServer, OverviewWindowTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Server" : "File"; });

}  // namespace
}  // namespace tavrix
