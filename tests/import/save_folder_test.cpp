// The save folder keeps every delivery: a name taken already goes into a folder named after the
// time, long names move like short ones, and a save folder on another file system gets a copy.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/import/import_fixture.h"

namespace tavrix::test {
namespace {

using Lines = std::vector<std::string>;

class SaveFolder : public ImportFixture {
 protected:
  // Files under the day's save folder, with their printer names, as "path=printer".
  Lines saved() const {
    Lines found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(saveDir())) {
      if (!entry.is_regular_file()) continue;
      std::string bytes = readFile(entry.path());
      std::string relative = entry.path().string().substr(saveDir().size() + 1);
      found.push_back(relative + "=" + bytes.substr(bytes.rfind(',') + 1, bytes.size() - bytes.rfind(',') - 3));
    }
    std::sort(found.begin(), found.end());
    return found;
  }
};

TEST_F(SaveFolder, ADeliveryOfANameTakenTodayIsKeptBesideTheFirst) {
  const std::string longName = std::string(246, 'L') + ".csv";  // 250 bytes: no room for a suffix
  for (const char* printer : {"FIRST", "SECOND", "THIRD"}) {
    writeFile(csvDir() + "/PC01.csv", inventory(printer));
    writeFile(csvDir() + "/" + longName, inventory(printer));
    writeFile(csvDir() + "/JUNK.csv", "not an inventory," + std::string(printer) + "\r\n");
    runBatchOnce();
    EXPECT_EQ(folderNames(csvDir()), Lines{}) << printer;
  }
  const std::string l = std::string(246, 'L');
  EXPECT_EQ(saved(), (Lines{"090703-2/" + l + ".csv=THIRD", "090703-2/PC01.csv=THIRD", "090703/" + l + ".csv=SECOND",
                            "090703/PC01.csv=SECOND", l + ".csv=FIRST", "PC01.csv=FIRST", "rejected/090703-2/JUNK.csv=THIRD",
                            "rejected/090703/JUNK.csv=SECOND", "rejected/JUNK.csv=FIRST"}));
  EXPECT_EQ(queryRows(dbPath(), "SELECT PrinterName FROM T_Printer ORDER BY PCid"), (Lines{"THIRD", "THIRD"}));
  // No temporary name was left anywhere.
  EXPECT_EQ(folderNames(saveDir()), (Lines{"090703", "090703-2", l + ".csv", "PC01.csv", "rejected"}));
}

TEST_F(SaveFolder, ASaveFolderOnAnotherFileSystemGetsASyncedCopyAndTheOriginalGoes) {
  if (!std::filesystem::is_directory("/dev/shm")) GTEST_SKIP() << "no /dev/shm to put the save folder on";
  const std::string save = "/dev/shm/tavrix-save-" + std::to_string(getpid());
  std::filesystem::remove_all(save);
  std::string ini = readFile(dir.file("Tavrix.ini"));
  writeFile(dir.file("Tavrix.ini"), text::replaceAll(ini, "CSV_SAVE_DIR=*\\save", "CSV_SAVE_DIR=" + save));
  writeFile(csvDir() + "/PC01.csv", inventory("X"));
  runBatchOnce();
  EXPECT_EQ(folderNames(csvDir()), Lines{});
  EXPECT_EQ(readFile(save + "/20261205/PC01.csv"), inventory("X"));
  EXPECT_EQ(folderNames(save + "/20261205"), Lines{"PC01.csv"});
  std::filesystem::remove_all(save);
}

}  // namespace
}  // namespace tavrix::test
