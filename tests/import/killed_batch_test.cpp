// A batch killed while importing (or saving) a generated fleet leaves a sound database and every CSV, so the
// next run imports everything; the generator gives the same fleet for the same seed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "queries/fleet_search.h"
#include "searchindex/search_index_reader.h"
#include "tests/import/import_fixture.h"
#include "tools/samples.h"

namespace tavrix::test {
namespace {

using KilledBatch = ImportFixture;

TEST_F(KilledBatch, TheNextRunImportsEverything) {
  constexpr int kComputers = 300;
  samples::FleetSummary fleet = samples::writeFleet(csvDir(), kComputers, 2024);
  // The generator: the same seed gives the same computer, written as CP932; another seed another.
  ASSERT_EQ(text::cp932ToUtf8(readFile(csvDir() + "/PC00300.csv")), samples::makeComputer(2024, 300).text);
  ASSERT_NE(samples::makeComputer(2024, 300).text, samples::makeComputer(2025, 300).text);
  auto filesDone = [&] {
    auto lines = readLines(dir.file("log/run.log"));
    return std::count_if(lines.begin(), lines.end(), [](const auto& l) { return l.ends_with(" 取込を終了しました。 "); });
  };
  // Runs the batch in a child that kills itself as file killAt starts, while the reader
  // thread holds the next files and the log may be being copied into the database.
  auto runKilled = [&](int killAt, bool saving = false) {
    KillAt progress(killAt, saving);
    pid_t child = fork();
    if (child == 0) {
      runBatchOnce(&progress);
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status);
  };
  // Each run starts again from the first file: the files of a killed run stay in the CSV folder.
  int kept = 0;
  for (int killAt : {2, 101, 207, 300}) {
    ASSERT_TRUE(runKilled(killAt)) << "the batch ended before it was killed at " << killAt;
    EXPECT_EQ(filesDone(), killAt - 1) << killAt;
    kept = std::max(kept, killAt - 1);
    EXPECT_EQ(queryRows(dbPath(), "SELECT count(*) FROM T_BasicInf")[0], std::to_string(kept)) << "logged done, not kept";
    EXPECT_EQ(folderNames(csvDir()).size(), static_cast<std::size_t>(kComputers)) << "a file left before its run ended";
    EXPECT_EQ(invariantViolations(dbPath()), std::vector<std::string>{}) << killAt;
    std::filesystem::remove(dir.file("log/run.log"));
  }

  // Killed while moving the imported files: each file is in one of the two folders, whole.
  ASSERT_TRUE(runKilled(150, true)) << "the batch ended before it was killed while saving";
  EXPECT_EQ(queryRows(dbPath(), "SELECT count(*) FROM T_BasicInf")[0], std::to_string(kComputers));
  std::vector<std::string> everywhere = folderNames(csvDir()), saved = folderNames(saveDir());
  EXPECT_EQ(saved.size(), 150u);
  everywhere.insert(everywhere.end(), saved.begin(), saved.end());
  std::sort(everywhere.begin(), everywhere.end());
  EXPECT_EQ(std::adjacent_find(everywhere.begin(), everywhere.end()), everywhere.end()) << "a file in both folders";
  EXPECT_EQ(everywhere.size(), static_cast<std::size_t>(kComputers));
  EXPECT_EQ(readFile(saveDir() + "/PC00001.csv"), cp932(samples::makeComputer(2024, 1).text));
  EXPECT_EQ(invariantViolations(dbPath()), std::vector<std::string>{});

  runBatchOnce();
  std::string rows, expected;
  for (const auto& t : kTables) {
    rows += t + "=" + queryRows(dbPath(), "SELECT count(*) FROM " + t)[0] + " ";
    expected += t + "=" + std::to_string(fleet.rows.at(t)) + " ";
  }
  EXPECT_EQ(rows, expected);
  EXPECT_EQ(invariantViolations(dbPath()), std::vector<std::string>{});
  EXPECT_EQ(folderNames(csvDir()), std::vector<std::string>{});
  EXPECT_EQ(folderNames(saveDir()).size(), static_cast<std::size_t>(kComputers));
  for (const auto& line : log()) EXPECT_FALSE(line.starts_with("F06_READ_CSV")) << line;
  EXPECT_EQ(messages.texts(), std::vector<std::string>{});

  // The search index the killed runs left behind was made whole by the last one.
  db::Connection c;
  c.openReadOnly(db::Location(dbPath()));
  {
    db::ReadTransaction state(c);
    EXPECT_TRUE(searchindex::searchCandidates(c, searchindex::searchedTables(c), "PC00150").has_value());
  }
  for (const char* part : {"PC00150", "pc002", "Visio"}) {
    const auto fastest = queries::searchInventory(c, queries::SearchText(part)), scanned = queries::searchInventory(c, queries::SearchText(part), queries::SearchWay::Scan);
    EXPECT_EQ(fastest.rows, scanned.rows) << part;
    EXPECT_FALSE(fastest.rows.empty()) << part;
  }
}

}  // namespace
}  // namespace tavrix::test
