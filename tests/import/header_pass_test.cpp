// The header pass of the reader: the computer's identity and collector version, without a database.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/csv_reader.h"
#include "tests/import/import_fixture.h"

namespace tavrix::test {
namespace {

struct HeaderCase {
  const char* name;
  std::string file;     // in the CSV folder
  std::string bytes;    // CP932 file content
  std::string pcId;
  std::string quilloVer;
  DateTime createDate;
  std::vector<std::string> log;
};

DateTime at(int y, int mo, int d, int h, int mi, int sec = 0) { return DateTime{y, mo, d, h, mi, sec}; }

const std::vector<HeaderCase>& headerCases() {
  static const std::vector<HeaderCase> cases = {
      {"header only", "PC01.csv", "0,1,x,x,2.1,2004/10/24 10:30\r\n", "PC01", "2.1", at(2004, 10, 24, 10, 30), {}},
      {"seconds", "PC01.csv", "0,1,x,x,2.1,2004/10/24 10:30:15\r\n", "PC01", "2.1", at(2004, 10, 24, 10, 30, 15), {}},
      {"dashes and one digit", "PC01.csv", "0,1,x,x,2,2004-1-5 9:05\n", "PC01", "2", at(2004, 1, 5, 9, 5), {}},
      {"numbers written otherwise", "PC01.csv", "00,1.0,x,x,3,2005/01/02 03:04\r\n", "PC01", "3", at(2005, 1, 2, 3, 4), {}},
      {"not on the first line", "PC01.csv",
       "1,1,コンピュータ名,PC01\r\n0,2,x\r\n0,1,x,x,2.1,2004/10/24 10:30\r\n0,1,x,x,9,2009/09/09 09:09\r\n", "PC01", "2.1",
       at(2004, 10, 24, 10, 30), {}},
      {"no header", "PC01.csv", "1,1,コンピュータ名,PC01\r\n", "PC01", "", DateTime::zero(), {}},
      {"empty file", "PC01.csv", "", "PC01", "", DateTime::zero(), {}},
      {"no real date", "PC01.csv", "0,1,x,x,2.1,2004/02/30 10:00\r\n", "PC01", "2.1", DateTime::zero(),
       {"F06_READ_CSV: PC01.csv line 1: field 5 is not a date: 2004/02/30 10:00"}},
      {"short header", "PC01.csv", "junk\r\n0,1,x,x\r\n", "PC01", "", DateTime::zero(),
       {"F06_READ_CSV: PC01.csv line 2: field 4 is missing", "F06_READ_CSV: PC01.csv line 2: field 5 is missing"}},
      {"name with dots", "A.B.csv", "0,1,x,x,1,2004/10/24 10:30\r\n", "A", "1", at(2004, 10, 24, 10, 30), {}},
      {"garbage", "PC01.csv", std::string("\x00\xff\x81\r\n,,,\x82\n0,x\n", 14), "PC01", "", DateTime::zero(), {}},
  };
  return cases;
}

class HeaderPass : public ImportFixture {};

TEST_F(HeaderPass, FindsTheFirstHeaderLine) {
  for (const auto& c : headerCases()) {
    SCOPED_TRACE(c.name);
    writeFile(dir.file("csv/" + c.file), c.bytes);
    writeFile(dir.file("log/Tavrix.log"), "");
    s.CurrentCsvFile = c.file;
    s.CurrentPcId = c.file.substr(0, c.file.find('.'));
    s.CurrentCreateDate = DateTime::zero();
    s.BasicInfo = {};
    s.NicAdapterCount = 3;

    EXPECT_FALSE(F06_READ_CSV(s, "first"));
    EXPECT_EQ(s.CurrentPcId, c.pcId);
    EXPECT_EQ(s.BasicInfo.QuilloVer, c.quilloVer);
    EXPECT_EQ(s.CurrentCreateDate, c.createDate);
    EXPECT_EQ(s.NicAdapterCount, 0);
    EXPECT_EQ(log(), c.log);
    EXPECT_TRUE(messages.messages.empty());
  }
}

TEST_F(HeaderPass, AFileThatCannotBeOpenedIsLoggedOnce) {
  s.CurrentCsvFile = "GONE.csv";
  EXPECT_TRUE(F06_READ_CSV(s, "first"));
  EXPECT_EQ(log(), std::vector<std::string>{"F06_READ_CSV: GONE.csv: No such file or directory"});
}

}  // namespace
}  // namespace tavrix::test
