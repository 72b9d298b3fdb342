// The generator's fleets are what the benchmarks and demos rely on: each file imports to exactly the
// rows its summary announces, the slim computers few, the names unique past 99,999.
#include <gtest/gtest.h>

#include "platform/db.h"
#include "tests/import/import_fixture.h"
#include "tools/samples.h"

namespace tavrix::test {
namespace {

using Lines = std::vector<std::string>;

class Fixture : public ImportFixture {
  void TestBody() override {}
};

TEST(SampleFleet, EachProfileImportsToTheRowsItAnnounces) {
  struct Case {
    samples::Profile profile;
    int most;  // rows a computer brings at most
  };
  for (const Case& c : {Case{samples::Profile::Full, 2000}, Case{samples::Profile::Slim, 20}}) {
    Fixture f;
    const std::string csvDir = f.csvDir(), dbPath = f.dbPath();
    std::map<std::string, long long> announced = samples::writeFleet(csvDir, 4, 9, c.profile).rows;
    // A computer far past the fifth digit keeps a name of its own.
    for (const int index : {99999, 100000, 1000000}) {
      const samples::Computer far = samples::makeComputer(9, index, c.profile);
      writeFile(csvDir + "/" + far.pcId + ".csv", cp932(far.text));
      for (const auto& [table, rows] : far.rows) announced[table] += rows;
    }
    f.runBatchOnce();
    ASSERT_EQ(f.messages.texts(), Lines{});
    long long all = 0;
    for (const std::string& table : kTables) {
      const Lines count = queryRows(dbPath, "SELECT count(*) FROM " + table);
      EXPECT_EQ(count, Lines{std::to_string(announced[table])}) << table;
      all += announced[table];
    }
    EXPECT_LE(all, 7 * c.most);
    EXPECT_EQ(queryRows(dbPath, "SELECT PCid FROM T_BasicInf WHERE RNO > (SELECT max(RNO) - 3 FROM T_BasicInf) ORDER BY RNO"),
              (Lines{"PC100000", "PC1000000", "PC99999"}));
  }
}

}  // namespace
}  // namespace tavrix::test
