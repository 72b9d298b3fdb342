// The batch around the import: a missing CSV folder, a save folder that cannot take the files, a CSV
// that cannot be read, and a generated fleet whose rows must all arrive.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/import/import_fixture.h"
#include "tests/import/inventory_tables.h"
#include "tools/fleet.h"

namespace tavrix::test {
namespace {

const std::string kComputer = "0,1,x,x,2.1,2004/10/24 10:30\r\n1,9,プリンタ,P\r\n";

std::vector<std::string> folderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

bool readable(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char c;
  return in && in.read(&c, 1);
}

class BatchEdges : public ImportFixture {};

TEST_F(BatchEdges, AMissingCsvFolderIsLoggedAndTheBatchEnds) {
  writeIni();
  std::filesystem::remove_all(csvDir());
  runBatchOnce();
  auto lines = log();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[lines.size() - 4], "取り込み用(.CSV)ファイルのカウント処理中にエラーが発生しました。(2)");
  EXPECT_EQ(lines[lines.size() - 2], "Tavrix CSV取込処理を終了しました。 ");
  EXPECT_EQ(queryRows(dbPath(), "SELECT count(*) FROM T_BasicInf"), std::vector<std::string>{"0"});
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(BatchEdges, FilesThatCannotBeSavedStayInTheCsvFolder) {
  writeIni();
  writeCsv("PC01.csv", kComputer);
  writeCsv("PC02.csv", kComputer);
  writeFile(saveDir(), "a file where the day's save folder should be");

  runBatchOnce();
  EXPECT_EQ(queryRows(dbPath(), "SELECT PCid FROM T_BasicInf ORDER BY PCid"), (std::vector<std::string>{"PC01", "PC02"}));
  EXPECT_EQ(folderNames(csvDir()), (std::vector<std::string>{"PC01.csv", "PC02.csv"}));
  EXPECT_EQ(messages.texts(), (std::vector<std::string>{"File exists", "Not a directory", "Not a directory"}));

  // Once the save folder can be made, the next run imports them again and moves them.
  std::filesystem::remove(saveDir());
  runBatchOnce();
  EXPECT_EQ(queryRows(dbPath(), "SELECT PCid FROM T_BasicInf ORDER BY PCid"), (std::vector<std::string>{"PC01", "PC02"}));
  EXPECT_EQ(folderNames(csvDir()), std::vector<std::string>{});
  EXPECT_EQ(folderNames(saveDir()), (std::vector<std::string>{"PC01.csv", "PC02.csv"}));
  EXPECT_EQ(invariantViolations(dbPath()), std::vector<std::string>{});
}

TEST_F(BatchEdges, ACsvThatCannotBeReadKeepsTheEarlierSnapshot) {
  struct Way {
    const char* name;
    std::function<void(const std::string&)> spoil;  // makes the CSV at path unreadable
    std::string error;
  };
  const std::vector<Way> ways = {
      {"no read permission", [](const std::string& p) { chmod(p.c_str(), 0); }, "Permission denied"},
      // Opens like a file, but reading its first byte fails, even for root.
      {"read error",
       [](const std::string& p) {
         std::filesystem::remove(p);
         std::filesystem::create_symlink("/proc/self/mem", p);
       },
       "Input/output error"},
  };
  writeIni();
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    writeCsv("U.csv", kComputer);
    runBatchOnce();
    auto before = queryRows(dbPath(), "SELECT RNO, PCid, CreateDate FROM T_BasicInf");
    ASSERT_EQ(before.size(), 1u);

    writeCsv("U.csv", "0,1,x,x,9,2009/09/09 09:09\r\n");
    way.spoil(csvDir() + "/U.csv");
    if (readable(csvDir() + "/U.csv")) {
      std::filesystem::remove(csvDir() + "/U.csv");
      std::cout << "skipped: " << way.name << " does not stop reading here (root)\n";
      continue;
    }
    messages.messages.clear();
    runBatchOnce();

    std::vector<std::string> importLines;
    for (const auto& line : log())
      if (line.find("U.csv") != std::string::npos) importLines.push_back(line);
    EXPECT_EQ(importLines, (std::vector<std::string>{"F06_READ_CSV: U.csv: " + way.error, "U.csv 取込を終了しました。 "}));
    EXPECT_EQ(queryRows(dbPath(), "SELECT RNO, PCid, CreateDate FROM T_BasicInf"), before);
    EXPECT_EQ(tableRows(dbPath(), "T_Printer", {"PrinterName"}), std::vector<std::string>{"U: PrinterName=P"});
    EXPECT_EQ(messages.texts(), std::vector<std::string>{way.error});
    EXPECT_EQ(folderNames(csvDir()), std::vector<std::string>{"U.csv"});
    std::filesystem::remove(csvDir() + "/U.csv");
  }
}

TEST_F(BatchEdges, EveryRowOfAGeneratedFleetArrives) {
  writeIni();
  fleet::FleetSummary fleet = fleet::writeFleet(csvDir(), 4, 99);
  runBatchOnce();
  for (const auto& t : inventoryFields()) {
    EXPECT_EQ(queryRows(dbPath(), "SELECT count(*) FROM " + t.table), std::vector<std::string>{std::to_string(fleet.rows[t.table])})
        << t.table;
  }
  fleet::Computer first = fleet::makeComputer(99, 1);
  const std::string prefix = "1,1,コンピュータ名,";
  std::string name = first.text.substr(first.text.find(prefix) + prefix.size());
  EXPECT_EQ(queryRows(dbPath(), "SELECT ComputerName FROM T_BasicInf WHERE PCid = 'PC00001'"),
            std::vector<std::string>{name.substr(0, name.find('\r'))});
  for (const auto& line : log()) EXPECT_FALSE(line.starts_with("F06_READ_CSV")) << line;
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ(invariantViolations(dbPath()), std::vector<std::string>{});
  EXPECT_EQ(folderNames(csvDir()), std::vector<std::string>{});
}

}  // namespace
}  // namespace tavrix::test
