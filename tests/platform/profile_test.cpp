// Profile lookup rules on real ini files.
#include <gtest/gtest.h>

#include "platform/profile.h"
#include "platform/text.h"
#include "tests/support/test_support.h"

namespace tavrix {
namespace {

TEST(ProfileTest, LookupRules) {
  test::TempDir dir;
  const std::string ini = dir.file("t.ini");
  test::writeFile(ini,
                  "[Other]\r\nLOG_DIR=wrong\r\n"
                  "  [tavrix SECTION]  \r\n"
                  "log_dir =  \"C:\\quoted\\\"  \r\n"
                  "SINGLE='x y'\r\n"
                  "HALF=\"open\r\n"
                  "EMPTY=\r\n"
                  "SPACED =  a b  \r\n"
                  "; comment=1\r\n");
  struct Case {
    const char* key;
    const char* expected;
  };
  const Case cases[] = {{"LOG_DIR", "C:\\quoted\\"}, {"single", "x y"}, {"HALF", "\"open"},
                        {"EMPTY", ""},               {"SPACED", "a b"}, {"MISSING", "@@@"}};
  for (const auto& c : cases) EXPECT_EQ(profile::readString(ini, "Tavrix Section", c.key, "@@@"), c.expected) << c.key;
  EXPECT_EQ(profile::readString(dir.file("none.ini"), "Tavrix Section", "LOG_DIR", "dflt"), "dflt");
  EXPECT_EQ(profile::readString(ini, "No Section", "LOG_DIR", "dflt"), "dflt");
}

TEST(ProfileTest, Cp932FileAndLengthLimit) {
  test::TempDir dir;
  const std::string ini = dir.file("t.ini");
  test::writeFile(ini, test::cp932("[Tavrix Section]\r\nCSV_DIR=/データ/収集\r\nLONG=" + std::string(600, 'a')));
  EXPECT_EQ(profile::readString(ini, "Tavrix Section", "CSV_DIR", ""), "/データ/収集");
  EXPECT_EQ(profile::readString(ini, "Tavrix Section", "LONG", "").size(), 511u);
  test::writeFile(ini, "[Tavrix Section]\nK=" + std::string(510, 'a') + "あ\n");
  // "あ" takes two bytes in CP932 and would pass byte 511: it is left out whole.
  EXPECT_EQ(profile::readString(ini, "Tavrix Section", "K", ""), std::string(510, 'a'));
  // A value of a million characters is cut in one pass: 255 two-byte characters fill 510 bytes.
  std::string wide, kept;
  for (int i = 0; i < 1000000; ++i) wide += "あ";
  for (int i = 0; i < 255; ++i) kept += "あ";
  test::writeFile(ini, test::cp932("[Tavrix Section]\nK=" + wide + "\n"));
  EXPECT_EQ(profile::readString(ini, "Tavrix Section", "K", ""), kept);
}

// The same settings saved by a Windows editor as "Unicode" (UTF-16 with its byte-order mark),
// big-endian, or UTF-8 with a mark, read alike; a broken unit is no reason to lose the rest.
TEST(ProfileTest, Utf16AndMarkedUtf8Files) {
  auto utf16 = [](const std::u16string& s, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : s) {
      char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
      out += bigEndian ? hi : lo;
      out += bigEndian ? lo : hi;
    }
    return out;
  };
  const std::u16string body = 
      u"[Tavrix Section]\r\nCSV_DIR=/データ/収集\r\nEMOJI=\U0001F5A5\r\nBAD=a" + std::u16string(1, u'\xD800') + u"b\r\n";
  const struct {
    const char* name;
    std::string bytes;
  } files[] = {{"utf-16le", utf16(body, false)}, {"utf-16be", utf16(body, true)},
               {"utf-8 with mark", "\xEF\xBB\xBF[Tavrix Section]\r\nCSV_DIR=/データ/収集\r\nEMOJI=\U0001F5A5\r\nBAD=a\uFFFDb\r\n"}};
  test::TempDir dir;
  for (const auto& f : files) {
    test::writeFile(dir.file("t.ini"), f.bytes);
    EXPECT_EQ(profile::readString(dir.file("t.ini"), "Tavrix Section", "CSV_DIR", ""), "/データ/収集") << f.name;
    EXPECT_EQ(profile::readString(dir.file("t.ini"), "Tavrix Section", "EMOJI", ""), "\U0001F5A5") << f.name;
    EXPECT_EQ(profile::readString(dir.file("t.ini"), "Tavrix Section", "BAD", ""), "a\uFFFDb") << f.name;
  }
}

}  // namespace
}  // namespace tavrix
