// The computer list's model on its own: ties of a case-insensitive sort keep their order, the
// filter narrows the rows and a sort keeps it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/main/qt_computer_list_model.h"

namespace tavrix {
namespace {

using Names = std::vector<std::string>;

Names shownColumn(const ComputerListModel& model, int column) {
  Names texts;
  for (int r = 0; r < model.rowCount(); ++r) texts.emplace_back(model.text(r, column));
  return texts;
}

TEST(ComputerListModelTest, SortIsStableOverTextsEqualIgnoringCaseAndKeepsTheFilter) {
  ComputerListTable rows(kComputerListColumns.size());
  const Names names = {"b", "ABC", "a", "abc", "Abc", "ａｂｃ", ""};
  for (std::size_t i = 0; i < names.size(); ++i) rows.append(ComputerListRow{names[i], "u", "os", "", "PC" + std::to_string(i), std::to_string(i)});
  ComputerListModel model(nullptr);
  model.setRows(std::move(rows));
  struct Step {
    const char* typed;  // nullptr: sort by the column
    int column;
    Names shown;  // the RNO column afterwards
  };
  const Step steps[] = {
      {nullptr, 0, {"6", "2", "1", "3", "4", "0", "5"}},  // "", a, ABC abc Abc in their order, b, ａｂｃ
      {"abc", 0, {"1", "3", "4", "5"}},                    // the filter folds width too
      {nullptr, 4, {"1", "3", "4", "5"}},
      {"", 0, {"0", "1", "2", "3", "4", "5", "6"}},       // every row, sorted while hidden
      {nullptr, 1, {"0", "1", "2", "3", "4", "5", "6"}},  // all equal: nothing moves
  };
  for (const Step& step : steps) {
    if (step.typed)
      model.setFilter(step.typed);
    else
      model.sortAscending(step.column);
    EXPECT_EQ(shownColumn(model, 5), step.shown) << (step.typed ? step.typed : "sort ") << step.column;
    EXPECT_EQ(model.shownCount(), step.shown.size());
  }
  EXPECT_EQ(model.totalCount(), names.size());
}

// Every spelling of "abcdef" but one (63 distinct texts equal ignoring case) keeps database order,
// more than a sort keeps by chance.
TEST(ComputerListModelTest, ManyTextsEqualIgnoringCaseKeepTheirOrder) {
  ComputerListTable rows(kComputerListColumns.size());
  Names expected;
  for (int mask = 63; mask > 0; --mask) {
    std::string name = "abcdef";
    for (int i = 0; i < 6; ++i)
      if (mask & (1 << i)) name[static_cast<std::size_t>(i)] = static_cast<char>(name[static_cast<std::size_t>(i)] - 32);
    rows.append(ComputerListRow{name, "", "", "", "", std::to_string(mask)});
    expected.push_back(std::to_string(mask));
  }
  rows.append(ComputerListRow{"abcde", "", "", "", "", "0"});
  expected.insert(expected.begin(), "0");
  ComputerListModel model(nullptr);
  model.setRows(std::move(rows));
  model.sortAscending(0);
  EXPECT_EQ(shownColumn(model, 5), expected);
}

}  // namespace
}  // namespace tavrix
