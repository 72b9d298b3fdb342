// A generated fleet imported over two days, part of it replaced on the second: every table must hold
// exactly the rows of importing the newest files once into an empty database. The replaced computers'
// old rows are found through T_BasicInf, in databases of the delivered scripts and in databases whose
// detail tables still carry the PCid index of the earlier scripts.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "platform/db.h"
#include "tests/import/import_fixture.h"
#include "tools/samples.h"

namespace tavrix::test {
namespace {

using Lines = std::vector<std::string>;

constexpr int kComputers = 12;
const std::set<int> kReplaced = {1, 5, 6, 12};  // computers whose second-day file differs

void writeComputer(const ImportFixture& f, std::uint64_t seed, int index) {
  samples::Computer c = samples::makeComputer(seed, index);
  writeFile(f.csvDir() + "/" + c.pcId + ".csv", cp932(c.text));
}

// Every table's rows in the fixture's database, table by table; without T_BasicInf's RNO, which
// numbers the imports and so differs between the two ways of getting there.
std::map<std::string, Lines> contents(const ImportFixture& f) {
  std::map<std::string, Lines> all;
  for (const auto& table : kTables) all[table] = tableRows(f.dbPath(), table);
  for (auto& row : all["T_BasicInf"]) row = std::regex_replace(row, std::regex(" RNO=[0-9]+"), "");
  return all;
}

class Fixture : public ImportFixture {
  void TestBody() override {}
};

struct Case {
  const char* name;
  bool earlierIndexes;  // the detail tables indexed on PCid, as the earlier scripts made them
};

class SnapshotContents : public ::testing::TestWithParam<Case> {};

TEST_P(SnapshotContents, ReplacedComputersKeepOnlyTheirNewestRows) {
  Fixture reference;
  for (int i = 1; i <= kComputers; ++i) writeComputer(reference, kReplaced.count(i) ? 2 : 1, i);
  reference.runBatchOnce();
  ASSERT_TRUE(reference.messages.messages.empty()) << reference.messages.texts()[0];

  Fixture twoDays;
  twoDays.runBatchOnce();  // builds the empty database
  if (GetParam().earlierIndexes) {
    db::Connection c;
    c.openPlain(twoDays.dbPath());
    for (const auto& table : kTables)
      if (table != "T_BasicInf") c.execute("CREATE INDEX IX_" + table + "_PCid ON " + table + " (PCid)");
  }
  for (int i = 1; i <= kComputers; ++i) writeComputer(twoDays, 1, i);
  twoDays.runBatchOnce();
  for (int i : kReplaced) writeComputer(twoDays, 2, i);
  twoDays.runBatchOnce();
  ASSERT_TRUE(twoDays.messages.messages.empty()) << twoDays.messages.texts()[0];

  auto expected = contents(reference), got = contents(twoDays);
  for (const auto& table : kTables) {
    EXPECT_FALSE(expected[table].empty()) << table;
    EXPECT_EQ(got[table], expected[table]) << table;
  }
  EXPECT_EQ(invariantViolations(twoDays.dbPath()), Lines{});
  EXPECT_EQ(queryRows(twoDays.dbPath(), "SELECT count(*) FROM T_BasicInf"), Lines{std::to_string(kComputers)});
}

INSTANTIATE_TEST_SUITE_P(Databases, SnapshotContents,
                         ::testing::Values(Case{"DeliveredScripts", false}, Case{"EarlierScripts", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavrix::test
