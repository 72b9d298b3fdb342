// A batch killed in the middle of an import: the database stays sound, no CSV is lost, and the next
// run imports everything.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "tests/import/import_fixture.h"
#include "tests/import/inventory_tables.h"
#include "tools/fleet.h"

namespace tavrix::test {
namespace {

constexpr int kComputers = 300;

class KilledBatch : public ImportFixture {
 protected:
  // Files whose import the run log reports as finished.
  int filesDone() {
    int done = 0;
    for (const auto& line : readLines(dir.file("log/Tavrix.log")))
      if (line.ends_with(" 取込を終了しました。 ")) ++done;
    return done;
  }

  std::set<std::string> names(const std::string& folder) {
    std::set<std::string> out;
    if (!std::filesystem::exists(folder)) return out;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) out.insert(entry.path().filename());
    return out;
  }
};

TEST_F(KilledBatch, TheNextRunImportsEverything) {
  writeIni();
  fleet::FleetSummary fleet = fleet::writeFleet(csvDir(), kComputers, 2024);

  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    runBatchOnce();
    _exit(0);
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (filesDone() < kComputers / 3 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the batch ended before it was killed";
  int done = filesDone();
  EXPECT_LT(done, kComputers);

  // Each CSV is either still waiting or both imported and saved.
  auto waiting = names(csvDir());
  auto saved = names(saveDir());
  std::set<std::string> imported;
  for (const auto& pcId : queryRows(dbPath(), "SELECT PCid FROM T_BasicInf")) imported.insert(pcId + ".csv");
  for (int i = 1; i <= kComputers; ++i) {
    std::string name = fleet::pcIdOf(i) + ".csv";
    EXPECT_TRUE(waiting.count(name) || (saved.count(name) && imported.count(name))) << name;
  }
  EXPECT_GE(static_cast<int>(imported.size()), done);
  EXPECT_EQ(invariantViolations(dbPath()), std::vector<std::string>{});

  runBatchOnce();
  for (const auto& t : inventoryFields()) {
    EXPECT_EQ(queryRows(dbPath(), "SELECT count(*) FROM " + t.table), std::vector<std::string>{std::to_string(fleet.rows[t.table])})
        << t.table;
  }
  EXPECT_EQ(invariantViolations(dbPath()), std::vector<std::string>{});
  EXPECT_EQ(names(csvDir()).size(), 0u);
  EXPECT_EQ(static_cast<int>(names(saveDir()).size()), kComputers);
  EXPECT_TRUE(messages.messages.empty());
}

}  // namespace
}  // namespace tavrix::test
