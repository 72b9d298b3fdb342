// The fleet window's list on its own: sorting by values (numbers as numbers, texts as the database
// orders them, ties kept), an answer read page by page as the list needs it, and a cut-off answer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QLabel>

#include "tests/ui/ui_fixture.h"
#include "ui/fleet/qt_result_list.h"

namespace tavrix {
namespace {

using queries::ResultRow;
using queries::ResultRows;
using Column = std::vector<std::string>;

Column shownColumn(const QTreeView* view, int column) {
  Column texts;
  for (int r = 0; r < view->model()->rowCount(); ++r) texts.push_back(ui::utf8(view->model()->index(r, column).data().toString()));
  return texts;
}

TEST(ResultListModelTest, HeaderClicksSortByValueAndKeepTies) {
  RecordingMessageSink messages;
  ui::ResultList list("L", {QStringLiteral("Name"), QStringLiteral("N"), QStringLiteral("Id")}, messages, nullptr);
  ResultRows rows({"Name", "N", "Id"});
  const std::vector<ResultRow> values = {
      {db::Value("b"), db::Value(std::int64_t{10}), db::Value("0")},   {db::Value("B"), db::Value(std::int64_t{9}), db::Value("1")},
      {db::Value("a"), db::Value(), db::Value("2")},                   {db::Value("_"), db::Value(std::int64_t{10}), db::Value("3")},
      {db::Value(), db::Value(std::int64_t{-1}), db::Value("4")},      {db::Value("a\tb"), db::Value(std::int64_t{9}), db::Value("5")},
  };
  for (const ResultRow& row : values) rows.append(row);
  list.show(std::move(rows), nullptr);
  list.resize(400, 300);
  list.QWidget::show();
  struct Click {
    int column;
    Column ids;  // the Id column afterwards
  };
  const Click clicks[] = {
      {1, {"2", "4", "1", "5", "0", "3"}},  // NULL, -1, 9, 9, 10, 10: as numbers, ties in their order
      {1, {"0", "3", "1", "5", "4", "2"}},  // again: descending, ties still in their order
      {0, {"4", "3", "2", "5", "1", "0"}},  // NULL as "", "_" before letters, case folded, then bytes
      {0, {"0", "1", "5", "2", "3", "4"}},
  };
  for (const Click& click : clicks) {
    test::clickHeader(list.tree(), click.column);
    EXPECT_EQ(shownColumn(list.tree(), 2), click.ids) << click.column;
  }
  EXPECT_EQ(shownColumn(list.tree(), 0)[2], "a b");  // a TAB shows as a blank
  test::clickRow(list.tree(), 0);
  EXPECT_EQ(list.rowOf(list.selectedRow()), values[0]);
}

// An answer of count rows ("r0", "r1", ...) given page rows at a time; reads counts the pages read.
ui::ResultListModel::MoreRows pages(int count, int page, int& next, int& reads) {
  return [count, page, &next, &reads](ResultRows& rows) {
    ++reads;
    for (int end = std::min(count, next + page); next < end; ++next) rows.append({db::Value("r" + std::to_string(next))});
    return next < count;
  };
}

TEST(ResultListModelTest, ALongAnswerIsReadAsTheListNeedsIt) {
  RecordingMessageSink messages;
  ui::ResultList list("L", {QStringLiteral("V")}, messages, nullptr);
  list.resize(300, 200);
  list.QWidget::show();
  int next = 0, reads = 0;
  ResultRows first({"V"});
  first.append({db::Value("r0")});
  next = 1;
  list.show(std::move(first), pages(5000, 100, next, reads));
  QApplication::processEvents();  // the view reads what fills it, no more
  EXPECT_LT(list.model()->rowCount(), 1000);
  EXPECT_FALSE(list.model()->complete());
  EXPECT_NE(test::textOf(&list, "LCount").find("続き"), std::string::npos);

  const int shown = list.model()->rowCount();
  list.tree()->scrollToBottom();  // scrolled to the end: the next page
  QApplication::processEvents();
  EXPECT_GT(list.model()->rowCount(), shown);

  test::clickHeader(list.tree(), 0);  // a sort needs the whole answer
  EXPECT_EQ(list.model()->rowCount(), 5000);
  EXPECT_TRUE(list.model()->complete());
  EXPECT_EQ(test::textOf(&list, "LCount"), "5,000件");
  EXPECT_EQ(shownColumn(list.tree(), 0)[1], "r1");
  EXPECT_EQ(shownColumn(list.tree(), 0)[2], "r10");
  const int readsBefore = reads;
  list.model()->readAll();
  EXPECT_EQ(reads, readsBefore);  // nothing is left to read

  // A longer answer than a list holds stops at a whole page past the limit; the CSV has those rows.
  next = 0;
  list.model()->setMostRows(250);
  list.show(ResultRows({"V"}), pages(5000, 100, next, reads));
  list.model()->readAll();
  EXPECT_EQ(list.model()->rowCount(), 300);
  EXPECT_TRUE(list.model()->cut());
  EXPECT_EQ(test::textOf(&list, "LCount"), "先頭の300件を表示 (CSV出力も同じ)");
  test::TempDir dir;
  ASSERT_TRUE(list.writeCsv(ui::qs(dir.file("cut.csv"))));
  EXPECT_EQ(test::readFile(dir.file("cut.csv")).size(), std::string("\xEF\xBB\xBF" "V\r\n").size() + 10 * 4 + 90 * 5 + 200 * 6);
}

}  // namespace
}  // namespace tavrix
