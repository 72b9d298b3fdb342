// tavrix-report run as a process: the list with each column's fallback, the tree, a bad RNO.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/views/inventory_db.h"

namespace tavrix::test {
namespace {

TEST(TavrixReport, ListTreeAndBadInput) {
  InventoryDb db;
  TempDir scratch;
  const Fields driveC = {{"DriveLetter", "C"}, {"DriveType", "HDD"}, {"FileSystem", ""}};
  const std::string full = std::to_string(db.addComputer(
      {{"ComputerName", "PC-01"}, {"UserName", "山田"}, {"OSVersionT", "OS"}, {"OSVersion", "XP"}},
      {{"T_Drive", driveC}, {"T_Drive", driveC}}));
  const std::string nulls = std::to_string(db.addComputer({{"PCid", "PC02"}, {"CreateDate", "1899-12-30 00:00:00"}}));
  const std::string empty = std::to_string(db.addComputer(
      {{"PCid", "PC03"}, {"CreateDate", "1900-01-01 00:00:00"}, {"ComputerName", ""}, {"UserName", ""}, {"OSVersion", ""}}));
  const std::string dbArg = "--db '" + db.path() + "' ";
  struct Case {
    const char* name;
    std::string args;
    int status;
    std::string out, err;  // err: the start of standard error
  };
  const std::vector<Case> cases = {
      {"list: NULL names give \"\", \" \", \" \"; zero date empty; 1900-01-01 shown", dbArg + "list", 0,
       "PC-01\t山田\tXP\t2004/10/24 09:05\tPC01\t" + full + "\n\t \t \t\tPC02\t" + nulls +
           "\n\t\t\t1900/01/01 00:00\tPC03\t" + empty + "\n", ""},
      {"tree, its clash on standard error", dbArg + "tree " + full, 0,
       blanks("PC01{15}作成日:2004/10/24 09:05\n{5}: PC-01\n{9}: 山田\nOS{5}: XP\n{11}: {3}{2}\n{5}: \nウィルス対策:\n{7}\n"
              "ディレクトリ:\n{3}　\n{3}　\nドライブ:\n  C:  HDD\nＮＩＣカード:\n"),
       "TAVRIX: Key is not unique in the tree: \"C\"\n"},
      {"RNO not a number", dbArg + "tree 1x", 2, "", "tavrix-report: RNO must be a whole number"},
  };
  const std::string program = "'" + binaryDir() + "/app/tavrix-report' ";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ProgramRun run = runProgram(scratch, program + c.args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err.substr(0, c.err.empty() ? std::string::npos : c.err.size()), c.err);
  }

  // Without --db the database is found through Tavrix.ini beside the program.
  std::filesystem::copy_file(binaryDir() + "/app/tavrix-report", scratch.file("tavrix-report"));
  writeFile(scratch.file("Tavrix.ini"), "[Tavrix Section]\r\nMDB_DIR=" + db.folder() + "\r\nMDB_NAME=inventory.db\r\n");
  const ProgramRun besideIni = runProgram(scratch, "'" + scratch.file("tavrix-report") + "' list");
  EXPECT_EQ(besideIni.status, 0) << besideIni.err;
  EXPECT_EQ(besideIni.out.substr(0, 6), "PC-01\t");
}

}  // namespace
}  // namespace tavrix::test
