// A batch killed while importing a generated fleet leaves a sound database and every CSV, so the
// next run imports everything; the generator gives the same fleet for the same seed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "tests/import/import_fixture.h"
#include "tools/fleet.h"

namespace tavrix::test {
namespace {

using KilledBatch = ImportFixture;

TEST_F(KilledBatch, TheNextRunImportsEverything) {
  constexpr int kComputers = 300;
  fleet::FleetSummary fleet = fleet::writeFleet(csvDir(), kComputers, 2024);
  // The generator: the same seed gives the same computer, written as CP932; another seed another.
  ASSERT_EQ(text::cp932ToUtf8(readFile(csvDir() + "/PC00300.csv")), fleet::makeComputer(2024, 300).text);
  ASSERT_NE(fleet::makeComputer(2024, 300).text, fleet::makeComputer(2025, 300).text);
  auto filesDone = [&] {
    auto lines = readLines(dir.file("log/Tavrix.log"));
    return std::count_if(lines.begin(), lines.end(), [](const auto& l) { return l.ends_with(" 取込を終了しました。 "); });
  };
  // The child kills itself as the 101st file starts: a third of the fleet is in, none saved yet.
  struct KillAt : ImportProgress {
    void fileStarted(int index, int, const std::string&) override {
      if (index == 101) kill(getpid(), SIGKILL);
    }
  } killAt;
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    runBatchOnce(&killAt);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the batch ended before it was killed";
  EXPECT_EQ(filesDone(), 100);
  EXPECT_EQ(queryRows(dbPath(), "SELECT count(*) FROM T_BasicInf")[0], "100") << "logged done, not kept";
  EXPECT_EQ(folderNames(csvDir()).size(), static_cast<std::size_t>(kComputers)) << "a file left before its run ended";
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
}

}  // namespace
}  // namespace tavrix::test
