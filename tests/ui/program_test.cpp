// The tavrix program run as a process from a copy in a temporary folder: UPDATEONLY without a display,
// a windowed run that ends by itself when the list fails, the second instance refused, and the
// command line (help, version and bad arguments touch nothing; --update-only overrides RUNMODE).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <algorithm>
#include <filesystem>

#include "app/command_line.h"
#include "batch/run_log.h"
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
  }
  // Runs the copy without a display (or offscreen); returns its exit status.
  int run(const std::string& runMode, bool offscreen = false, const std::string& args = "", int seconds = 60) {
    test::writeIni(dir, runMode);
    const std::string command = "cd '" + dir.path() + "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                (offscreen ? "QT_QPA_PLATFORM=offscreen " : "") +
                                "timeout " + std::to_string(seconds) + " ./tavrix " + args + " </dev/null >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string out() const { return test::readFile(dir.file("out.txt")); }
  std::string err() const { return test::readFile(dir.file("err.txt")); }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::vector<std::string> log() const { return test::logMessages(dir.path() + "/log/run.log"); }

  test::TempDir dir;
};

TEST_F(ProgramTest, UpdateOnlyRunsWithoutADisplayAndAFailedListEndsTheWindowedRun) {
  test::writeFile(dir.path() + "/csv/PC01.csv", "0,1,x,x,2.1,2004/10/24 10:30\r\n1,1,Name,PC-01\r\n");
  ASSERT_EQ(run("UpdateOnly"), 0) << err();
  EXPECT_EQ(err(), "");
  const std::string dashes(kDashLine), equals(kEqualsLine);
  EXPECT_EQ(test::lastLines(log(), 4), (std::vector<std::string>{"PC01.csv 取込を終了しました。 ", dashes,
                                                                 "Tavrix CSV取込処理を終了しました。 ", dashes}));
  // A table that has every field but cannot be read: the import finds nothing missing, the list fails.
  test::executeSql(dir, "ALTER TABLE T_BasicInf RENAME TO T_Old; "
                        "CREATE VIEW T_BasicInf AS SELECT * FROM T_Old WHERE abs(-9223372036854775808) > 0");
  // Offscreen nobody answers the box that tells why the list failed: the program waits there,
  // its log already holding the three lines.
  EXPECT_EQ(run("", true, "", 10), 124) << err();
  EXPECT_EQ(test::lastLines(log(), 3),
            (std::vector<std::string>{equals, "Tavrix:F21_List Error=(1) integer overflow", equals}));
}

TEST_F(ProgramTest, SecondInstanceSaysSoOnStandardErrorAndLeavesTheLogAlone) {
  InstanceLock first;
  ASSERT_TRUE(first.acquire(dir.file("Tavrix.lock")));
  EXPECT_EQ(run("UPDATEONLY"), static_cast<int>(ExitStatus::AlreadyRunning));
  EXPECT_EQ(err(), "TAVRIX: すでに「TAVRIX」は起動されています。\n");
  EXPECT_FALSE(paths::directoryExists(dir.path() + "/log"));
}

TEST_F(ProgramTest, HelpVersionAndBadArgumentsRunNoBatch) {
  test::writeFile(dir.path() + "/csv/PC01.csv", "0,1,x,x,2.1,2004/10/24 10:30\r\n1,1,Name,PC-01\r\n");
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
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    EXPECT_EQ(run("UPDATEONLY", false, c.args), c.status);
    EXPECT_EQ(out(), c.out);
    EXPECT_EQ(err(), c.err);
    // No lock, log, database or save folder: the CSV is where it was.
    EXPECT_EQ(entries(), (std::vector<std::string>{"Tavrix.ini", "csv", "err.txt", "out.txt", "tavrix"}));
  }
  EXPECT_TRUE(paths::fileExists(dir.path() + "/csv/PC01.csv"));
}

// A run without windows: asked for with --update-only (offscreen, a windowed run would wait for
// its list to be closed), or a windowed run that finds no display, which says so once and imports.
TEST_F(ProgramTest, RunsWithoutWindowsWhenAskedOrWithoutADisplay) {
  const std::string noDisplay = "表示できる画面がないため、ウィンドウなしで処理を続けます。";
  const struct {
    const char* args;
    bool offscreen;
    std::string err;
  } cases[] = {{"--update-only", true, ""}, {"", false, "TAVRIX: " + noDisplay + "\n"}};
  for (const auto& c : cases) {
    std::filesystem::remove_all(dir.path() + "/db");
    test::writeFile(dir.path() + "/csv/PC01.csv", "0,1,x,x,2.1,2004/10/24 10:30\r\n1,1,Name,PC-01\r\n");
    ASSERT_EQ(run("", c.offscreen, c.args), 0) << err();
    EXPECT_EQ(err(), c.err) << c.args;
    const auto lines = log();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), noDisplay), c.err.empty() ? 0 : 1) << c.args;
    EXPECT_EQ(test::lastLines(lines, 3)[1], "Tavrix CSV取込処理を終了しました。 ");
    EXPECT_FALSE(paths::fileExists(dir.path() + "/csv/PC01.csv"));
    db::Connection db;
    db.open(dir.path() + "/db/Tavrix.mdb");
    db::ReadOnlyRecordSet rows(db, "SELECT ComputerName FROM T_BasicInf");
    ASSERT_FALSE(rows.eof());
    EXPECT_EQ(rows.field("ComputerName").text(), "PC-01");
  }
}

}  // namespace
}  // namespace tavrix
