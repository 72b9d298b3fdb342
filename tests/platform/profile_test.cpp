// Profile lookup rules on real ini files: sections, quotes and blanks, CP932 and the length limit,
// UTF-16 and marked UTF-8.
#include <gtest/gtest.h>

#include "platform/profile.h"
#include "platform/text.h"
#include "tests/support/test_support.h"

namespace tavrix {
namespace {

// The bytes of s as UTF-16 with its byte-order mark, as a Windows editor saves "Unicode".
std::string utf16(const std::u16string& s, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t c : s) {
    char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

TEST(ProfileTest, LookupRulesAndEncodings) {
  std::string wide, kept;  // a value of a million characters is cut in one pass: 255 of them fill 510 bytes
  for (int i = 0; i < 1000000; ++i) wide += "あ";
  for (int i = 0; i < 255; ++i) kept += "あ";
  // A broken UTF-16 unit is no reason to lose the rest.
  const std::u16string unicode =
      u"[Tavrix Section]\r\nCSV_DIR=/データ/収集\r\nEMOJI=\U0001F5A5\r\nBAD=a" + std::u16string(1, u'\xD800') + u"b\r\n";
  const std::vector<std::pair<std::string, std::string>> unicodeKeys = {
      {"CSV_DIR", "/データ/収集"}, {"EMOJI", "\U0001F5A5"}, {"BAD", "a\uFFFDb"}, {"NONE", "@@@"}};
  const struct {
    const char* name;
    std::string bytes;
    std::vector<std::pair<std::string, std::string>> values;  // key, value ("@@@" when absent)
  } cases[] = {
      {"sections, quotes, blanks, comments",
       "[Other]\r\nLOG_DIR=wrong\r\n  [tavrix SECTION]  \r\nlog_dir =  \"C:\\quoted\\\"  \r\nSINGLE='x y'\r\n"
       "HALF=\"open\r\nEMPTY=\r\nSPACED =  a b  \r\n; comment=1\r\n",
       {{"LOG_DIR", "C:\\quoted\\"}, {"single", "x y"}, {"HALF", "\"open"}, {"EMPTY", ""}, {"SPACED", "a b"},
        {"MISSING", "@@@"}}},
      {"no such section", "[Other]\r\nLOG_DIR=x\r\n", {{"LOG_DIR", "@@@"}}},
      {"cp932, cut at 511 bytes",
       test::cp932("[Tavrix Section]\r\nCSV_DIR=/データ/収集\r\nLONG=" + std::string(600, 'a')),
       {{"CSV_DIR", "/データ/収集"}, {"LONG", std::string(511, 'a')}}},
      // "あ" takes two bytes in CP932 and would pass byte 511: it is left out whole.
      {"a character across the limit", "[Tavrix Section]\nK=" + std::string(510, 'a') + "あ\n", {{"K", std::string(510, 'a')}}},
      {"a million characters", test::cp932("[Tavrix Section]\nK=" + wide + "\n"), {{"K", kept}}},
      {"utf-16le", utf16(unicode, false), unicodeKeys},
      {"utf-16be", utf16(unicode, true), unicodeKeys},
      {"utf-8 with mark", "\xEF\xBB\xBF[Tavrix Section]\r\nCSV_DIR=/データ/収集\r\nEMOJI=\U0001F5A5\r\nBAD=a\uFFFDb\r\n",
       unicodeKeys},
  };
  test::TempDir dir;
  const std::string ini = dir.file("t.ini");
  for (const auto& c : cases) {
    test::writeFile(ini, c.bytes);
    for (const auto& [key, value] : c.values)
      EXPECT_EQ(profile::readString(ini, "Tavrix Section", key, "@@@"), value) << c.name << ": " << key;
  }
  EXPECT_EQ(profile::readString(dir.file("none.ini"), "Tavrix Section", "LOG_DIR", "dflt"), "dflt");
}

}  // namespace
}  // namespace tavrix
