// Row output and text matching as functions: each format's escaping of hard values, and the
// ASCII-only case folding that "contains" and the row order share with the database.
#include <gtest/gtest.h>

#include "queries/row_output.h"
#include "queries/text_match.h"

namespace tavrix::queries {
namespace {

TEST(RowOutput, EachFormatKeepsEveryValueInItsField) {
  const ResultTable table{{"Name", "N", "Note"},
                          {{db::Value("a\tb\r\nc"), db::Value(std::int64_t{-7}), db::Value()},
                           {db::Value("say \"hi\", 髙"), db::Value(""), db::Value("bad \xFF byte\x01")}}};
  const ResultTable empty{{"A"}, {}};
  struct Case {
    const char* name;
    const ResultTable& table;
    OutputFormat format;
    std::string out;
  };
  const std::vector<Case> cases = {
      {"tsv: TAB, CR, LF become blanks; NULL and empty alike", table, OutputFormat::Tsv,
       "a b  c\t-7\t\nsay \"hi\", 髙\t\tbad \xFF byte\x01\n"},
      {"csv: quotes where a field needs them", table, OutputFormat::Csv,
       "\xEF\xBB\xBFName,N,Note\r\n\"a\tb\r\nc\",-7,\r\n\"say \"\"hi\"\", 髙\",,bad \xFF byte\x01\r\n"},
      {"json: escapes, null, numbers, invalid bytes replaced", table, OutputFormat::Json,
       "[\n{\"Name\":\"a\\tb\\r\\nc\",\"N\":-7,\"Note\":null},\n"
       "{\"Name\":\"say \\\"hi\\\", 髙\",\"N\":\"\",\"Note\":\"bad \xEF\xBF\xBD byte\\u0001\"}\n]\n"},
      {"tsv without rows", empty, OutputFormat::Tsv, ""},
      {"csv without rows: the header", empty, OutputFormat::Csv, "\xEF\xBB\xBF" "A\r\n"},
      {"json without rows", empty, OutputFormat::Json, "[]\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(formatRows(c.table, c.format), c.out) << c.name;
    // Held compactly, every value comes back with its kind: NULL, empty text, numbers, odd bytes.
    const ResultRows compact(c.table);
    std::vector<std::uint32_t> all(compact.size());
    for (std::uint32_t r = 0; r < all.size(); ++r) all[r] = r;
    EXPECT_EQ(formatRows(compact, all, c.format), c.out) << c.name;
  }
  const ResultRows compact(table);
  EXPECT_EQ(formatRows(compact, {1, 0}, OutputFormat::Tsv), "say \"hi\", 髙\t\tbad \xFF byte\x01\na b  c\t-7\t\n");
  const ResultRows numbers(ResultTable{{"N"}, {{db::Value(0.1)}, {db::Value(std::int64_t{12})}, {db::Value("12")}, {db::Value(0.1)}}});
  EXPECT_EQ(numbers.row(0), (ResultRow{db::Value(0.1)}));
  EXPECT_EQ(numbers.row(1), (ResultRow{db::Value(std::int64_t{12})}));
  EXPECT_EQ(numbers.row(2), (ResultRow{db::Value("12")}));
  EXPECT_EQ(numbers.distinctCount(0), 3U);
  EXPECT_EQ(parseOutputFormat("csv"), OutputFormat::Csv);
  EXPECT_EQ(parseOutputFormat("CSV"), std::nullopt);
}

TEST(TextMatch, CaseIsIgnoredForAsciiLettersOnly) {
  struct Case {
    std::string text, part;
    bool contains;
    int order;  // compareText(text, part)
  };
  const std::vector<Case> cases = {
      {"Office 2003", "office", true, 1},   {"office", "OFFICE", true, 1},   {"OFFICE", "office", true, -1},
      {"ＯＦＦＩＣＥ", "ｏｆｆｉｃｅ", false, -1},  // full-width letters are not folded
      {"abc", "", true, 1},                  {"", "a", false, -1},            {"a_b", "_", true, 1},
      {"_", "a", false, -1},                 // "_" sorts before letters, as NOCASE folds to lower case
      {"Zeta", "alpha", false, 1},           {"b", "B", true, 1},            {"same", "same", true, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(containsNoCase(c.text, c.part), c.contains) << c.text << " / " << c.part;
    EXPECT_EQ(compareText(c.text, c.part), c.order) << c.text << " / " << c.part;
  }
  EXPECT_EQ(containsPattern("5%_a\\"), "%5\\%\\_a\\\\%");
}

}  // namespace
}  // namespace tavrix::queries
