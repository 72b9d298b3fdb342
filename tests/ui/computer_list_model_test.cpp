// The computer list's model on its own: ties of a case-insensitive sort keep their order, the
// filter narrows the rows and a sort keeps it.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include <QStringList>

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

// Long texts that begin alike and differ anywhere (within the first eight characters after the
// shared start, past them, only in case, or one ending where another goes on) sort as a stable
// sort by Qt's case-insensitive comparison sorts them.
TEST(ComputerListModelTest, TextsBeginningAlikeSortAsQtComparesThem) {
  const QString tails = QString::fromUtf8("aAbB0_ßＡ");
  std::vector<QString> names;
  unsigned seed = 7;
  for (int i = 0; i < 3000; ++i) {
    seed = seed * 1103515245U + 12345U;
    QString tail;
    for (unsigned length = (seed >> 16) % 14, k = 0; k < length; ++k) tail += tails[static_cast<qsizetype>((seed >> (k % 13)) % 8)];
    names.push_back(QStringLiteral("HINSHITSU-PC-") + tail);
  }
  ComputerListTable rows(kComputerListColumns.size());
  for (std::size_t i = 0; i < names.size(); ++i)
    rows.append(ComputerListRow{names[i].toStdString(), "", "", "", "", std::to_string(i)});
  std::vector<std::size_t> expected(names.size());
  std::iota(expected.begin(), expected.end(), std::size_t{0});
  std::stable_sort(expected.begin(), expected.end(),
                   [&](std::size_t a, std::size_t b) { return names[a].compare(names[b], Qt::CaseInsensitive) < 0; });
  Names expectedRnos;
  for (const std::size_t i : expected) expectedRnos.push_back(std::to_string(i));
  ComputerListModel model(nullptr);
  model.setRows(std::move(rows));
  model.sortAscending(0);
  EXPECT_EQ(shownColumn(model, 5), expectedRnos);
}

// The sort's keys order texts as Qt's own case-insensitive comparison does, over letters whose case
// folding is not ASCII's: sharp s, final sigma, dotted and dotless i, Kelvin, title case, full-width
// letters and characters beyond the first 65,536.
TEST(ComputerListModelTest, CaseFoldedKeysOrderAsQtComparesIgnoringCase) {
  const QStringList letters = QString::fromUtf8("a A z ß ẞ Σ σ ς İ i ı K k ǅ ǆ Ǆ Ａ ａ 𐐀 𐐨 😀 1 _ ").split(QLatin1Char(' '));
  std::vector<QString> texts = {QString()};
  for (int n = 0; n < 3; ++n) {
    const std::size_t before = texts.size();
    for (std::size_t t = 0; t < before; ++t)
      for (qsizetype l = n == 0 ? 0 : (static_cast<qsizetype>(t) * 7 + n) % 5; l < letters.size(); l += 5)
        texts.push_back(texts[t] + letters[l]);
  }
  const auto sign = [](int v) { return (v > 0) - (v < 0); };
  int checked = 0;
  for (const QString& a : texts) {
    const std::u16string ka = caseFoldedKey(a.toStdString());
    for (const QString& b : texts) {
      const std::u16string kb = caseFoldedKey(b.toStdString());
      ASSERT_EQ(sign(ka.compare(kb)), sign(a.compare(b, Qt::CaseInsensitive))) << a.toStdString() << " / " << b.toStdString();
      ++checked;
    }
  }
  EXPECT_GT(checked, 10000);
}

}  // namespace
}  // namespace tavrix
