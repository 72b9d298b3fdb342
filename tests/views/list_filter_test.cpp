// Search folding, word matching, the list filter, its count text, and the copied and exported rows.
#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "views/list_filter.h"
#include "views/text_columns.h"
#include "views/text_search.h"

namespace tavrix {
namespace {

using Lines = std::vector<std::string>;

TEST(SearchFoldTest, CaseAndWidthOfLatinLettersAndDigitsFoldAwayOtherTextStays) {
  const std::pair<const char*, const char*> cases[] = {
      {"Windows XP", "windows xp"},
      {"ＷＩＮ９８", "win98"},             // full-width letters and digits
      {"ｗｉｎ－ＸＰ！", "win-xp!"},       // full-width signs
      {"佐藤　太郎", "佐藤 太郎"},         // the ideographic space is a blank
      {"ｱｲｳ カナ ＡＢ", "ｱｲｳ カナ ab"},  // kana of either width stay
      {"～①㈱", "~①㈱"},                  // the full-width tilde folds; ① and ㈱ stay
      {"\xEF\xBC", "\xEF\xBC"},           // a cut sequence stays as it is
      {"", ""},
  };
  for (const auto& [text, folded] : cases) EXPECT_EQ(foldForSearch(text), folded) << text;
}

TEST(SearchFoldTest, WordsAndNextMatchingLineWrapAround) {
  EXPECT_EQ(searchWords("  win  xp\t"), (Lines{"win", "xp"}));
  EXPECT_TRUE(searchWords("   ").empty());
  const Lines lines = {"pc01", "service alerter", "alerter off", "cpu", "windows xp"};
  struct Case {
    const char* typed;
    int after, found;
  };
  const Case cases[] = {
      {"alerter", -1, 1}, {"alerter", 1, 2}, {"alerter", 2, 1},  // wraps to the first match
      {"ALERTER", 0, 1},  {"xp windows", 1, 4}, {"cpu", 3, 3},    // the current line itself comes last
      {"nothing", -1, -1}, {"", -1, -1},      {"pc", 99, 0},      // an outside start begins at the top
  };
  for (const Case& c : cases)
    EXPECT_EQ(nextMatchingLine(lines, searchWords(foldForSearch(c.typed)), c.after), c.found) << c.typed << " " << c.after;
}

TEST(ListFilterTest, RowsHoldingEveryWordInTheShownColumns) {
  ComputerListTable rows(kComputerListColumns.size());
  for (const ComputerListRow& row : std::vector<ComputerListRow>{{"Alpha", "佐藤", "Windows 2000", "2003/01/02 07:08", "PC9", "14"},
                                                                 {"beta", "yamada", "Windows XP", "2004/10/24 09:05", "PC10", "3"},
                                                                 {"gamma", "abe", "ＷＩＮ９８", "", "pc2", "5"}})
    rows.append(row);
  ListFilter filter;
  filter.setRows(rows);
  struct Case {
    const char* typed;
    std::vector<char> shown;
  };
  const Case cases[] = {
      {"", {1, 1, 1}},          {"  ", {1, 1, 1}},       {"WINDOWS", {1, 1, 0}},
      {"win", {1, 1, 1}},       {"９８", {0, 0, 1}},     {"pc1", {0, 1, 0}},
      {"2004/10", {0, 1, 0}},   {"佐藤 2000", {1, 0, 0}}, {"佐藤 xp", {0, 0, 0}},
      {"14", {0, 0, 0}},        // the hidden RNO column is not searched
      {"xp\t2004", {0, 1, 0}},  {"a\tb", {0, 1, 1}},     // a tab separates words, never spans columns
  };
  for (const Case& c : cases) {
    std::vector<char> shown;
    std::size_t count = filter.apply(c.typed, shown);
    EXPECT_EQ(shown, c.shown) << c.typed;
    EXPECT_EQ(count, static_cast<std::size_t>(std::count(c.shown.begin(), c.shown.end(), 1))) << c.typed;
  }
}

TEST(ListFilterTest, CountTextTsvAndCsv) {
  EXPECT_EQ(listCountText(1234567, 0, true), "1,234,567 台中 0 台");  // the window's filter shows the 3,000 rows
  EXPECT_EQ(listCountText(0, 0, false), "0 台");
  // A comma only between groups of three: never in front.
  for (const auto& [count, shown] : std::vector<std::pair<std::size_t, std::string>>{
           {7, "7 台"}, {300, "300 台"}, {1000, "1,000 台"}, {123456, "123,456 台"}, {1000000, "1,000,000 台"}})
    EXPECT_EQ(listCountText(count, 0, false), shown);

  const std::vector<TextRow> rows = {{"PC-01", "佐藤", "Windows XP"}, {"a,b", "say \"hi\"", "tab\there"}, {"", " ", "x\r\ny"}};
  EXPECT_EQ(rowsAsTsv(rows), "PC-01\t佐藤\tWindows XP\na,b\tsay \"hi\"\ttab here\n\t \tx  y\n");
  EXPECT_EQ(rowsAsCsv({"名前", "ユーザ", "ＯＳ"}, rows),
            "\xEF\xBB\xBF名前,ユーザ,ＯＳ\r\nPC-01,佐藤,Windows XP\r\n\"a,b\",\"say \"\"hi\"\"\",tab\there\r\n, ,\"x\r\ny\"\r\n");
  EXPECT_EQ(rowsAsCsv({"h"}, {}), "\xEF\xBB\xBFh\r\n");
}

// Each distinct text kept once, its number stable while the table grows past its first slots.
TEST(TextColumnsTest, RowsReadBackAndRepeatedTextsShareOneNumber) {
  TextColumns rows(2);
  const std::string odd[] = {"", " ", std::string("a\0b", 3), "佐藤", "\xEF\xBC"};
  for (int i = 0; i < 1000; ++i) rows.append(std::vector<std::string>{"PC-" + std::to_string(i), odd[i % 5]});
  ASSERT_EQ(rows.size(), 1000u);
  EXPECT_EQ(rows.values(0).size(), 1000u);
  EXPECT_EQ(rows.values(1).size(), 5u);
  for (std::size_t i = 0; i < 1000; i += 37) {
    EXPECT_EQ(rows.text(i, 0), "PC-" + std::to_string(i));
    EXPECT_EQ(rows.text(i, 1), odd[i % 5]);
    EXPECT_EQ(rows.valueId(i, 1), rows.valueId(i % 5, 1));
  }
}

}  // namespace
}  // namespace tavrix
