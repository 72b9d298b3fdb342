// Padding, spacers and the NULL-aware text tests used to assemble tree lines.
#include "ui/detail/line_format.h"

#include <gtest/gtest.h>

#include "tests/views/inventory_db.h"
#include "ui/detail/detail_sections.h"

namespace tavrix {
namespace {

using test::B;

TEST(LineFormat, PaddingCountsCharactersAndNeverCuts) {
  struct Case {
    const char* name;
    db::Value value;
    std::size_t width;
    std::string left, right;
  };
  const std::vector<Case> cases = {
      {"short text", "ab", 7, "ab" + B(5), B(5) + "ab"},
      {"six wide", "ab", 6, "ab" + B(4), B(4) + "ab"},
      {"longer than width stays whole", "abcdefghi", 7, "abcdefghi", "abcdefghi"},
      {"exactly the width", "abcdefg", 7, "abcdefg", "abcdefg"},
      {"full-width counts one", "開始", 6, "開始" + B(4), B(4) + "開始"},
      {"ideographic space is text", "　", 3, "　" + B(2), B(2) + "　"},
      {"empty text pads", "", 3, B(3), B(3)},
      {"NULL gives nothing", db::Value(), 7, "", ""},
      {"number as digits", 42, 5, "42" + B(3), B(3) + "42"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(leftAligned(c.value, c.width), c.left);
    EXPECT_EQ(rightAligned(c.value, c.width), c.right);
  }
}

TEST(LineFormat, NullIsNeitherEmptyNorNotEmpty) {
  struct Case {
    const char* name;
    db::Value value;
    bool empty, notEmpty, fewerThan3, trimmedNotEmpty;
  };
  const std::vector<Case> cases = {
      {"NULL", db::Value(), false, false, false, false},
      {"empty", "", true, false, true, false},
      {"blanks only", "   ", false, true, false, false},
      {"text", "ab", false, true, true, true},
      {"three full-width", "ドライ", false, true, false, true},
      {"ideographic space survives trim", "　", false, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(isEmptyText(c.value), c.empty);
    EXPECT_EQ(isNotEmptyText(c.value), c.notEmpty);
    EXPECT_EQ(hasFewerChars(c.value, 3), c.fewerThan3);
    EXPECT_EQ(isNotEmptyText(trimmed(c.value)), c.trimmedNotEmpty);
  }
}

TEST(LineFormat, SpacersAndDates) {
  EXPECT_EQ(spacer(2), "  : ");
  EXPECT_EQ(spacer(17), B(17) + ": ");
  struct Case {
    const char* name;
    db::Value stored;
    std::string shown;
  };
  const std::vector<Case> cases = {
      {"to the minute", "2004-10-24 09:05:30", "2004/10/24 09:05"},
      {"zero date", "1899-12-30 00:00:00", "1899/12/30 00:00"},
      {"NULL", db::Value(), ""},
      {"no date is shown as stored", "yesterday", "yesterday"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(minuteText(c.stored), c.shown);
  }
}

TEST(LineFormat, OperatingSystemTestComparesThreeCharactersAsText) {
  struct Case {
    db::Value id;
    bool passes;
  };
  const std::vector<Case> cases = {
      {500, true}, {200, false}, {1000, false}, {99, true}, {2, false},
      {201, true}, {21, true}, {20, false}, {3, true}, {db::Value(), false}, {-1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id.isNull() ? std::string("NULL") : c.id.text());
    EXPECT_EQ(detail::passesOsTest(c.id), c.passes);
  }
}

}  // namespace
}  // namespace tavrix
