// tavrix-report run as a process: list and tree output, and the exits on bad input.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "tests/views/inventory_db.h"

namespace tavrix::test {
namespace {

struct Outcome {
  int status = -1;
  std::string out, err;
};

std::string reportProgram() { return binaryDir() + "/app/tavrix-report"; }

Outcome runProgram(const std::string& program, const std::string& args, const TempDir& scratch) {
  std::string out = scratch.file("stdout"), err = scratch.file("stderr");
  std::string command = "'" + program + "' " + args + " >'" + out + "' 2>'" + err + "'";
  int raw = std::system(command.c_str());
  Outcome o;
  o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  o.out = readFile(out);
  o.err = readFile(err);
  return o;
}

class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(reportProgram())) << "build the tavrix-report target first";
    first = db.addComputer({{"PCid", "PC01"}, {"ComputerName", "PC-01"}, {"UserName", "山田"},
                            {"OSVersion", "XP"}, {"OSVersionT", "OS"}});
    second = db.addComputer({{"PCid", "PC02"}, {"CreateDate", "1899-12-30 00:00:00"}});
    db.addRow("T_Drive", first, {{"DriveLetter", "C"}, {"DriveType", "HDD"}, {"FileSystem", ""}});
    db.addRow("T_Drive", first, {{"DriveLetter", "C"}, {"DriveType", "HDD"}, {"FileSystem", ""}});
  }
  Outcome report(const std::string& args) { return runProgram(reportProgram(), args, scratch); }

  InventoryDb db;
  TempDir scratch;
  int first = 0, second = 0;
};

TEST_F(ReportTest, ListPrintsSixColumnsJoinedByTab) {
  Outcome o = report("--db '" + db.path() + "' list");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "PC-01\t山田\tXP\t2004/10/24 09:05\tPC01\t" + std::to_string(first) + "\n" +
                       "\t \t \t\tPC02\t" + std::to_string(second) + "\n");
  EXPECT_EQ(o.err, "");
}

TEST_F(ReportTest, TreePrintsIndentedLinesAndReportsClashes) {
  Outcome o = report("--db '" + db.path() + "' tree " + std::to_string(first));
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "PC01" + B(15) + "作成日:2004/10/24 09:05\n" +
                       B(5) + ": PC-01\n" +
                       B(9) + ": 山田\n" +
                       "OS" + B(5) + ": XP\n" +
                       B(11) + ": " + B(3) + B(2) + "\n" +
                       B(5) + ": \n" +
                       "ウィルス対策:\n" + "  " + B(5) + "\n" +
                       "ディレクトリ:\n" + "   　\n" + "   　\n" +
                       "ドライブ:\n" + "  C:  HDD\n" +
                       "ＮＩＣカード:\n");
  EXPECT_EQ(o.err, "TAVRIX: Key is not unique in the tree: \"C\"\n");
}

TEST_F(ReportTest, BadInputEndsWithAMessageAndNonZeroStatus) {
  test::writeFile(scratch.file("garbage.db"), std::string(4096, 'x'));
  struct Case {
    const char* name;
    std::string args;
    int status;
    std::string err;  // expected start of standard error
  };
  const std::vector<Case> cases = {
      {"unknown RNO", "--db '" + db.path() + "' tree 999", 1,
       "tavrix-report: no computer with RNO 999 in " + db.path() + "\n"},
      {"missing database", "--db '" + scratch.file("none.db") + "' list", 1,
       "tavrix-report: database not found: " + scratch.file("none.db") + "\n"},
      {"not a database", "--db '" + scratch.file("garbage.db") + "' list", 1,
       "tavrix-report: cannot read database " + scratch.file("garbage.db") + ": "},
      {"RNO not a number", "--db '" + db.path() + "' tree 1x", 2, "tavrix-report: RNO must be a whole number"},
      {"no command", "--db '" + db.path() + "'", 2, "tavrix-report: no command given"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Outcome o = report(c.args);
    EXPECT_EQ(o.status, c.status);
    EXPECT_EQ(o.err.substr(0, c.err.size()), c.err) << o.err;
    EXPECT_EQ(o.out, "");
  }
}

TEST_F(ReportTest, WithoutDbTheDatabaseComesFromTavrixIniBesideTheProgram) {
  TempDir program;
  std::string copy = program.file("tavrix-report");
  std::filesystem::copy_file(reportProgram(), copy);
  std::filesystem::permissions(copy, std::filesystem::perms::owner_all);

  Outcome withoutIni = runProgram(copy, "list", scratch);
  EXPECT_EQ(withoutIni.status, 1);
  EXPECT_EQ(withoutIni.err, "tavrix-report: no --db given and no Tavrix.ini beside the program (" +
                                program.file("Tavrix.ini") + ")\n");

  writeFile(program.file("Tavrix.ini"), "[Tavrix Section]\nMDB_DIR=" + db.folder() + "\nMDB_NAME=inventory.db\n");
  Outcome viaIni = runProgram(copy, "list", scratch);
  Outcome viaDb = report("--db '" + db.path() + "' list");
  EXPECT_EQ(viaIni.status, 0);
  EXPECT_EQ(viaIni.out, viaDb.out);

  writeFile(program.file("Tavrix.ini"), "[Tavrix Section]\nMDB_DIR=" + db.folder() + "\nMDB_NAME=gone.db\n");
  Outcome missing = runProgram(copy, "list", scratch);
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "tavrix-report: database not found: " + db.folder() + "/gone.db\n");
}

}  // namespace
}  // namespace tavrix::test
