// The overview's figures on a generated fleet with planted drives, memory sizes and dates: every
// card adds up to the fleet and agrees with the questions that list its computers.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/db.h"
#include "platform/text.h"
#include "queries/drive_space.h"
#include "queries/fleet_overview.h"
#include "queries/fleet_queries.h"
#include "queries/statement_rows.h"
#include "tests/import/import_fixture.h"
#include "tools/samples.h"

namespace tavrix::test {
namespace {

using queries::ResultRow;

TEST(SizeInMegabytes, ReadsANumberAndItsUnit) {
  const std::vector<std::pair<std::string, std::optional<double>>> cases = {
      {"38154MB", 38154},    {"1.5 GB", 1536},    {"512KB", 0.5},      {" 2TB ", 2 * 1024 * 1024},
      {"1048576", 1},        {"3 gb", 3072},      {"", std::nullopt},  {"MB", std::nullopt},
      {"12XB", std::nullopt}, {".", std::nullopt}, {"1,024MB", std::nullopt}, {"-5MB", std::nullopt},
  };
  for (const auto& [text, megabytes] : cases) EXPECT_EQ(text::sizeInMegabytes(text), megabytes) << text;
}

class FleetOverview : public ImportFixture {
 protected:
  void SetUp() override {
    samples::writeFleet(csvDir(), 30, 3);
    runBatchOnce();
    ASSERT_TRUE(messages.messages.empty()) << messages.texts()[0];
    c.open(db::Location(dbPath()));
    // Every fixed drive half free, then three planted: 5 % free, exactly 10 % free, sizes unread.
    c.execute("UPDATE T_Drive SET AllSpace = '1000MB', FreeSpace = '500MB' WHERE DriveType = 'ローカル ディスク'");
    const auto fixedDrive = [&](int n) {
      return queries::readNumber(c, "SELECT rowid FROM T_Drive WHERE DriveType = 'ローカル ディスク' ORDER BY rowid LIMIT 1 OFFSET " +
                                        std::to_string(n));
    };
    const std::int64_t full = fixedDrive(0), edge = fixedDrive(1), odd = fixedDrive(2);
    c.execute("UPDATE T_Drive SET FreeSpace = '50MB' WHERE rowid = " + std::to_string(full));
    c.execute("UPDATE T_Drive SET AllSpace = '1GB', FreeSpace = '102.4MB' WHERE rowid = " + std::to_string(edge));
    c.execute("UPDATE T_Drive SET FreeSpace = 'n/a' WHERE rowid = " + std::to_string(odd));
    c.execute("UPDATE T_BasicInf SET MemorySize = '3GB' WHERE RNO = 1");
    c.execute("UPDATE T_BasicInf SET MemorySize = 'lots' WHERE RNO = 2");
    c.execute("UPDATE T_BasicInf SET MemorySize = NULL WHERE RNO = 3");
    // An update 25 of the 30 have (83 %), and one 23 have (77 %).
    c.execute("INSERT INTO T_WinUpdate (RNO, PCid, WinUpdName) SELECT RNO, PCid, 'KB999999' FROM T_BasicInf WHERE RNO <= 25");
    c.execute("INSERT INTO T_WinUpdate (RNO, PCid, WinUpdName) SELECT RNO, PCid, 'KB888888' FROM T_BasicInf WHERE RNO <= 23");
  }
  // The overview's rows of one card, as item -> (value, computers).
  std::vector<std::pair<std::string, std::pair<std::int64_t, std::int64_t>>> card(const queries::ResultTable& overview,
                                                                                   const std::string& name) {
    std::vector<std::pair<std::string, std::pair<std::int64_t, std::int64_t>>> rows;
    for (const ResultRow& row : overview.rows)
      if (row[0].text() == name) rows.push_back({row[1].text(), {row[2].toInt(), row[3].toInt()}});
    return rows;
  }
  db::Connection c;
};

TEST_F(FleetOverview, EveryCardAddsUpToTheFleetAndAgreesWithItsComputers) {
  const DateTime now = *DateTime::parse("2008/07/01 00:00:00");
  const queries::ResultTable overview = queries::fleetOverview(c, now);
  EXPECT_EQ(overview.columns, (std::vector<std::string>{"Card", "Item", "Value", "Computers"}));
  ASSERT_EQ(card(overview, "computers").size(), 1u);
  const std::int64_t computers = card(overview, "computers")[0].second.first;
  EXPECT_EQ(computers, 30);

  std::int64_t systems = 0, last = computers;
  for (const auto& [os, figures] : card(overview, "os")) {
    EXPECT_EQ(figures.first, queries::readNumber(c, "SELECT count(*) FROM T_BasicInf WHERE OSVersion = ?1", {db::Value(os)})) << os;
    EXPECT_LE(figures.first, last) << "most first";
    last = figures.first;
    systems += figures.first;
  }
  EXPECT_EQ(systems, computers);

  std::map<std::string, std::int64_t> memory;
  std::int64_t inClasses = 0;
  for (const auto& [item, figures] : card(overview, "memory")) memory[item] = figures.first, inClasses += figures.first;
  EXPECT_EQ(inClasses, computers);
  EXPECT_EQ(memory["unknown"], 2) << "'lots' and NULL";
  EXPECT_GE(memory["2048MB"], 1) << "3GB is at least 2048MB and less than twice it";

  // One drive under 10 % free; exactly 10 % is not under; unread sizes counted apart.
  EXPECT_EQ(card(overview, "low_disk"), (std::vector<std::pair<std::string, std::pair<std::int64_t, std::int64_t>>>{
                                            {"10%", {1, 1}}, {"unknown", {1, 1}}}));
  queries::OverviewSettings wider;
  wider.lowDiskPercent = 11;
  const auto widerCard = card(queries::fleetOverview(c, now, wider), "low_disk");
  EXPECT_EQ(widerCard[0].second.first, 2);
  // The list of the computers behind the card (list --low-disk).
  queries::ListFilter lowDisk{std::nullopt, std::nullopt, 10};
  EXPECT_EQ(queries::computerList(c, lowDisk).size(), 1u);
  lowDisk.lowDiskPercent = 11;
  EXPECT_EQ(static_cast<std::int64_t>(queries::computerList(c, lowDisk).size()), widerCard[0].second.second);

  const auto notSeen = card(overview, "not_seen");
  ASSERT_EQ(notSeen.size(), 1u);
  EXPECT_EQ(notSeen[0].first, "30");
  EXPECT_EQ(notSeen[0].second.first,
            queries::readNumber(c, "SELECT count(*) FROM T_BasicInf WHERE CreateDate < '2008-06-01 00:00:00'"));
  EXPECT_GT(notSeen[0].second.first, 0);
  EXPECT_LT(notSeen[0].second.first, computers);

  std::map<std::string, std::int64_t> lacking;
  for (const auto& [name, figures] : card(overview, "missing_update")) lacking[name] = figures.first;
  EXPECT_EQ(lacking["KB999999"], 5);
  EXPECT_FALSE(lacking.contains("KB888888")) << "77 % of the fleet is not most of it";
  for (const auto& [name, figures] : card(overview, "missing_update")) {
    EXPECT_EQ(figures.first, static_cast<std::int64_t>(queries::computersByUpdate(c, name, false).size())) << name;
    EXPECT_GE((computers - figures.first) * 100, computers * 80) << name;
    EXPECT_GT(figures.first, 0) << name;
  }
  const auto rare = card(overview, "rare_program");
  EXPECT_EQ(rare.size(), 20u);
  for (std::size_t p = 1; p < rare.size(); ++p) EXPECT_LE(rare[p - 1].second.first, rare[p].second.first) << "fewest first";
  EXPECT_EQ(rare[0].second.first, 1);
}

// Each figure's computers, as a click on it lists them: as many as it counts, and each one of them.
TEST_F(FleetOverview, EachFigureListsTheComputersItCounts) {
  const DateTime now = *DateTime::parse("2008/07/01 00:00:00");
  std::vector<queries::OverviewItem> items;
  const queries::ResultTable overview = queries::fleetOverview(c, now, {}, &items);
  ASSERT_EQ(items.size(), overview.rows.size());
  std::map<std::string, int> listed;
  for (std::size_t f = 0; f < items.size(); ++f) {
    const ResultRow& figure = overview.rows[f];
    const std::string what = figure[0].text() + " " + figure[1].text();
    EXPECT_EQ(items[f].card, figure[0].text());
    const queries::ResultRows computers = queries::overviewComputers(c, now, items[f]);
    EXPECT_EQ(static_cast<std::int64_t>(computers.size()), figure[3].isNull() ? 0 : figure[3].toInt()) << what;
    ++listed[items[f].card];
    for (std::size_t r = 0; r < computers.size(); ++r) {
      const queries::ResultRow computer = computers.row(r);
      const db::Value rno = computer[5];
      if (items[f].card == "os")
        EXPECT_EQ(queries::readRows(c, "SELECT coalesce(OSVersion, '') FROM T_BasicInf WHERE RNO = ?1", {rno})[0][0].text(),
                  figure[1].text()) << what;
      if (items[f].card == "memory")
        EXPECT_EQ(queries::memoryClassOf(queries::readRows(c, "SELECT MemorySize FROM T_BasicInf WHERE RNO = ?1", {rno})[0][0].text()),
                  items[f].key.toInt()) << what;
      if (items[f].card == "low_disk")  // the planted drives: 5 % free, and sizes that do not read
        EXPECT_EQ(queries::readNumber(c, "SELECT count(*) FROM T_Drive WHERE RNO = ?1 AND FreeSpace = ?2",
                                      {rno, db::Value(items[f].version.isNull() ? "50MB" : "n/a")}), 1) << what;
      if (items[f].card == "rare_program")
        EXPECT_EQ(queries::readNumber(c, "SELECT count(*) FROM T_ApplInst WHERE RNO = ?1 AND Appl = ?2 AND Version IS ?3",
                                      {rno, items[f].key, items[f].version}), 1) << what;
    }
  }
  for (const char* card : {"computers", "os", "memory", "low_disk", "not_seen", "missing_update", "rare_program", "last_batch"})
    EXPECT_GT(listed[card], 0) << card;
}

TEST_F(FleetOverview, AnEmptyInventoryHasOnlyEmptyFigures) {
  c.execute("DELETE FROM T_Drive; DELETE FROM T_ApplInst; DELETE FROM T_WinUpdate; DELETE FROM T_BasicInf");
  const queries::ResultTable overview = queries::fleetOverview(c, *DateTime::parse("2008/07/01 00:00:00"));
  std::vector<std::string> lines;
  for (const ResultRow& row : overview.rows) lines.push_back(row[0].text() + "|" + row[1].text() + "|" + row[2].text() + "|" + row[3].text());
  EXPECT_EQ(lines, (std::vector<std::string>{"computers||0|0", "low_disk|10%|0|0", "not_seen|30|0|0",
                                             "last_batch|finished|" + clock.now().minuteText() + "|", "last_batch|imported|30|",
                                             "last_batch|kept|0|", "last_batch|rejected|0|"}));
  // Without the batches' record (a database no batch of ours wrote since) the card is left out.
  c.execute("DROP TABLE TavrixBatch");
  EXPECT_EQ(queries::fleetOverview(c, *DateTime::parse("2008/07/01 00:00:00")).rows.size(), 3u);
}

// Each batch keeps its row, the newest read: a batch of one inventory and one file that is none.
TEST_F(FleetOverview, TheLastBatchIsTheNewestRecorded) {
  writeInventory(csvDir(), {"PC99.csv", "2008/06/30 10:00:00", "late", "abe", "Windows XP", {}});
  writeFile(csvDir() + "/JUNK.csv", "not an inventory\r\n");
  clock.set(DateTime{2026, 12, 6, 8, 30, 0});
  runBatchOnce();
  std::vector<std::string> lines;
  for (const ResultRow& row : queries::fleetOverview(c, *DateTime::parse("2008/07/01 00:00:00")).rows)
    if (row[0].text() == "last_batch") lines.push_back(row[1].text() + "=" + row[2].text());
  EXPECT_EQ(lines, (std::vector<std::string>{"finished=2026/12/06 08:30", "imported=1", "kept=0", "rejected=1"}));
  EXPECT_EQ(queries::readNumber(c, "SELECT count(*) FROM TavrixBatch"), 2);
}

}  // namespace
}  // namespace tavrix::test
