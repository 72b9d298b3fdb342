// The search index: the same answers as reading every table, whatever was written around it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/db.h"
#include "platform/text.h"
#include "queries/fleet_search.h"
#include "queries/search_pages.h"
#include "queries/search_sections.h"
#include "queries/statement_rows.h"
#include "searchindex/search_feed.h"
#include "searchindex/search_index_reader.h"
#include "searchindex/search_index_tables.h"
#include "searchindex/snapshot_numbers.h"
#include "searchindex/snapshot_set.h"
#include "tests/import/import_fixture.h"
#include "tests/platform/db_rows.h"
#include "tests/queries/fleet_fixture.h"
#include "tests/support/server_database.h"
#include "tools/samples.h"

namespace tavrix::test {
namespace {

using searchindex::decodeSnapshots;
using searchindex::encodeSnapshots;

TEST(SnapshotNumbers, BlobsReadBackAndDamagedOnesAreRefused) {
  const std::vector<std::vector<std::int64_t>> lists = {
      {}, {0}, {1, 2, 3}, {127, 128, 16383, 16384}, {5, 1'000'000'007, INT64_MAX}};
  for (const auto& rnos : lists) EXPECT_EQ(decodeSnapshots(encodeSnapshots(rnos)), rnos);
  const std::string cut = encodeSnapshots({300}).substr(0, 1);  // a group that says more follows
  EXPECT_FALSE(decodeSnapshots(cut));
  EXPECT_FALSE(decodeSnapshots(std::string(10, '\xFF') + '\x01'));  // past 64 bits
  EXPECT_FALSE(decodeSnapshots(encodeSnapshots({INT64_MAX}) + encodeSnapshots({1})));  // past the largest RNO
}

// Numbers kept as bits or, out of their range, in a tree: each once, in ascending order, counted.
TEST(SnapshotSet, HoldsEveryNumberOnceInOrder) {
  searchindex::SnapshotSet set;
  const std::vector<std::int64_t> added = {5, 65536, 3, -7, 5, INT64_MAX, 64, 0, std::int64_t{1} << 31, 65535, -7, 200000};
  for (const std::int64_t rno : added) set.add(rno);
  std::vector<std::int64_t> expected = added;
  std::sort(expected.begin(), expected.end());
  expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
  std::vector<std::int64_t> held;
  set.forEach([&](std::int64_t rno) { held.push_back(rno); });
  EXPECT_EQ(held, expected);
  EXPECT_EQ(set.size(), expected.size());
  for (const std::int64_t rno : {std::int64_t{5}, std::int64_t{-7}, INT64_MAX, std::int64_t{1} << 31}) set.remove(rno);
  set.remove(6);  // not held: nothing changes
  EXPECT_EQ(set.size(), expected.size() - 4);
  EXPECT_FALSE(set.contains(5));
  EXPECT_FALSE(set.contains(INT64_MAX));
  EXPECT_TRUE(set.contains(65536));
  EXPECT_FALSE(set.contains(70000000));  // past the blocks made
}

// On a database file, or on the suite's server (the parameter).
class SearchIndex : public ImportFixture, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) {
      server.emplace();
      writeFile(dir.file("Tavrix.ini"), readFile(dir.file("Tavrix.ini")) + "DB_SERVER=" + server->connectionString() + "\r\n");
    }
    samples::writeFleet(csvDir(), 30, 5);
    writeInventory(csvDir(), {"odd.csv", "2004/10/24 09:05:30", "ＡＰＦＥＬ-1", "山田", "Windows XP",
                              {"1,10,アプリケーション,100% _wild\" ア,1.0", "1,10,アプリケーション,ａｐｆｅｌ ＡＰＦＥＬ,2"}});
    runBatchOnce();
    ASSERT_TRUE(messages.messages.empty()) << messages.texts()[0];
  }
  void open(db::Connection& c) {
    db::ServerStringProblem problem;
    c.open(server ? db::serverLocation(server->connectionString(), problem).value() : db::Location(dbPath()));
  }
  // The first field of the first row sql answers.
  std::string one(const std::string& sql) {
    db::Connection c;
    open(c);
    return queries::readRows(c, sql, {}).at(0).at(0).text();
  }
  bool indexAnswers(const std::string& part) {
    db::Connection c;
    open(c);
    db::ReadTransaction state(c);
    return searchindex::searchCandidates(c, searchindex::searchedTables(c), part).has_value();
  }
  // The index's answer and the whole tables' answer, as lines.
  static std::vector<std::string> lines(const queries::ResultTable& table) {
    std::vector<std::string> out;
    for (const auto& row : table.rows) {
      std::string line;
      for (const auto& value : row) line += value.text() + "|";
      out.push_back(line);
    }
    return out;
  }
  // The answer read in pages of at least three rows; pageCount, when given, counts them.
  static std::vector<std::string> pagedLines(db::Connection& c, const queries::SearchText& what, queries::SearchWay way,
                                             int* pageCount = nullptr) {
    queries::SearchPages pages(c, what, way);
    queries::ResultTable all{queries::SearchPages::columns(), {}};
    if (pageCount) *pageCount = 0;
    for (int count = 1; !pages.atEnd(); ++count) {
      const queries::SearchPage page = pages.read(c, 3);
      pages.take(page);
      all.rows.insert(all.rows.end(), page.rows.begin(), page.rows.end());
      if (pageCount) *pageCount = count;
    }
    return lines(all);
  }
  // The answer, the same whichever way it is read.
  std::vector<std::string> expectSameAsScan(const queries::SearchText& what, std::size_t atLeast = 1) {
    db::Connection c;
    open(c);
    const auto fastest = lines(queries::searchInventory(c, what));
    EXPECT_EQ(fastest, lines(queries::searchInventory(c, what, queries::SearchWay::Scan))) << what.text;
    EXPECT_EQ(fastest, pagedLines(c, what, queries::SearchWay::Fastest)) << what.text;
    EXPECT_GE(fastest.size(), atLeast) << what.text;
    return fastest;
  }
  std::string rareText() { return samples::makeComputer(5, 17).pcId; }

  std::optional<ServerDatabase> server;
};

TEST_P(SearchIndex, AnswersAsReadingEveryTable) {
  struct Case {
    std::string part;
    std::size_t atLeast;
  };
  const Case cases[] = {
      {rareText(), 1},  {"pc000", 30},        // one computer's id, and every computer's
      {"ａｐｆｅｌ", 1},    {"ＡＰＦＥＬ", 2},      // case folded for ASCII letters only
      {"ア", 1},         {"c:", 1},            // shorter than a trigram
      {"0% _w", 1},     {"ld\" ア", 1},       // LIKE's wildcards and a quote, as plain text
      {"nowhere-at-all", 0}, {"\xE3\x81", 0},  // none, and half a character
  };
  const auto halfACharacter = [](const Case& c) { return c.part == "\xE3\x81"; };  // a server takes UTF-8 only
  for (const Case& c : cases)
    if (!GetParam() || !halfACharacter(c)) expectSameAsScan(c.part, c.atLeast);
  // Every computer read a few at a time gives the same answer as the index's pages.
  db::Connection c;
  open(c);
  int pages = 0;
  for (const Case& one : cases)
    if (!GetParam() || !halfACharacter(one))
      EXPECT_EQ(pagedLines(c, one.part, queries::SearchWay::Scan, &pages), lines(queries::searchInventory(c, one.part))) << one.part;
  pagedLines(c, "nowhere-at-all", queries::SearchWay::Fastest, &pages);
  EXPECT_EQ(pages, 0) << "the index names no computer: nothing to read";
  pagedLines(c, "pc000", queries::SearchWay::Fastest, &pages);
  EXPECT_GE(pages, 10) << "one page per computer or two";
  EXPECT_TRUE(indexAnswers(rareText()));
  EXPECT_TRUE(indexAnswers("ＡＰ"));  // shorter than a trigram, on one computer
}

// A whole value and one section: exactly the rows of the plain search that are that value, or that
// are in that table, whichever way the answer is read.
TEST_P(SearchIndex, WholeValuesAndSectionsKeepToThemselves) {
  const std::string gateway = one("SELECT GateWay FROM T_NIC WHERE RNO = 17");
  struct Case {
    queries::SearchText what;
    std::size_t atLeast;
  };
  const Case cases[] = {
      {{gateway, true, ""}, 1},        {{"pc00017", true, ""}, 1},          // a whole value, case ignored
      {{"ＡＰＦＥＬ-1", true, ""}, 1},     {{"192.168.0.1", true, ""}, 0},      // .10 and .11 are longer
      {{"192.168", false, "T_NIC"}, 30}, {{"ａｐｆｅｌ", false, "T_ApplInst"}, 1},
      {{gateway, true, "T_BasicInf"}, 0},  {{"users", true, "T_Users"}, 30},  // not its "…\\Domain Users"
  };
  db::Connection c;
  open(c);
  for (const Case& one : cases) {
    const std::vector<std::string> found = expectSameAsScan(one.what, one.atLeast);
    queries::ResultTable plain = queries::searchInventory(c, one.what.text);
    std::erase_if(plain.rows, [&](const queries::ResultRow& row) {
      return (!one.what.table.empty() && row[3].text() != one.what.table) ||
             (one.what.wholeValue && !text::equalsNoCase(row[5].text(), one.what.text));
    });
    EXPECT_EQ(found, lines(plain)) << one.what.text;
  }
  EXPECT_GE(queries::searchInventory(c, "192.168.0.1").rows.size(), 30u) << "every computer's DNS servers hold it";
  // The section is named in the tree's words, and a section is found by them or by its table.
  const queries::ResultTable nic = queries::searchInventory(c, queries::SearchText(gateway, true, ""));
  EXPECT_EQ(nic.rows.at(0).at(6).text(), "ＮＩＣカード");
  const auto tables = searchindex::searchedTables(c);
  EXPECT_EQ(queries::tableOfSection(tables, "ＮＩＣカード"), "T_NIC");
  EXPECT_EQ(queries::tableOfSection(tables, "t_nic"), "T_NIC");
  EXPECT_EQ(queries::tableOfSection(tables, "ＮＩＣ"), std::nullopt);
}

// A window reads a search's pages while a batch replaces every computer between two of them: the
// pages after it find the computers of its list gone (nothing of the new ones, nothing twice), and
// the next search finds them all again.
TEST_P(SearchIndex, PagesReadAcrossABatchShowNoComputerTwice) {
  db::Connection c;
  open(c);
  queries::SearchPages pages(c, "pc000", queries::SearchWay::Fastest);
  const queries::SearchPage first = pages.read(c, 3);
  pages.take(first);
  ASSERT_FALSE(first.rows.empty());
  ASSERT_FALSE(pages.atEnd());
  samples::writeFleet(csvDir(), 30, 6);
  runBatchOnce();
  std::size_t later = 0;
  while (!pages.atEnd()) {
    const queries::SearchPage page = pages.read(c, 3);
    pages.take(page);
    later += page.rows.size();
  }
  EXPECT_EQ(later, 0u) << "every computer of the list was replaced";
  EXPECT_GE(pagedLines(c, "pc000", queries::SearchWay::Fastest).size(), 30u);
}

TEST_P(SearchIndex, ReplacedSnapshotsAreFoundNewAndTheirOldTextsLeave) {
  // Every computer again with another fleet's texts: the old snapshots, and their chunk, go.
  const std::string oldMac = one("SELECT MACAddress FROM T_NIC WHERE RNO = 17");
  samples::writeFleet(csvDir(), 30, 6);
  runBatchOnce();
  const std::string newMac = one("SELECT MACAddress FROM T_NIC WHERE RNO = 48");
  // The import deleted the rows the index had last seen, and moved its seen rows as it did.
  EXPECT_TRUE(indexAnswers(newMac));
  runBatchOnce();  // finds the first chunk dead
  expectSameAsScan(newMac);
  EXPECT_EQ(one("SELECT count(*) FROM TavrixSearchText WHERE Value = 'ＡＰＦＥＬ-1'"), "1");  // odd.csv stayed
  EXPECT_EQ(one("SELECT count(*) FROM TavrixSearchText WHERE Value = '" + oldMac + "'"), "0")
      << "a replaced computer's own texts are dropped";
  // A fresh index of the same rows holds no other texts than the kept one.
  const std::string kept = one("SELECT count(DISTINCT Value) FROM TavrixSearchText");
  db::Connection c;
  open(c);
  c.execute("DELETE FROM TavrixSearchState");
  c.close();
  runBatchOnce();
  EXPECT_EQ(one("SELECT count(DISTINCT Value) FROM TavrixSearchText"), kept);
}

// A write the index did not see makes it stand aside (the tables are read) until the next batch
// makes it again; the written row is found all along.
TEST_P(SearchIndex, WritesFromOutsideAreNeverMissed) {
  struct Case {
    const char* name;
    std::string write, undo;
    bool indexStandsAside;
  };
  // A file's index covers the rows up to its seen row; a server's, every row at or below its mark,
  // so a row added to an indexed snapshot there makes it stand aside.
  const std::vector<Case> onFile = {
      {"a changed row", "UPDATE T_ApplInst SET Appl = 'Outsider' WHERE rowid = 3",
       "UPDATE T_ApplInst SET Appl = 'x' WHERE rowid = 3", true},
      {"a row added to an indexed snapshot", "INSERT INTO T_Service (RNO, PCid, ServiceName) VALUES (2, 'x', 'Outsider')",
       "DELETE FROM T_Service WHERE ServiceName = 'Outsider'", false},
      {"a row without a snapshot number", "INSERT INTO T_Users (PCid, \"User\") VALUES ('x', 'Outsider')",
       "DELETE FROM T_Users WHERE \"User\" = 'Outsider'", false},
      {"the last row deleted, then a row added in its place",
       "DELETE FROM T_Printer WHERE rowid = (SELECT max(rowid) FROM T_Printer); "
       "INSERT INTO T_Printer (RNO, PrinterName) VALUES (1, 'Outsider')",
       "DELETE FROM T_Printer WHERE PrinterName = 'Outsider'", true},
      {"a trigger dropped, then a row changed",
       "DROP TRIGGER TavrixSearch_T_Drive_Update; UPDATE T_Drive SET DriveLetter = 'Outsider' WHERE rowid = 2",
       "UPDATE T_Drive SET DriveLetter = 'x' WHERE rowid = 2", true},
      {"a snapshot added above the index", "INSERT INTO T_BasicInf (PCid, ComputerName) VALUES ('PC99', 'Outsider')",
       "DELETE FROM T_BasicInf WHERE ComputerName = 'Outsider'", false},
  };
  const std::vector<Case> onServer = {
      {"a changed row", "UPDATE \"T_ApplInst\" SET \"Appl\" = 'Outsider' WHERE \"RNO\" = 3",
       "UPDATE \"T_ApplInst\" SET \"Appl\" = 'x' WHERE \"Appl\" = 'Outsider'", true},
      {"a row added to an indexed snapshot",
       "INSERT INTO \"T_Service\" (\"RNO\", \"PCid\", \"ServiceName\") VALUES (2, 'x', 'Outsider')",
       "DELETE FROM \"T_Service\" WHERE \"ServiceName\" = 'Outsider'", true},
      {"rows copied into an indexed snapshot",
       "COPY \"T_Service\" (\"RNO\", \"ServiceName\") FROM PROGRAM 'printf \"40\\tx\\n2\\tOutsider\\n\"'",
       "DELETE FROM \"T_Service\" WHERE \"ServiceName\" IN ('x', 'Outsider')", true},
      {"a row without a snapshot number", "INSERT INTO \"T_Users\" (\"PCid\", \"User\") VALUES ('x', 'Outsider')",
       "DELETE FROM \"T_Users\" WHERE \"User\" = 'Outsider'", false},
      {"a row numbered below every snapshot", "INSERT INTO \"T_Users\" (\"RNO\", \"User\") VALUES (0, 'Outsider')",
       "DELETE FROM \"T_Users\" WHERE \"User\" = 'Outsider'", false},
      {"a trigger disabled, then a row changed",
       "ALTER TABLE \"T_Drive\" DISABLE TRIGGER \"TavrixSearch_T_Drive_Update\";"
       "UPDATE \"T_Drive\" SET \"DriveLetter\" = 'Outsider' WHERE \"RNO\" = 2",
       "UPDATE \"T_Drive\" SET \"DriveLetter\" = 'x' WHERE \"DriveLetter\" = 'Outsider'", true},
      {"a snapshot added above the index", "INSERT INTO \"T_BasicInf\" (\"PCid\", \"ComputerName\") VALUES ('PC99', 'Outsider')",
       "DELETE FROM \"T_BasicInf\" WHERE \"ComputerName\" = 'Outsider'", false},
  };
  const std::vector<Case>& cases = GetParam() ? onServer : onFile;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    db::Connection writer;
    open(writer);
    writer.executeNative(c.write);
    writer.close();
    EXPECT_EQ(indexAnswers("outsider"), !c.indexStandsAside);
    expectSameAsScan("outsider");
    runBatchOnce();
    EXPECT_TRUE(indexAnswers("outsider"));
    expectSameAsScan("outsider");
    open(writer);
    writer.executeNative(c.undo);  // the next case starts without it, from a whole index
    writer.close();
    runBatchOnce();
  }
}

// The import tells the index its texts; a snapshot another program adds between two of its files
// is in the same range of numbers, and is read back instead of being missed.
// The batch's own texts make its chunks as its files commit (a server takes them in beside the
// import, one chunk while the next is gathered): small chunks that tile every new snapshot, no text
// left outside a chunk, the same answers as the scan.
TEST_P(SearchIndex, ChunksGatheredDuringTheBatchTileItsSnapshots) {
  const std::int64_t before = std::stoll(one("SELECT IndexedThrough FROM TavrixSearchState"));
  searchindex::setFeedChunkSnapshots(4);
  samples::writeFleet(csvDir(), 120, 6);  // more than a server's transaction of fifty files
  runBatchOnce();
  searchindex::setFeedChunkSnapshots(searchindex::kChunkSnapshots);
  db::Connection c;
  open(c);
  const auto chunks = queries::readRows(c, "SELECT FirstRno, LastRno FROM TavrixSearchChunk WHERE FirstRno > ?1 ORDER BY FirstRno",
                                        {db::Value(before)});
  ASSERT_GE(chunks.size(), 3u) << "made by the feed, not read back after the import as one chunk";
  std::int64_t next = before + 1;
  for (const auto& chunk : chunks) {
    EXPECT_EQ(chunk[0].toInt(), next);
    next = chunk[1].toInt() + 1;
  }
  EXPECT_EQ(next - 1, std::stoll(one("SELECT max(RNO) FROM T_BasicInf")));
  EXPECT_EQ(one("SELECT IndexedThrough FROM TavrixSearchState"), std::to_string(next - 1));
  EXPECT_EQ(one("SELECT count(*) FROM TavrixSearchText WHERE Id > (SELECT max(LastText) FROM TavrixSearchChunk)"), "0");
  expectSameAsScan(one("SELECT max(MACAddress) FROM T_NIC"));
  expectSameAsScan("pc00", 120);
}

TEST_P(SearchIndex, ASnapshotAddedBesideTheBatchIsReadBack) {
  if (GetParam()) GTEST_SKIP() << "a writer beside a server's shared transaction waits for its commit";
  struct Beside : ImportProgress {
    std::string dbPath;
    void fileStarted(int index, int, const std::string&) override {
      if (index != 2) return;
      db::Connection other;
      other.open(db::Location(dbPath));
      other.executeNative("INSERT INTO T_BasicInf (PCid, ComputerName) VALUES ('PC98', 'Intruder')");
    }
  } beside;
  beside.dbPath = dbPath();
  samples::writeFleet(csvDir(), 3, 7);
  runBatchOnce(&beside);
  EXPECT_TRUE(indexAnswers("intruder"));
  expectSameAsScan("intruder");
}

TEST_P(SearchIndex, ADatabaseWithoutOneIsIndexedOnceByTheNextBatchWithProgress) {
  db::Connection c;
    open(c);
  c.begin();
  searchindex::dropSearchIndex(c);
  c.commit();
  c.close();
  EXPECT_FALSE(indexAnswers(rareText()));
  expectSameAsScan(rareText());
  const auto progressLines = [&] {
    std::vector<std::string> found;
    for (const std::string& line : log())
      if (line.starts_with("検索用の索引を作っています")) found.push_back(line);
    return found;
  };
  runBatchOnce();
  EXPECT_EQ(progressLines(), std::vector<std::string>{"検索用の索引を作っています: 31 / 31 台"});
  EXPECT_TRUE(indexAnswers(rareText()));
  expectSameAsScan(rareText());
  runBatchOnce();
  EXPECT_EQ(progressLines(), std::vector<std::string>{}) << "indexed once";
}

INSTANTIATE_TEST_SUITE_P(EachEngine, SearchIndex, ::testing::Bool(), engineName);

}  // namespace
}  // namespace tavrix::test
