// F_WRITE_LOG line format, F_MAKE_DIR and F_CHECK_ENV with their surviving log lines.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "batch/folders.h"
#include "batch/run_log.h"
#include "platform/paths.h"
#include "tests/batch/batch_fixture.h"

namespace tavrix {
namespace {

using test::BatchFixture;

class LogTest : public BatchFixture {};

TEST_F(LogTest, LineIsStampBlankMessageCrLfAndKeepsTrailingBlanksOrIsDroppedSilently) {
  state->LOG_DIR = dir.path() + "/";
  state->LOG_FILE = "run.log";
  F_WRITE_LOG(*state, "Tavrix処理を開始します。  ");
  F_WRITE_LOG(*state, "");
  F_WRITE_LOG(*state, kDashLine);
  // Control characters of a file name (DEL too) are written as \xNN; a tab and every other byte stay.
  F_WRITE_LOG(*state, "a\nb\rc\x7F" "d\te\x1B\x01~\x80");
  EXPECT_EQ(test::readFile(dir.file("run.log")),
            "2026/12/05 09:07:03 Tavrix処理を開始します。  \r\n2026/12/05 09:07:03 \r\n2026/12/05 09:07:03 " +
                std::string(54, '-') + "\r\n2026/12/05 09:07:03 a\\x0Ab\\x0Dc\\x7Fd\te\\x1B\\x01~\x80\r\n");
  // An unwritable log drops lines silently.
  state->LOG_FILE = "";  // the log path is the folder itself
  F_WRITE_LOG(*state, "x");
  state->LOG_DIR = dir.path() + "/missing/";
  state->LOG_FILE = "run.log";
  F_WRITE_LOG(*state, "x");
  EXPECT_FALSE(paths::fileExists(dir.file("missing/run.log")));
  EXPECT_TRUE(messages.messages.empty());
}

class FoldersTest : public BatchFixture {
 protected:
  void useFolders(const std::string& mdb, const std::string& log, const std::string& save) {
    state->MDB_DIR = mdb;
    state->LOG_DIR = log;
    state->CSV_SAVE_DIR = save;
    state->LOG_FILE = "run.log";
  }
};

TEST_F(FoldersTest, MakeDirCreatesParentsAndFailsOnAFileInTheWay) {
  EXPECT_FALSE(F_MAKE_DIR(*state, dir.path() + "/a/b/c/"));
  EXPECT_TRUE(paths::directoryExists(dir.file("a/b/c")));
  EXPECT_FALSE(F_MAKE_DIR(*state, dir.path() + "/a/b/c/"));
  EXPECT_FALSE(F_MAKE_DIR(*state, ""));
  EXPECT_TRUE(messages.messages.empty());

  test::writeFile(dir.file("file"), "x");
  EXPECT_TRUE(F_MAKE_DIR(*state, dir.path() + "/file/sub/"));
  EXPECT_TRUE(F_MAKE_DIR(*state, dir.path() + "/file/"));
  ASSERT_EQ(messages.messages.size(), 2u);
  EXPECT_EQ(messages.messages[0].style, MessageStyle::Plain);
  EXPECT_FALSE(messages.messages[0].text.empty());
}

// Folders under "blocker" cannot be made (a file is in the way): the save folder's failure is logged
// and shown, the log folder's drops every line; the check succeeds all the same.
TEST_F(FoldersTest, CheckEnvMakesTheFoldersAndKeepsOnlyTheSaveFolderLine) {
  const std::string root = dir.path(), inTheWay = root + "/blocker: File exists";
  test::writeFile(dir.file("blocker"), "x");
  const struct {
    const char* log;
    const char* save;
    std::vector<std::string> logged, boxes;
  } cases[] = {
      {"/blocker/log/", "/save/", {}, {inTheWay}},
      {"/log/", "/blocker/save/", {inTheWay, root + "/blocker/save/ ディレクトリを作成できません。"}, {inTheWay}},
      {"/log/", "/save/", {root + "/save/ ディレクトリを作成しました。"}, {}},
  };
  for (const auto& c : cases) {
    for (const char* f : {"db", "log", "save"}) std::filesystem::remove_all(dir.file(f));
    messages.messages.clear();
    useFolders(root + "/db/", root + c.log, root + c.save);
    EXPECT_FALSE(F_CHECK_ENV(*state)) << c.save;
    for (std::string f : {"/db/", c.log, c.save})
      EXPECT_EQ(paths::directoryExists(root + f), !f.starts_with("/blocker")) << f;
    EXPECT_EQ(test::logMessages(root + c.log + "run.log"), c.logged) << c.save;
    EXPECT_EQ(messages.texts(), c.boxes) << c.save;
  }
  // Everything present: nothing logged, the old log deleted.
  EXPECT_FALSE(F_CHECK_ENV(*state));
  EXPECT_FALSE(paths::fileExists(dir.file("log/run.log")));
}

}  // namespace
}  // namespace tavrix
