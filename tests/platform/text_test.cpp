// CP932 conversion, character counts, padding and trimming.
#include <gtest/gtest.h>

#include "platform/text.h"

namespace tavrix::text {
namespace {

TEST(TextTest, Cp932RoundTripKeepsWindowsCharacters) {
  // ①, ㈱, ～ (U+FF5E), 髙 and the ideographic space are Windows-31J only or easily lost.
  for (std::string s : {"①㈱～髙", "コンピュータ名", "　全角", "ｶﾅ"}) {
    std::string bytes = utf8ToCp932(s);
    EXPECT_NE(bytes, s);
    EXPECT_EQ(cp932ToUtf8(bytes), s);
  }
  EXPECT_EQ(utf8ToCp932("～"), "\x81\x60");
}

TEST(TextTest, UndecodableBytesBecomeReplacementAndReadingGoesOn) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string expected;
  };
  const Case cases[] = {
      {"lone lead byte at end", "ab\x82", "ab\xEF\xBF\xBD"},
      {"lead byte before comma keeps the comma", "a\x82,b", "a\xEF\xBF\xBD,b"},
      {"undefined single byte", "x\xA0y", "x\xEF\xBF\xBDy"},
      {"valid pair after garbage", std::string("\xFF") + "\x82\xA0", "\xEF\xBF\xBD\xE3\x81\x82"},
  };
  for (const auto& c : cases) EXPECT_EQ(cp932ToUtf8(c.bytes), c.expected) << c.name;
}

TEST(TextTest, PaddingCountsCharactersAndNeverCuts) {
  struct Case {
    std::string in;
    std::size_t width;
    std::string left, right;  // left-aligned (padRight), right-aligned (padLeft)
  };
  const Case cases[] = {
      {"ab", 7, "ab     ", "     ab"},
      {"ab", 6, "ab    ", "    ab"},
      {"abcdefghi", 7, "abcdefghi", "abcdefghi"},
      {"開始", 6, "開始    ", "    開始"},
      {"", 3, "   ", "   "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(padRight(c.in, c.width), c.left);
    EXPECT_EQ(padLeft(c.in, c.width), c.right);
  }
}

// Each helper's result beside what it must be.
TEST(TextTest, TrimDetectionSplitQuotingAndCase) {
  const std::pair<std::string, std::string> cases[] = {
      {std::string(trim("  a b  ")), "a b"},   {std::string(trim("　a　")), "　a　"},  // not the ideographic space
      {std::string(trim("\ta\t")), "\ta\t"},   {std::string(trimLeft("  x ")), "x "},
      {std::string(trimRight("  x ")), "  x"}, {decodeUtf8OrCp932("フォルダ"), "フォルダ"},
      {decodeUtf8OrCp932(utf8ToCp932("フォルダ")), "フォルダ"}, {decodeUtf8OrCp932("\xEF\xBB\xBFkey=v"), "key=v"},
      {quoteSqlText("O'Brien's"), "O''Brien''s"}, {toUpperAscii("updateOnly髙"), "UPDATEONLY髙"},
      {leftChars("作成日abc", 4), "作成日a"},
  };
  for (const auto& [got, expected] : cases) EXPECT_EQ(got, expected);
  EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));  // surrogate
  EXPECT_FALSE(isValidUtf8("\xC0\xAF"));      // overlong
  EXPECT_EQ(split("1,6,,\"a\",", ','), (std::vector<std::string>{"1", "6", "", "\"a\"", ""}));
  EXPECT_EQ(split("", ','), (std::vector<std::string>{""}));
  EXPECT_TRUE(startsWithNoCase("mdbname x", "MDBNAME"));
  EXPECT_EQ(charCount("ＮＩＣカード:"), 7u);
}

}  // namespace
}  // namespace tavrix::text
