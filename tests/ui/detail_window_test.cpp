// F_DetailList opened from the list: the builder's lines in the tree, TxtRNO, the tree settings,
// the connection left closed, and BtnEND back to the main window.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "tests/ui/ui_fixture.h"
#include "ui/detail/detail_load.h"
#include "ui/detail/f_detail_list.h"
#include "ui/main/f_main.h"
#include "ui/qt_form_support.h"

namespace tavrix {
namespace {

// One computer with a line for most sections of the tree.
const test::Inventory kRichComputer = {
    "PC-A.csv",
    "2004/10/24 09:05:30",
    "PC-A",
    "yamada",
    "Windows XP Professional",
    {
        "1,4,CPU,2400,Pentium 4,FSB,533MHz,L2,512KB",
        "1,5,メモリ,512MB",
        "1,6,デバイス,ＤＶＤドライブ,CD-ROM,cdrom.sys,,容量,4.7GB,1",
        "1,6,デバイス,Floppy,Disk,flpydisk.sys,,,,",
        "1,7,ドライブ,C:,固定,NTFS,全容量,40GB,空き,10GB",
        "1,7,ドライブ,D:,CD-ROM",
        "1,9,プリンタ,LBP-1310",
        "1,10,アプリ,Microsoft Office,11.0",
        "1,11,0,1,ホスト名,pc-a",
        "1,11,1,10,名前,ローカル エリア接続",
        "1,11,1,12,IPアドレス,192.168.0.2,サブネット,255.255.255.0",
        "1,12,グループ,Administrators,PC-A\\yamada",
        "1,13,サービス,<開始の種類>,状態,名前,説明",
        "1,13,サービス,自動,開始,Alerter,警告を送ります",
        "1,15,スタートアップ,Run,ctfmon,C:\\WINDOWS\\system32\\ctfmon.exe",
        "2,1,Windows,C:\\WINDOWS",
        "2,2,System,C:\\WINDOWS\\system32",
        "3,1,Windows Update,KB123456,セキュリティ更新",
        "11,1,Trend,ウイルスバスター,2004,,パターン,2.123.00",
    }};

class DetailWindowTest : public test::WindowedRun {
 protected:
  void SetUp() override {
    writeIni();
    writeCsv({"PC-0.csv", "2004/01/01 00:00", "other", "abe", "Windows 2000"});
    writeCsv(kRichComputer);
    runMain();
    ASSERT_NE(windows.mainWindow(), nullptr);
    list = windows.mainWindow()->listView();
    ASSERT_EQ(list->topLevelItemCount(), 2);
  }
  F_DetailList* openRow(int row) {
    test::clickRow(list, row);
    return windows.mainWindow()->detailWindow();
  }
  QTreeWidget* list = nullptr;
};

TEST_F(DetailWindowTest, RowClickShowsTheBuildersTreeAndLeavesTheConnectionClosed) {
  F_DetailList* detail = openRow(1);
  ASSERT_NE(detail, nullptr);
  EXPECT_EQ(s.CurrentRno, 2);
  EXPECT_FALSE(s.DbOpen);
  EXPECT_EQ(ui::utf8(detail->windowTitle()), "TAVRIX");
  EXPECT_EQ(ui::utf8(detail->findChild<QLineEdit*>(QStringLiteral("TxtRNO"))->text()), "2");

  const DetailTree built = loadDetailTree(s);
  ASSERT_GT(built.nodes().size(), 20u);
  EXPECT_EQ(test::treeText(detail->treeView()), built.displayText());
  EXPECT_EQ(ui::utf8(detail->treeView()->topLevelItem(0)->text(0)),
            "PC-A               作成日:2004/10/24 09:05");
  EXPECT_TRUE(messages.messages.empty()) << messages.texts()[0];
}

TEST_F(DetailWindowTest, TreeIsCollapsedFixedPitchWithRootLinesAndEditableLabels) {
  QTreeWidget* tree = openRow(1)->treeView();
  EXPECT_TRUE(tree->rootIsDecorated());
  EXPECT_FALSE(tree->isSortingEnabled());
  EXPECT_EQ(QFontInfo(tree->font()).family(), QStringLiteral("IPAGothic"));
  EXPECT_DOUBLE_EQ(tree->font().pointSizeF(), 9.0);
  int withChildren = 0;
  for (QTreeWidgetItemIterator it(tree); *it; ++it) {
    EXPECT_FALSE((*it)->isExpanded()) << ui::utf8((*it)->text(0));
    EXPECT_TRUE((*it)->flags() & Qt::ItemIsEditable);
    if ((*it)->childCount() > 0) ++withChildren;
  }
  EXPECT_GT(withChildren, 5);

  // An edited label changes the display only: the next opening shows the stored text again.
  QTreeWidgetItem* first = tree->topLevelItem(0);
  const QString stored = first->text(0);
  tree->editItem(first, 0);
  EXPECT_NE(tree->viewport()->findChild<QLineEdit*>(), nullptr);  // the in-place editor
  first->setText(0, QStringLiteral("edited"));
  test::click(openRow(1)->findChild<QPushButton*>(QStringLiteral("BtnEND")));
  test::deletePendingWindows();
  EXPECT_EQ(openRow(1)->treeView()->topLevelItem(0)->text(0), stored);
}

TEST_F(DetailWindowTest, BtnEndBringsTheMainWindowBackAndUnloadsTheDetail) {
  F_DetailList* detail = openRow(0);
  ASSERT_NE(detail, nullptr);
  EXPECT_EQ(s.CurrentRno, 1);
  EXPECT_FALSE(windows.mainWindow()->isVisible());
  QPointer<F_DetailList> watch(detail);

  test::click(detail->findChild<QPushButton*>(QStringLiteral("BtnEND")));
  test::deletePendingWindows();
  EXPECT_TRUE(windows.mainWindow()->isVisible());
  EXPECT_TRUE(watch.isNull());
  EXPECT_EQ(windows.mainWindow()->detailWindow(), nullptr);
}

}  // namespace
}  // namespace tavrix
