// The tavrix program itself, run as a process from a copy in a temporary folder: without a display
// in UPDATEONLY mode, refused as a second instance, and ending by itself when the list fails.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "batch/run_log.h"
#include "platform/db.h"
#include "platform/instance_lock.h"
#include "platform/paths.h"
#include "tests/support/test_support.h"

namespace tavrix {
namespace {

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string built = test::binaryDir() + "/app/tavrix";
    ASSERT_TRUE(paths::fileExists(built)) << "build the tavrix program first: " << built;
    std::filesystem::copy_file(built, dir.file("tavrix"));
    std::filesystem::permissions(dir.file("tavrix"), std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
  }
  void writeIni(const std::string& runMode) {
    test::writeFile(dir.file("Tavrix.ini"),
                    "[Tavrix Section]\r\nLOG_DIR=*\\log\r\nLOG_FILE=run.log\r\nMDB_DIR=*\\db\r\n"
                    "MDB_NAME=Tavrix.mdb\r\nCSV_DIR=*\\csv\r\nDSTRB_DIR=" + test::sourceDir() +
                        "/dstrb\r\nRUNMODE=" + runMode + "\r\nCSV_SAVE_DIR=*\\save\r\n");
  }
  // Runs the copy with the given platform ("" = no display at all); returns its exit status.
  int run(const std::string& platform) {
    std::string command = "cd '" + dir.path() + "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
    if (!platform.empty()) command += "QT_QPA_PLATFORM=" + platform + " ";
    command += "timeout 60 ./tavrix </dev/null >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string err() const { return test::readFile(dir.file("err.txt")); }
  std::vector<std::string> log() const { return test::logMessages(dir.path() + "/log/run.log"); }

  test::TempDir dir;
};

TEST_F(ProgramTest, UpdateOnlyRunsWithoutADisplay) {
  writeIni("UpdateOnly");
  test::writeFile(dir.path() + "/csv/PC01.csv", "0,1,x,x,2.1,2004/10/24 10:30\r\n1,1,Name,PC-01\r\n");
  ASSERT_EQ(run(""), 0) << err();
  EXPECT_EQ(err(), "");
  const std::vector<std::string> lines = log();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
            (std::vector<std::string>{std::string(kDashLine), "Tavrix CSV取込処理を終了しました。 ",
                                      std::string(kDashLine)}));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "PC01.csv 取込を終了しました。 "), lines.end());
  EXPECT_TRUE(paths::fileExists(dir.path() + "/db/Tavrix.mdb"));
}

TEST_F(ProgramTest, SecondInstanceSaysSoOnStandardErrorAndLeavesTheLogAlone) {
  writeIni("UPDATEONLY");
  InstanceLock first;
  ASSERT_TRUE(first.acquire(dir.file("Tavrix.lock")));
  EXPECT_EQ(run(""), 0);
  EXPECT_EQ(err(), "TAVRIX: すでに「TAVRIX」は起動されています。\n");
  EXPECT_FALSE(paths::directoryExists(dir.path() + "/log"));
}

TEST_F(ProgramTest, WindowedRunEndsByItselfWhenTheListFails) {
  writeIni("UPDATEONLY");
  ASSERT_EQ(run(""), 0) << err();  // builds the database
  {
    db::Connection c;
    c.open(dir.path() + "/db/Tavrix.mdb");
    c.execute("DROP TABLE T_BasicInf");
  }
  writeIni("");
  ASSERT_EQ(run("offscreen"), 0) << err();
  const std::vector<std::string> lines = log();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 2], "Tavrix:F21_List Error=(1) no such table: T_BasicInf");
}

}  // namespace
}  // namespace tavrix
