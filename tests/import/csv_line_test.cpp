// The field rules of inventory CSV lines: splitting, numbers as section and item, leading numbers,
// rounding of adapter numbers, and the registry-check cut.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "import/csv_line.h"
#include "import/detail_importers.h"

namespace tavrix {
namespace {

TEST(CsvLine, SplitsAtEveryCommaWithoutQuoting) {
  struct Case {
    std::string text;
    std::vector<std::string> fields;
  };
  const std::vector<Case> cases = {
      {"", {""}},
      {"1,6,", {"1", "6", ""}},
      {"a,,b", {"a", "", "b"}},
      {"\"x,y\",z", {"\"x", "y\"", "z"}},
      {" 1 ,　2", {" 1 ", "　2"}},
  };
  for (const auto& c : cases) {
    CsvLine line;
    line.assign(c.text);
    ASSERT_EQ(line.size(), c.fields.size()) << c.text;
    for (std::size_t i = 0; i < c.fields.size(); ++i) EXPECT_EQ(line[i], c.fields[i]) << c.text;
    EXPECT_FALSE(line.has(c.fields.size()));
    EXPECT_EQ(line.get(c.fields.size()), "");
  }
}

TEST(CsvLine, StrictNumberAcceptsOnlyWholeNumbers) {
  struct Case {
    std::string field;
    std::optional<double> value;
  };
  const std::vector<Case> cases = {
      {"1", 1},        {"01", 1},      {"1.0", 1},     {"006", 6},       {" 2 ", 2},      {"+3", 3},
      {"-1", -1},      {"2.5", 2.5},   {".5", 0.5},    {"1e1", 10},      {"", std::nullopt},
      {"a", std::nullopt}, {"1a", std::nullopt}, {"1 2", std::nullopt}, {"1.2.3", std::nullopt},
      {"-", std::nullopt}, {".", std::nullopt}, {"1e", std::nullopt}, {"inf", std::nullopt},
      {"nan", std::nullopt}, {"\xEF\xBC\x91", std::nullopt},  // full-width digit one
  };
  for (const auto& c : cases) EXPECT_EQ(csv::strictNumber(c.field), c.value) << "[" << c.field << "]";
}

TEST(CsvLine, LeadingNumberTakesWhatTheFieldBeginsWith) {
  struct Case {
    std::string field;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"133MHz", "133"},   {"512 KB", "512"}, {"2.5GHz", "2.5"},  {"", "0"},           {"KB512", "0"},
      {"5.1.2600", "5.1"}, {"  42", "42"},    {"1 2 3x", "123"},  {"-7.5 V", "-7.5"},  {"1e3Hz", "1000"},
      {"1E+2", "100"},     {"3e", "3"},       {"0.0", "0"},       {"-0", "0"},         {".5", "0.5"},
      {"10.0.19045", "10"}, {"1,024", "1"},
  };
  for (const auto& c : cases) {
    auto n = csv::leadingNumber(c.field);
    ASSERT_TRUE(n.has_value()) << c.field;
    EXPECT_EQ(csv::numberText(*n), c.text) << "[" << c.field << "]";
  }
  EXPECT_FALSE(csv::leadingNumber("1e999").has_value());
}

TEST(CsvLine, RoundsHalvesToEven) {
  struct Case {
    double value;
    std::optional<int> rounded;
  };
  const std::vector<Case> cases = {{2.5, 2}, {3.5, 4}, {0.5, 0}, {1.49, 1}, {-1.5, -2}, {5.1, 5},
                                   {32767.4, 32767}, {32767.6, std::nullopt}, {-0.4, 0}};
  for (const auto& c : cases) EXPECT_EQ(csv::roundHalfEven(c.value, -32768, 32767), c.rounded) << c.value;
}

TEST(CsvLine, RegistryCheckCut) {
  struct Case {
    std::string field, reg, file;
  };
  const std::vector<Case> cases = {
      {"Ver:HKLM\\Software\\X file:C:\\x.dll)", "HKLM\\Software\\X", "C:\\x.dll"},
      {"", "", ""},
      {"no colon file:x)", "", ""},
      {"Ver:HKLM\\X", "", ""},                     // a ":" but no " f" after it
      {"Ver:HKLM\\X file:", "HKLM\\X", ""},        // fewer than six characters after " f"
      {"Ver:HKLM\\X file:)", "HKLM\\X", ""},
      {"Ver:HKLM\\X file:ab", "HKLM\\X", "a"},
      {"Ver:キー file:Ｃ:\\ファイル)", "キー", "Ｃ:\\ファイル"},
      {"Ver:a fあいうえおかき", "a", "おか"},          // counted in characters, not bytes
      {"x f:Ver:a file:b)", "Ver:a", "b"},        // " f" searched from the first ":"
  };
  for (const auto& c : cases) {
    RegistryCheckParts parts = cutRegistryCheck(c.field);
    EXPECT_EQ(parts.reg, c.reg) << c.field;
    EXPECT_EQ(parts.file, c.file) << c.field;
  }
}

}  // namespace
}  // namespace tavrix
