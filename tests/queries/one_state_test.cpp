// Every answer is read from one state of the database, though its parts are scanned on several
// connections at once: a computer imported again during the question is seen once, old or new.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "queries/fleet_queries.h"
#include "queries/fleet_search.h"
#include "queries/read_one_state.h"
#include "queries/table_parts.h"
#include "tests/import/import_fixture.h"

namespace tavrix::test {
namespace {

using Lines = std::vector<std::string>;

class OneState : public ImportFixture {
 protected:
  void writeComputers(int count) {
    for (int i = 1; i <= count; ++i)
      writeFile(csvDir() + "/" + pcId(i) + ".csv",
                cp932("0,1,x,x,2.1,2004/10/24 10:30\r\n1,10,アプリケーション,Viewer,1\r\n1,10,アプリケーション,Editor,2\r\n"));
  }
  static std::string pcId(int i) { return "PC" + std::to_string(1000 + i); }
  // "PCid RNO" of every computer with Viewer, as one plain statement reads them now.
  Lines plainAnswer() {
    return queryRows(dbPath(), "SELECT PCid || ' ' || RNO FROM T_BasicInf WHERE RNO IN "
                               "(SELECT RNO FROM T_ApplInst WHERE Appl = 'Viewer') ORDER BY PCid, RNO");
  }
  static Lines pcIdsAndRnos(const queries::ResultTable& table) {
    const auto column = [&](const char* name) {
      return static_cast<std::size_t>(std::find(table.columns.begin(), table.columns.end(), name) - table.columns.begin());
    };
    Lines rows;
    for (const auto& row : table.rows) rows.push_back(row[column("PCid")].text() + " " + row[column("RNO")].text());
    std::sort(rows.begin(), rows.end());
    return rows;
  }
  // As the report and the windows ask: on a connection of its own, opened for the question.
  Lines askViewer() {
    db::Connection c;
    return pcIdsAndRnos(queries::readOneState(
        c, dbPath(), [](db::Connection& open) { return queries::computersWithSoftware(open, "viewer", std::nullopt).table(); }));
  }
};

// A writer imports a computer again (its rows deleted, a new snapshot added) just as the parts
// begin: the parts are not mixed.
TEST_F(OneState, ACommitBetweenThePartsOfOneAnswerIsNotMixedIntoIt) {
  if (queries::scanPartCount() < 2) GTEST_SKIP() << "one core: every answer is read in one part";
  writeComputers(40);
  runBatchOnce();
  const Lines before = plainAnswer();
  db::Connection other;  // open all along, as a running batch's
  other.open(dbPath());
  int commits = 0;
  queries::setBeforePartsRead([&] {
    if (commits++ > 0) return;
    other.begin();
    other.execute("DELETE FROM T_ApplInst WHERE PCid = 'PC1003'");
    other.execute("DELETE FROM T_BasicInf WHERE PCid = 'PC1003'");
    other.execute("INSERT INTO T_BasicInf (PCid, CreateDate) VALUES ('PC1003', '2004-10-25 10:30:00')");
    other.execute("INSERT INTO T_ApplInst (RNO, PCid, Appl, Version) SELECT RNO, PCid, 'Viewer', '1' FROM T_BasicInf "
                  "WHERE PCid = 'PC1003'");
    // And one near the end, which no longer has the program.
    other.execute("DELETE FROM T_ApplInst WHERE PCid = 'PC1035'");
    other.execute("DELETE FROM T_BasicInf WHERE PCid = 'PC1035'");
    other.execute("INSERT INTO T_BasicInf (PCid, CreateDate) VALUES ('PC1035', '2004-10-25 10:30:00')");
    other.commit();
  });
  const Lines answered = askViewer();
  queries::setBeforePartsRead(nullptr);
  const Lines after = plainAnswer();
  ASSERT_EQ(commits, 1) << "the answer was not read in parts";
  ASSERT_NE(before, after);
  // The question's state is the one it began with.
  EXPECT_EQ(answered, before);
  EXPECT_EQ(askViewer(), after);
}

// Readers ask while a real batch imports the same files again: each answer names every computer
// exactly once.
TEST_F(OneState, AnswersDuringAReimportSeeEveryComputerOnce) {
  constexpr int kComputers = 150;
  writeComputers(kComputers);
  runBatchOnce();
  Lines everyone;
  for (int i = 1; i <= kComputers; ++i) everyone.push_back(pcId(i));
  auto pcIds = [](const Lines& rows) {
    Lines ids;
    for (const auto& row : rows) ids.push_back(row.substr(0, row.find(' ')));
    return ids;
  };
  ASSERT_EQ(pcIds(askViewer()), everyone);

  writeComputers(kComputers);
  std::atomic<bool> done = false;
  std::thread batch([&] {
    runBatchOnce();
    done = true;
  });
  int asked = 0, wrong = 0;
  while (!done || asked == 0) {
    ++asked;
    if (pcIds(askViewer()) != everyone) ++wrong;
  }
  batch.join();
  EXPECT_EQ(wrong, 0) << "of " << asked << " answers";
  EXPECT_EQ(pcIds(askViewer()), everyone);
  EXPECT_EQ(askViewer(), plainAnswer());
}

}  // namespace
}  // namespace tavrix::test
