// The history window opened from the detail window's context menu, on the kept inventories of the
// day-by-day fixture: the list of inventories and the comparison tree of the selected two.
#include <string>
#include <vector>

#include <QApplication>
#include <QColor>
#include <QLabel>

#include "batch/settings.h"
#include "tests/history/history_days.h"
#include "tests/ui/ui_fixture.h"
#include "ui/detail/f_detail_list.h"
#include "ui/history/f_history.h"

namespace tavrix {
namespace {

class HistoryWindowTest : public test::HistoryDays {
 protected:
  HistoryWindowTest() { qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.path() + "/config")); }
  ~HistoryWindowTest() override {
    ui::closeEveryWindow(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  // The detail window of a computer's snapshot as the program opens it, then its 変更履歴….
  F_History* openHistory(const std::string& pcId) {
    s_.ProgramFolder = dir.path();
    s_.IniPath = dir.file("Tavrix.ini");
    EXPECT_FALSE(F_READ_INI(s_));
    s_.CurrentRno = std::stoi(test::queryRows(dbPath(), "SELECT RNO FROM T_BasicInf WHERE PCid = '" + pcId + "'")[0]);
    detail_ = new F_DetailList(s_, nullptr);
    detail_->show();
    QTreeWidget* tree = detail_->treeView();
    test::chooseFromMenu([&] { emit tree->customContextMenuRequested(QPoint(5, 5)); }, "ActHistory");
    return detail_->historyWindow();
  }
  static void selectRows(QTreeWidget* list, std::vector<int> chosen) {
    list->clearSelection();
    for (int r : chosen) list->topLevelItem(r)->setSelected(true);
  }

  RunState s_{messages, clock};
  F_DetailList* detail_ = nullptr;
};

TEST_F(HistoryWindowTest, ListsTheInventoriesAndComparesTheSelectedTwoOrSaysThereIsNothingToCompare) {
  F_History* window = openHistory("PC01");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(ui::utf8(window->windowTitle()), "TAVRIX 変更履歴");
  EXPECT_EQ(test::rowsOf(window->inventoryList()), test::kHistory);

  // The two newest at first.
  QTreeWidget* changes = window->changeTree();
  EXPECT_EQ(test::treeText(changes),
            "ユーザー名\n  ~ tanaka → sato\n現在インストールされているプログラム\n  − Adobe Reader 7.0  7.0.9\n");
  EXPECT_EQ(ui::utf8(window->statusText()), "2026/12/02 14:45 → 2026/12/04 08:30");
  EXPECT_EQ(changes->topLevelItem(1)->child(0)->foreground(0).color(), QColor(192, 0, 0));

  selectRows(window->inventoryList(), {3, 2});
  EXPECT_EQ(test::treeText(changes),
            "Windows Update\n  − KB111111  セキュリティ更新\n"
            "ドライブ\n  ~ C: 空き容量: 10000MB → 20000MB\n"
            "ＮＩＣカード\n  ~ 1 IP アドレス: 192.168.1.10 (マスク:255.255.255.0) → 192.168.1.20 (マスク:255.255.255.0)\n"
            "グループ（ユーザー）\n  + Administrators  KAIHATSU-001\\suzuki\n"
            "現在インストールされているプログラム\n  ~ Microsoft Office 2003: 11.0.8173 → 11.0.8237\n"
            "現在のWindowsのサービス\n  + WebClient  3 停止\n");
  EXPECT_EQ(changes->topLevelItem(3)->child(0)->foreground(0).color(), QColor(0, 128, 0));
  EXPECT_TRUE(changes->topLevelItem(5)->isExpanded());

  selectRows(window->inventoryList(), {1});
  EXPECT_EQ(changes->topLevelItemCount(), 0);
  EXPECT_EQ(ui::utf8(window->statusText()), "比較する2件を選んでください");
  selectRows(window->inventoryList(), {1, 2});
  EXPECT_EQ(test::treeText(changes), "プリンタ一覧\n  + Canon LBP-3300\n");

  // Closing the detail window closes its history window.
  QPointer<F_History> watched(window);
  detail_->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(watched.isNull());

  // A computer with one inventory: nothing to compare.
  window = openHistory("PC02");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(test::rowsOf(window->inventoryList()), (test::Rows{{"1", "2026/12/03 08:00", "20261203/PC02.csv"}}));
  EXPECT_EQ(window->changeTree()->topLevelItemCount(), 0);
  EXPECT_EQ(ui::utf8(window->statusText()), "比較する履歴がありません（保存されたインベントリは1件だけです）");
}

TEST_F(HistoryWindowTest, ADamagedKeptFileIsNamedAndLeftOutOfTheList) {
  test::writeFile(save() + "/20261204/PC01.csv", "\x81\x82garbage\r\n");
  F_History* window = openHistory("PC01");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->inventoryList()->topLevelItemCount(), 3);
  EXPECT_EQ(ui::utf8(window->statusText()),
            "skipped 20261204/PC01.csv: no header line (0,1)\n2026/12/02 08:30 → 2026/12/02 14:45");
  EXPECT_EQ(test::treeText(window->changeTree()), "プリンタ一覧\n  + Canon LBP-3300\n");
}

}  // namespace
}  // namespace tavrix
