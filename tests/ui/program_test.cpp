// The tavrix program run as a process from a copy in a temporary folder: UPDATEONLY without a display,
// a windowed run that ends by itself when the list fails, and the second instance refused.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

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
  int run(const std::string& runMode, bool offscreen = false) {
    test::writeIni(dir, runMode);
    const std::string command = "cd '" + dir.path() + "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                (offscreen ? "QT_QPA_PLATFORM=offscreen " : "") +
                                "timeout 60 ./tavrix </dev/null >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string err() const { return test::readFile(dir.file("err.txt")); }
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
  ASSERT_EQ(run("", true), 0) << err();  // returns instead of waiting on closed windows
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

}  // namespace
}  // namespace tavrix
