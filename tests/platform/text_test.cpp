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

TEST(TextTest, Utf8OrCp932Detection) {
  EXPECT_EQ(decodeUtf8OrCp932("フォルダ"), "フォルダ");
  EXPECT_EQ(decodeUtf8OrCp932(utf8ToCp932("フォルダ")), "フォルダ");
  EXPECT_EQ(decodeUtf8OrCp932("\xEF\xBB\xBFkey=v"), "key=v");
  EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));  // surrogate
  EXPECT_FALSE(isValidUtf8("\xC0\xAF"));      // overlong
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
  EXPECT_EQ(charCount("ＮＩＣカード:"), 7u);
  EXPECT_EQ(leftChars("作成日abc", 4), "作成日a");
}

TEST(TextTest, TrimTouchesAsciiBlanksOnly) {
  EXPECT_EQ(trim("  a b  "), "a b");
  EXPECT_EQ(trim("　a　"), "　a　");
  EXPECT_EQ(trim("\ta\t"), "\ta\t");
  EXPECT_EQ(trimLeft("  x "), "x ");
  EXPECT_EQ(trimRight("  x "), "  x");
}

TEST(TextTest, SplitKeepsEmptyFieldsAndQuotes) {
  EXPECT_EQ(split("1,6,,\"a\",", ','), (std::vector<std::string>{"1", "6", "", "\"a\"", ""}));
  EXPECT_EQ(split("", ','), (std::vector<std::string>{""}));
  EXPECT_EQ(quoteSqlText("O'Brien's"), "O''Brien''s");
  EXPECT_TRUE(startsWithNoCase("mdbname x", "MDBNAME"));
  EXPECT_EQ(toUpperAscii("updateOnly髙"), "UPDATEONLY髙");
}

}  // namespace
}  // namespace tavrix::text
