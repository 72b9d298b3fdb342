// The tavrix program run as a process from a copy in a temporary folder: runs without windows (asked
// for, by RUNMODE, or for want of a display), the second instance refused, and the command line
// (help, version and bad arguments touch nothing; --update-only overrides RUNMODE).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/command_line.h"
#include "platform/instance_lock.h"
#include "platform/paths.h"
#include "tests/ui/ui_fixture.h"

namespace tavrix {
namespace {

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string built = test::binaryDir() + "/app/tavrix";
    ASSERT_TRUE(paths::fileExists(built)) << "build the tavrix program first: " << built;
    std::filesystem::copy_file(built, dir.file("tavrix"));
    test::writeFile(dir.path() + "/csv/PC01.csv", "0,1,x,x,2.1,2004/10/24 10:30\r\n1,1,Name,PC-01\r\n");
  }
  // Runs the copy without a display (or offscreen).
  test::ProgramRun run(const std::string& runMode, bool offscreen, const std::string& args, const std::string& iniLine = "") {
    test::writeProgramIni(dir.path(), runMode, test::sourceDir() + "/dstrb");
    if (!iniLine.empty()) test::writeFile(dir.file("Tavrix.ini"), test::readFile(dir.file("Tavrix.ini")) + iniLine + "\r\n");
    return test::runProgram(scratch, "cd '" + dir.path() + "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                         (offscreen ? "QT_QPA_PLATFORM=offscreen " : "") + "timeout 60 ./tavrix " +
                                         args + " </dev/null");
  }

  test::TempDir dir, scratch;
};

// Another instance holds the lock throughout: neither it nor any other run may touch a file.
TEST_F(ProgramTest, HelpVersionBadArgumentsAndASecondInstanceRunNoBatch) {
  InstanceLock first;
  ASSERT_TRUE(first.acquire(dir.path()));
  struct Case {
    const char* args;
    int status;
    std::string out, err;
  };
  const std::vector<Case> cases = {
      {"--help", 0, usageText(), ""},
      {"--version", 0, "tavrix 1.0.0\n", ""},
      {"--update-only --help", 0, usageText(), ""},
      {"--bogus", 2, "", "tavrix: unknown option \"--bogus\"\n" + usageText()},
      {"--update-only list", 2, "", "tavrix: unexpected argument \"list\"\n" + usageText()},
      {"--copy-to", 2, "", "tavrix: --copy-to needs a connection string\n" + usageText()},
      {"--copy-to host=db --update-only", 2, "", "tavrix: --copy-to stands alone, not with \"--update-only\"\n" + usageText()},
      {"--update-only --copy-to host=db", 2, "", "tavrix: --copy-to stands alone, not with \"--update-only\"\n" + usageText()},
      {"", static_cast<int>(ExitStatus::AlreadyRunning), "", "TAVRIX: すでに「TAVRIX」は起動されています。\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const test::ProgramRun r = run("UPDATEONLY", false, c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
    // No log, database or save folder: the CSV is where it was.
    EXPECT_EQ(test::folderNames(dir.path()), (std::vector<std::string>{"Tavrix.ini", "csv", "tavrix"}));
  }
  EXPECT_TRUE(paths::fileExists(dir.path() + "/csv/PC01.csv"));
}

// A run without windows: asked for with --update-only (offscreen, a windowed run would wait for
// its list to be closed) or by RUNMODE, or a windowed run that finds no display, which says so once
// and imports.
TEST_F(ProgramTest, RunsWithoutWindowsWhenAskedOrWithoutADisplay) {
  const std::string noDisplay = "表示できる画面がないため、ウィンドウなしで処理を続けます。";
  const struct {
    const char* runMode;
    const char* args;
    bool offscreen;
    std::string err;
  } cases[] = {{"", "--update-only", true, ""}, {"UpdateOnly", "", false, ""},
               {"", "", false, "TAVRIX: " + noDisplay + "\n"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.runMode) + c.args);
    std::filesystem::remove_all(dir.path() + "/db");
    test::writeFile(dir.path() + "/csv/PC01.csv", "0,1,x,x,2.1,2004/10/24 10:30\r\n1,1,Name,PC-01\r\n");
    const test::ProgramRun r = run(c.runMode, c.offscreen, c.args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, c.err);
    const auto lines = test::logMessages(dir.path() + "/log/run.log");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), noDisplay), c.err.empty() ? 0 : 1);
    EXPECT_EQ(test::lastLines(lines, 3)[1], "Tavrix CSV取込処理を終了しました。 ");
    EXPECT_FALSE(paths::fileExists(dir.path() + "/csv/PC01.csv"));
    db::Connection db;
    db.open(dir.path() + "/db/Tavrix.mdb");
    db::ReadOnlyRecordSet rows(db, "SELECT ComputerName FROM T_BasicInf");
    ASSERT_FALSE(rows.eof());
    EXPECT_EQ(rows.field("ComputerName").text(), "PC-01");
  }
}

// Without a box to show, standard error names the file and the cause beside the box's own text, for
// a user who cannot read the run log; the CSV stays.
TEST_F(ProgramTest, WithoutWindowsAFailureNamesItsPathAndCause) {
  test::writeFile(dir.path() + "/db/Tavrix.mdb", std::string(8192, 'x'));
  const test::ProgramRun r = run("UPDATEONLY", false, "");
  EXPECT_EQ(r.status, static_cast<int>(ExitStatus::ConfigurationError));
  EXPECT_EQ(r.err, "TAVRIX: Cant DB Open " + dir.path() + "/db/Tavrix.mdb (file is not a database)\n");
  EXPECT_TRUE(paths::fileExists(dir.path() + "/csv/PC01.csv"));
}

// A server database the batch cannot use stops it before any CSV moves: a connection string with a
// password is a settings error that quotes none of it; a server that does not answer is named by
// host, port and database. No database file or folder is made for a server.
TEST_F(ProgramTest, AServerItCannotUseStopsTheBatchWithTheCsvsInPlace) {
  const std::string secret = "s3cret-Pw";
  const std::string refused = "TAVRIX: 設定エラー: " + dir.file("Tavrix.ini") +
                              " の DB_SERVER の接続文字列にパスワードがあります。パスワードは libpq のパスワードファイル"
                              "（~/.pgpass または PGPASSFILE）に書いてください。処理を中止します。\n";
  const std::string nobody = scratch.path();  // no server listens on a socket here
  const std::string down = "TAVRIX: Cant DB Open " + nobody + ":5999/inventory (cannot reach the server: ";
  const struct {
    const char* name;
    std::string server;
    std::string err;  // how standard error begins
  } cases[] = {
      {"a password in a URI", "postgresql://tavrix:" + secret + "@dbhost/inventory", refused},
      {"a password as a key", "host=dbhost password=" + secret + " dbname=inventory", refused},
      {"a string libpq cannot read", "host=dbhost dbname='inventory", "TAVRIX: 設定エラー: " + dir.file("Tavrix.ini") + " の DB_SERVER の接続文字列が読めません"},
      {"a server that does not answer", "host=" + nobody + " port=5999 dbname=inventory", down},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(dir.path() + "/log");
    const test::ProgramRun r = run("UPDATEONLY", false, "", "DB_SERVER=" + c.server);
    EXPECT_EQ(r.status, static_cast<int>(ExitStatus::ConfigurationError));
    EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.out, "");
    const auto lines = test::logMessages(dir.path() + "/log/run.log");
    const std::string logged = r.err.substr(8, r.err.size() - 9);  // without "TAVRIX: " and the newline
    EXPECT_EQ(std::count(lines.begin(), lines.end(), logged), 1);
    EXPECT_EQ(r.err.find(secret), std::string::npos);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
      if (entry.is_regular_file() && entry.path() != dir.file("Tavrix.ini")) {
        EXPECT_EQ(test::readFile(entry.path()).find(secret), std::string::npos) << entry.path();
      }
    }
    EXPECT_TRUE(paths::fileExists(dir.path() + "/csv/PC01.csv"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/db"));
  }
}

}  // namespace
}  // namespace tavrix
