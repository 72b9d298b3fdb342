// The sample inventory generator: deterministic, CP932-clean, and shaped like real inventories.
#include <gtest/gtest.h>

#include <string>

#include "import/csv_line.h"
#include "platform/text.h"
#include "tests/support/test_support.h"
#include "tools/fleet.h"

namespace tavrix {
namespace {

TEST(Fleet, SameSeedSameComputerOtherSeedAnother) {
  EXPECT_EQ(fleet::makeComputer(7, 3).text, fleet::makeComputer(7, 3).text);
  EXPECT_NE(fleet::makeComputer(7, 3).text, fleet::makeComputer(8, 3).text);
  EXPECT_NE(fleet::makeComputer(7, 3).text, fleet::makeComputer(7, 4).text);
  EXPECT_EQ(fleet::makeComputer(7, 42).pcId, "PC00042");
}

TEST(Fleet, ComputersLookLikeRealInventories) {
  for (int index = 1; index <= 40; ++index) {
    SCOPED_TRACE(index);
    fleet::Computer c = fleet::makeComputer(11, index);
    std::string bytes = text::utf8ToCp932(c.text);
    EXPECT_EQ(text::cp932ToUtf8(bytes), c.text) << "a character CP932 cannot hold";
    EXPECT_GE(c.lines, 650);
    EXPECT_LE(c.lines, 1100);
    EXPECT_GE(bytes.size(), 40000u);
    EXPECT_LE(bytes.size(), 90000u);
    EXPECT_GE(c.rows["T_Device"], 40);
    EXPECT_GE(c.rows["T_ApplInst"], 100);
    EXPECT_GE(c.rows["T_Service"], 70);
    EXPECT_GE(c.rows["T_WinUpdate"], 300);
    EXPECT_GE(c.rows["T_NIC"], 1);
    EXPECT_LE(c.rows["T_NIC"], 3);
    EXPECT_EQ(c.rows["T_BasicInf"], 1);

    // Every line starts with numeric section and item; the header comes first.
    std::size_t start = 0;
    int number = 0;
    while (start < c.text.size()) {
      std::size_t end = c.text.find("\r\n", start);
      ASSERT_NE(end, std::string::npos);
      CsvLine line;
      line.assign(c.text.substr(start, end - start));
      ASSERT_GE(line.size(), 2u) << line.text();
      EXPECT_TRUE(csv::strictNumber(line[0]) && csv::strictNumber(line[1])) << line.text();
      if (number++ == 0) {
        EXPECT_EQ(line.text().substr(0, 4), "0,1,");
      }
      start = end + 2;
    }
    EXPECT_EQ(number, c.lines);
  }
}

TEST(Fleet, WritesOneCp932FilePerComputer) {
  test::TempDir dir;
  fleet::FleetSummary summary = fleet::writeFleet(dir.file("csv"), 3, 5);
  EXPECT_EQ(summary.files, 3);
  long long bytes = 0;
  for (int i = 1; i <= 3; ++i) {
    std::string content = test::readFile(dir.file("csv/" + fleet::pcIdOf(i) + ".csv"));
    EXPECT_EQ(content, text::utf8ToCp932(fleet::makeComputer(5, i).text));
    bytes += static_cast<long long>(content.size());
  }
  EXPECT_EQ(summary.bytes, bytes);
}

}  // namespace
}  // namespace tavrix
