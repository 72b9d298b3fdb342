// Checkpoints on a thread of their own: the log stays bounded, the database file holds every
// committed row once they end, and a process killed while they run loses no commit.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/db.h"
#include "platform/sqlite/db_checkpointer.h"
#include "platform/paths.h"
#include "tests/platform/db_rows.h"
#include "tests/support/test_support.h"

namespace tavrix::db {
namespace {

class Checkpointer : public testing::Test {
 protected:
  void SetUp() override {
    createDatabase(path);
    writer.open(path);
    writer.execute("CREATE TABLE T (id INTEGER PRIMARY KEY, pad BLOB)");
    pageSize = std::stoll(test::rowsOf(writer, "PRAGMA page_size")[0]);
  }
  // One transaction of one row of about two pages, as the import commits one file.
  void commitRow() {
    writer.begin();
    writer.execute("INSERT INTO T (pad) VALUES (randomblob(" + std::to_string(pageSize * 3 / 2) + "))");
    writer.commit();
  }
  // Pages the log file has room for: it is reused from its start, never shortened, so this is
  // the most it ever held.
  long long logPages() const {
    long long bytes = paths::fileSize(path + "-wal");
    return bytes <= 32 ? 0 : (bytes - 32) / (pageSize + 24);
  }
  // The rows of the database file alone, read from a copy made without its log.
  std::string rowsInFileAlone() {
    std::filesystem::copy_file(path, dir.file("alone.mdb"));
    Connection alone;
    alone.openPlain(dir.file("alone.mdb"));
    return test::rowsOf(alone, "SELECT count(*) FROM T")[0];
  }

  test::TempDir dir;
  std::string path = dir.file("Tavrix.mdb");
  Connection writer;
  long long pageSize = 0;
};

TEST_F(Checkpointer, TheLogStaysBoundedAndEndsCopiedIntoTheFile) {
  struct Case {
    const char* name;
    WalCheckpointer::Limits limits;
    bool logStartsOver;  // the writer copies the rest itself and the log starts again
  };
  const Case cases[] = {
      {"the thread copies, the log is left to grow", {20, 1'000'000}, false},
      {"the writer starts the log over", {20, 120}, true},
  };
  constexpr int kCommits = 300;
  int total = 0;
  for (const Case& c : cases) {
    writer.execute("PRAGMA wal_checkpoint(TRUNCATE)");  // each case measures its own log
    WalCheckpointer checkpointer(writer, c.limits);
    for (int i = 0; i < kCommits; ++i) commitRow();
    checkpointer.finish();
    total += kCommits;
    if (c.logStartsOver) {
      EXPECT_GE(checkpointer.writerCheckpoints(), 1) << c.name;
      EXPECT_LT(logPages(), 3 * c.limits.restartPages) << c.name << ": the log did not start over";
    } else {
      EXPECT_EQ(checkpointer.writerCheckpoints(), 0) << c.name;
      EXPECT_GT(logPages(), kCommits * 2) << c.name;
    }
    EXPECT_GE(checkpointer.threadCheckpoints(), 1) << c.name;
    EXPECT_FALSE(checkpointer.failed()) << c.name;
    EXPECT_EQ(rowsInFileAlone(), std::to_string(total)) << c.name << ": the last copy is missing";
    std::filesystem::remove(dir.file("alone.mdb"));
  }
  writer.close();
  EXPECT_EQ(*paths::listFiles(dir.path(), "*"), std::vector<std::string>{"Tavrix.mdb"});
}

// Each time the log starts over the thread takes up its copies again: the writer never does them all.
TEST_F(Checkpointer, TheThreadCopiesAgainAfterEveryStartOfTheLog) {
  WalCheckpointer checkpointer(writer, {20, 120});
  while (checkpointer.writerCheckpoints() == 0) commitRow();
  const int beforeRestart = checkpointer.threadCheckpoints();
  for (int i = 0; i < 600; ++i) commitRow();  // the log starts over some ten times
  const int restarts = checkpointer.writerCheckpoints();
  checkpointer.finish();
  ASSERT_GE(restarts, 5);
  EXPECT_GE(checkpointer.threadCheckpoints() - beforeRestart, restarts) << "copies after the first start over";
  EXPECT_FALSE(checkpointer.failed());
}

TEST_F(Checkpointer, AProcessKilledBetweenCommitsKeepsEveryCommit) {
  writer.close();
  for (int killAfter : {3, 40, 170}) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      writer.open(path);
      WalCheckpointer checkpointer(writer, {8, 64});  // copying nearly all the time
      for (int i = 1;; ++i) {
        commitRow();
        if (i == killAfter) kill(getpid(), SIGKILL);
      }
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << killAfter;
    Connection after;
    after.openPlain(path);
    EXPECT_EQ(test::rowsOf(after, "PRAGMA integrity_check"), std::vector<std::string>{"ok"}) << killAfter;
    EXPECT_EQ(test::rowsOf(after, "SELECT count(*) FROM T")[0], std::to_string(killAfter)) << killAfter;
    after.execute("DELETE FROM T");
  }
}

}  // namespace
}  // namespace tavrix::db
