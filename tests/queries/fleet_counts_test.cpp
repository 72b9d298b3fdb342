// The counts the batch keeps beside the database give the same software and update summaries, and
// the same computers with and without a program or an update, as a scan of the tables, batch after
// batch; counts that no longer belong to the inventory are not used.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "counts/fleet_counts.h"
#include "queries/fleet_queries.h"
#include "queries/row_output.h"
#include "queries/statement_rows.h"
#include "platform/text.h"
#include "tests/import/import_fixture.h"
#include "tools/samples.h"

namespace tavrix::test {
namespace {

class FleetCounts : public ImportFixture {
 protected:
  FleetCounts() { writeFile(dir.file("Tavrix.ini"), readFile(dir.file("Tavrix.ini")) + "FLEET_COUNTS=on\r\n"); }
  void writeCsv(const std::string& name, const std::vector<std::string>& lines) {
    std::string body = "0,1,Quillo,x,2.1,2026/12/01 10:00:00\r\n1,1,コンピュータ名," + name + "\r\n";
    for (const std::string& line : lines) body += line + "\r\n";
    writeFile(csvDir() + "/" + name + ".csv", cp932(body));
  }
  std::string countsPath() const { return *queries::fleetCountsPath(dbPath()); }
  bool countsCurrent() {
    db::Connection c;
    c.openReadOnly(dbPath());
    return queries::currentFleetCounts(c).has_value();
  }
  // Both summaries, whole and filtered, as TSV.
  std::string summaries() {
    db::Connection c;
    c.openReadOnly(dbPath());
    std::string out;
    for (const std::optional<std::string>& filter : {std::optional<std::string>(), std::optional<std::string>("OFFICE")}) {
      out += queries::formatRows(queries::softwareSummary(c, filter), queries::OutputFormat::Tsv) + "--\n";
      out += queries::formatRows(queries::updateSummary(c, filter), queries::OutputFormat::Tsv) + "==\n";
    }
    for (const auto& [name, version] : std::vector<std::pair<std::string, std::optional<std::string>>>{
             {"office", std::nullopt}, {"OFFICE 2003", "11.0"}, {"viewer", ""}, {"viewer", std::nullopt}})
      out += queries::formatRows(queries::computersWithSoftware(c, name, version), queries::OutputFormat::Tsv) + "~~\n";
    out += queries::formatRows(queries::computersWithProgram(c, db::Value("office 2003"), db::Value("11.0")),
                               queries::OutputFormat::Tsv) + "~~\n";
    out += queries::formatRows(queries::computersWithProgram(c, db::Value("Viewer"), db::Value()),
                               queries::OutputFormat::Tsv);
    for (const char* update : {"kb1", "KB2", "KB3", "KB666", "KB820029"})
      for (const bool having : {true, false})
        out += "~~\n" + queries::formatRows(queries::computersByUpdate(c, update, having), queries::OutputFormat::Tsv);
    return out;
  }
  // Each kind's kept lists hold exactly the snapshots a scan finds in each group (exact spelling).
  void expectListsAsScanned() {
    db::Connection c;
    c.openReadOnly(dbPath());
    const std::pair<TallyKind, const char*> kinds[] = {{TallyKind::Software, "SELECT Appl, Version, RNO FROM T_ApplInst"},
                                                      {TallyKind::Updates, "SELECT WinUpdName, RNO FROM T_WinUpdate"}};
    for (const auto& [kind, select] : kinds) {
      const std::optional<tavrix::FleetCounts> counts = queries::currentFleetCounts(c, kind);
      ASSERT_TRUE(counts.has_value());
      std::map<std::string, std::set<std::int64_t>> kept, scanned;
      for (const auto& [key, group] : counts->exact[static_cast<std::size_t>(kind)])
        kept[key].insert(group.rnos.begin(), group.rnos.end());
      for (queries::ResultRow row : queries::readRows(c, select, {})) {
        const std::int64_t rno = row.back().toInt();
        row.pop_back();
        scanned[groupKey(row, false)].insert(rno);
      }
      EXPECT_EQ(kept, scanned) << static_cast<int>(kind);
    }
  }
  // The summaries from the kept counts, and from a scan with the counts moved aside.
  std::pair<std::string, std::string> keptAndScanned() {
    const std::string kept = summaries();
    std::filesystem::rename(countsPath(), countsPath() + ".aside");
    const std::string scanned = summaries();
    std::filesystem::rename(countsPath() + ".aside", countsPath());
    return {kept, scanned};
  }
};

TEST_F(FleetCounts, FollowEveryBatchAsAScanWouldCount) {
  struct Batch {
    const char* what;
    std::vector<std::pair<std::string, std::vector<std::string>>> files;
    int generated = 0;  // generated computers rewritten with this batch's seed
    std::string expectedOffice;
  };
  const std::string a = "1,10,アプリケーション,", u = "3,1,Windows Update,";
  const std::vector<Batch> batches = {
      {"two spellings in one computer, duplicates, empty and missing versions",
       {{"PCA", {a + "Office 2003,11.0", a + "office 2003,11.0", a + "Viewer,", a + "Viewer", u + "KB1,x", u + "KB1,y", u + "kb2,"}},
        {"PCB", {a + "OFFICE 2003,11.0", a + "秀丸エディタ,7.10", u + "KB2,z"}}},
       12, "OFFICE 2003\t11.0\t2\n"},
      {"a computer drops one spelling; a new one; generated computers change",
       {{"PCA", {a + "office 2003,11.0", u + "kb1,x"}}, {"PCC", {a + "Office 2003,11.5", a + "Office 2003,11.5"}}},
       5, "OFFICE 2003\t11.0\t2\nOffice 2003\t11.5\t1\n"},
      {"the smallest spelling's computer loses it",
       {{"PCB", {u + "KB3,"}}}, 0, "Office 2003\t11.5\t1\noffice 2003\t11.0\t1\n"},
      {"a file that does not commit changes nothing, beside one that does",
       {{"PCC", {a + "Office 2003,11.5", a + "Office 2010,14.0", u + "KB666,refused"}}, {"PCD", {a + "Viewer,2"}}}, 0, "Office 2003\t11.5\t1\noffice 2003\t11.0\t1\n"},
      {"a computer twice in one batch: the second file replaces the first one's snapshot",
       {{"PCD", {a + "Office 2003,11.5"}}, {"pcd", {a + "Viewer,4"}}}, 0, "Office 2003\t11.5\t1\noffice 2003\t11.0\t1\n"},
  };
  for (std::size_t b = 0; b < batches.size(); ++b) {
    SCOPED_TRACE(batches[b].what);
    for (const auto& [name, lines] : batches[b].files) writeCsv(name, lines);
    if (batches[b].generated > 0) samples::writeFleet(csvDir(), batches[b].generated, 40 + b);
    if (b == 3) {
      db::Connection c;
      c.open(dbPath());
      c.executeNative("CREATE TRIGGER refuse BEFORE INSERT ON T_WinUpdate WHEN NEW.WinUpdName = 'KB666' "
                      "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    }
    runBatchOnce();
    ASSERT_TRUE(countsCurrent());
    {
      db::Connection c;
      c.openReadOnly(dbPath());
      EXPECT_EQ(queries::readNumber(c, "SELECT OutsideChanges * 10 + Importing FROM TavrixStamp"), 0)
          << "the import's own deletions counted as outside changes, or its mark left up";
    }
    expectListsAsScanned();
    const auto [kept, scanned] = keptAndScanned();
    EXPECT_TRUE(kept == scanned) << "the kept counts differ from a scan";
    std::string office;  // the hand-written program's rows of the filtered summary
    std::istringstream lines(kept.substr(kept.find("==\n")));
    for (std::string line; std::getline(lines, line);)
      if (text::toUpperAscii(line).starts_with("OFFICE 2003\t")) office += line + "\n";
    EXPECT_EQ(office, batches[b].expectedOffice);
  }
  EXPECT_EQ(folderNames(csvDir()), std::vector<std::string>{"PCC.csv"});
}

// A computer id that reads as a number is not a snapshot number: computer "2" (snapshot 1) replaced
// takes its own old snapshot off the lists, not snapshot 2 of computer "3".
TEST_F(FleetCounts, ANumericComputerIdIsNotTakenForItsSnapshotNumber) {
  for (const char* id : {"2", "3", "4"}) writeCsv(id, {"1,10,アプリケーション,Office 2003,11.0"});
  runBatchOnce();
  writeCsv("2", {"1,10,アプリケーション,Office 2003,11.0"});
  runBatchOnce();
  ASSERT_TRUE(countsCurrent());
  const auto [kept, scanned] = keptAndScanned();
  EXPECT_EQ(kept, scanned);
  db::Connection c;
  c.openReadOnly(dbPath());
  const queries::ResultTable found = queries::computersWithSoftware(c, "office", std::nullopt).table();
  const auto pcId = std::find(found.columns.begin(), found.columns.end(), "PCid") - found.columns.begin();
  std::vector<std::string> computers;
  for (const auto& row : found.rows) computers.push_back(row[static_cast<std::size_t>(pcId)].text());
  EXPECT_EQ(computers, (std::vector<std::string>{"2", "3", "4"}));
}

TEST_F(FleetCounts, CountsOfAnotherStateAreNotUsedAndTheNextBatchCountsAgain) {
  writeCsv("PCA", {"1,10,アプリケーション,Viewer,1"});
  runBatchOnce();
  ASSERT_TRUE(countsCurrent());
  {
    db::Connection c;  // a change that did not come through the batch
    c.open(dbPath());
    c.execute("INSERT INTO T_BasicInf (PCid, CreateDate) VALUES ('PCX', '2026-12-01 00:00:00')");
    c.execute("INSERT INTO T_ApplInst (RNO, PCid, Appl, Version) VALUES (2, 'PCX', 'Viewer', '1')");
    // PCA's rows now lie apart: it still counts once.
    c.execute("INSERT INTO T_ApplInst (RNO, PCid, Appl, Version) VALUES (1, 'pca', 'VIEWER', '1')");
  }
  EXPECT_FALSE(countsCurrent());
  EXPECT_NE(summaries().find("VIEWER\t1\t2\n"), std::string::npos);

  runBatchOnce();  // nothing to import: the batch counts the fleet again
  ASSERT_TRUE(countsCurrent());
  const auto [kept, scanned] = keptAndScanned();
  EXPECT_EQ(kept, scanned);
  EXPECT_NE(kept.find("VIEWER\t1\t2\n"), std::string::npos);
}

// Writes to the counted tables that did not come through the batch, each after a batch that kept
// the counts: from then on the answers come from a scan, and the next batch counts again.
TEST_F(FleetCounts, AnyOutsideWriteToTheCountedRowsSetsTheCountsAside) {
  const std::string a = "1,10,アプリケーション,";
  const struct {
    const char* name;
    std::function<void(db::Connection&)> edit;  // on the inventory
    const char* gone;                            // a summary line no answer may show after it
  } cases[] = {
      {"a program deleted", [](db::Connection& c) { c.execute("DELETE FROM T_ApplInst WHERE Appl = 'Viewer'"); },
       "Viewer\t1\t2\n"},
      {"a version changed", [](db::Connection& c) { c.execute("UPDATE T_ApplInst SET Version = '2' WHERE PCid = 'PCA'"); },
       "Viewer\t1\t2\n"},
      {"a row added",
       [](db::Connection& c) {
         c.execute("INSERT INTO T_ApplInst (RNO, PCid, Appl, Version) SELECT RNO, PCid, 'Viewer', '1' FROM T_BasicInf "
                   "WHERE PCid = 'PCC'");
       },
       "Viewer\t1\t2\n"},
      {"the last row replaced by another in its place",
       [](db::Connection& c) {
         c.execute("DELETE FROM T_ApplInst WHERE rowid = (SELECT max(rowid) FROM T_ApplInst)");
         c.execute("INSERT INTO T_ApplInst (RNO, PCid, Appl, Version) SELECT RNO, PCid, 'Editor', '9' FROM T_BasicInf "
                   "WHERE PCid = 'PCC'");
       },
       "Office 2003\t11.0\t1\n"},
      {"an update deleted", [](db::Connection& c) { c.execute("DELETE FROM T_WinUpdate"); }, "KB1\t2\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* folder : {"db", "save"}) std::filesystem::remove_all(dir.file(folder));
    writeCsv("PCA", {a + "Viewer,1", "3,1,Windows Update,KB1,x"});
    writeCsv("PCB", {a + "Viewer,1", "3,1,Windows Update,KB1,x"});
    writeCsv("PCC", {a + "Office 2003,11.0"});
    runBatchOnce();
    ASSERT_TRUE(countsCurrent());
    ASSERT_NE(summaries().find(c.gone), std::string::npos);
    {
      db::Connection outside;
      outside.open(dbPath());
      c.edit(outside);
    }
    EXPECT_FALSE(countsCurrent());
    EXPECT_EQ(summaries().find(c.gone), std::string::npos) << "answered from counts the rows contradict";
    runBatchOnce();  // nothing to import: the counts are made again
    ASSERT_TRUE(countsCurrent());
    const auto [kept, scanned] = keptAndScanned();
    EXPECT_EQ(kept, scanned);
  }
}

// The counts of another database are not its counts, though every number and the last row agree.
TEST_F(FleetCounts, CountsCopiedFromAnotherDatabaseAreNotUsed) {
  writeCsv("PCA", {"1,10,アプリケーション,Viewer,1", "1,10,アプリケーション,Editor,1"});
  runBatchOnce();
  const std::string first = readFile(countsPath());
  std::filesystem::remove_all(dir.file("db"));
  writeCsv("PCA", {"1,10,アプリケーション,Other,1", "1,10,アプリケーション,Editor,1"});
  runBatchOnce();
  ASSERT_TRUE(countsCurrent());
  writeFile(countsPath(), first);
  EXPECT_FALSE(countsCurrent());
  EXPECT_NE(summaries().find("Other\t1\t1\n"), std::string::npos);
}

// Counts kept by the earlier layout (no update lists) are not used: the questions scan until the next
// batch counts again, and then every list is kept.
TEST_F(FleetCounts, CountsOfTheEarlierLayoutAreCountedAgain) {
  writeCsv("PCA", {"1,10,アプリケーション,Viewer,1", "3,1,Windows Update,KB1,x"});
  runBatchOnce();
  {
    db::Connection counts;
    counts.openPlain(countsPath());
    counts.executeNative("DROP TABLE Format; UPDATE Lists SET Rnos = x'' WHERE Kind = 1");
  }
  EXPECT_FALSE(countsCurrent());
  {
    db::Connection c;
    c.openReadOnly(dbPath());
    EXPECT_EQ(queries::computersByUpdate(c, "kb1", true).size(), 1u);  // scanned, not the emptied list
  }
  runBatchOnce();
  ASSERT_TRUE(countsCurrent());
  expectListsAsScanned();
}

// A stamp made before deletions were counted (no deletion triggers, no mark) vouches for nothing;
// the next batch gives it both and counts again.
TEST_F(FleetCounts, AStampThatDidNotCountDeletionsIsBroughtUpToDate) {
  writeCsv("PCA", {"1,10,アプリケーション,Viewer,1", "3,1,Windows Update,KB1,x", "3,1,Windows Update,KB2,x"});
  runBatchOnce();
  {
    db::Connection c;  // as an earlier version left it, and a deletion it did not count
    c.open(dbPath());
    c.executeNative("DROP TRIGGER TavrixStamp_T_ApplInst_Delete; DROP TRIGGER TavrixStamp_T_WinUpdate_Delete;"
                    "ALTER TABLE TavrixStamp DROP COLUMN Importing");
    c.execute("DELETE FROM T_WinUpdate WHERE WinUpdName = 'KB1'");
  }
  EXPECT_FALSE(countsCurrent());
  {
    db::Connection c;  // the next batch's first step: from then on questions are answered
    c.open(dbPath());
    queries::keepInventoryStamp(c);
  }
  EXPECT_FALSE(countsCurrent()) << "counts vouched for across a deletion nobody counted";
  runBatchOnce();
  ASSERT_TRUE(countsCurrent());
  const auto [kept, scanned] = keptAndScanned();
  EXPECT_EQ(kept, scanned);
  {
    db::Connection outside;
    outside.open(dbPath());
    outside.execute("DELETE FROM T_WinUpdate");
  }
  EXPECT_FALSE(countsCurrent());
}

// Another writer between two files of a batch: the batch's own tally no longer holds, so it counts.
TEST_F(FleetCounts, AWriteBetweenTwoFilesOfABatchIsNotTakenForTheImports) {
  writeCsv("PCA", {"1,10,アプリケーション,Viewer,1"});
  runBatchOnce();
  writeCsv("PCB", {"1,10,アプリケーション,Viewer,1"});
  writeCsv("PCC", {"1,10,アプリケーション,Viewer,1"});
  struct Outsider : ImportProgress {
    explicit Outsider(std::string db) : db(std::move(db)) {}
    void fileStarted(int index, int, const std::string&) override {
      if (index != 2) return;
      db::Connection c;
      c.open(db);
      c.execute("DELETE FROM T_ApplInst WHERE PCid = 'PCA'");
    }
    std::string db;
  } outsider(dbPath());
  runBatchOnce(&outsider);
  ASSERT_TRUE(countsCurrent());
  const auto [kept, scanned] = keptAndScanned();
  EXPECT_EQ(kept, scanned);
  EXPECT_NE(kept.find("Viewer\t1\t2\n"), std::string::npos);
}

TEST_F(FleetCounts, CountsThatCannotBeWrittenCostOnlyALogLine) {
  std::filesystem::create_directories(dir.file("db/Tavrix.mdb.counts.new"));  // in the way of the new file
  writeCsv("PCA", {"1,10,アプリケーション,Viewer,1"});
  runBatchOnce();
  EXPECT_EQ(folderNames(csvDir()), std::vector<std::string>{});
  EXPECT_TRUE(messages.texts().empty());
  const auto lines = log();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [&](const std::string& l) { return l.starts_with(countsPath() + " に件数を書けませんでした（"); }),
            1);
  EXPECT_FALSE(countsCurrent());
  EXPECT_NE(summaries().find("Viewer\t1\t1\n"), std::string::npos);
}

}  // namespace
}  // namespace tavrix::test
