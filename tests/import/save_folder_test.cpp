// The save folder keeps every delivery: a name taken already goes into a folder named after the
// time, long names move like short ones, and a save folder on another file system gets a copy.
// Only the file that was read moves, and never through a link to a folder elsewhere.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "platform/paths.h"

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
  // A copy that cannot be flushed to disk is no copy: the original stays, nothing is half there.
  static int syncs = 0;
  paths::setFileSync([](int) {
    ++syncs;
    errno = EIO;
    return -1;
  });
  runBatchOnce();
  paths::setFileSync(nullptr);
  EXPECT_GE(syncs, 1);
  EXPECT_EQ(exitStatusOf(lastRun()), ExitStatus::FilesNotImported);
  EXPECT_EQ(folderNames(csvDir()), Lines{"PC01.csv"});
  EXPECT_EQ(folderNames(save + "/20261205"), Lines{});
  EXPECT_EQ(messages.texts(), Lines{save + "/20261205/: Input/output error"});

  runBatchOnce();
  EXPECT_EQ(folderNames(csvDir()), Lines{});
  EXPECT_EQ(readFile(save + "/20261205/PC01.csv"), inventory("X"));
  EXPECT_EQ(folderNames(save + "/20261205"), Lines{"PC01.csv"});
  std::filesystem::remove_all(save);
}

// PC01.csv changed once PC01 is imported and PC02 starts: only the file that was read may move.
TEST_F(SaveFolder, OnlyTheFileThatWasReadMovesAndADeliveryAfterItWaitsForTheNextRun) {
  const std::string again = " は読み込んだ後に置き換えられました。新しいファイルをCSVフォルダに残し、次回取り込みます。";
  const struct {
    const char* name;
    std::function<void(const std::string&)> change;
    const char* printerNext;  // what the next run imports for PC01, nullptr when nothing is left
    std::string logLine;      // "" when PC01 is saved as read
  } cases[] = {
      {"rewritten in place", [](const std::string& p) { writeFile(p, inventory("NEWER")); }, "NEWER", "PC01.csv" + again},
      {"replaced by a new file of the same size",
       [](const std::string& p) {
         writeFile(p + ".part", inventory("NEW"));
         std::filesystem::rename(p + ".part", p);
       },
       "NEW", "PC01.csv" + again},
      {"deleted", [](const std::string& p) { std::filesystem::remove(p); }, nullptr,
       "PC01.csv は読み込んだ後に無くなりました。"},
      {"its mode changed only", [](const std::string& p) { ::chmod(p.c_str(), 0600); }, nullptr, ""},
  };
  for (const auto& c : cases) {
    for (const char* folder : {"db", "save", "csv"}) std::filesystem::remove_all(dir.file(folder));
    writeFile(csvDir() + "/PC01.csv", inventory("OLD"));
    writeFile(csvDir() + "/PC02.csv", inventory("P2"));
    struct ChangeFirst : ImportProgress {
      ChangeFirst(const std::function<void(const std::string&)>& change, std::string path) : change(change), path(path) {}
      void fileStarted(int index, int, const std::string&) override {
        if (index == 2) change(path);
      }
      const std::function<void(const std::string&)>& change;
      std::string path;
    } hook(c.change, csvDir() + "/PC01.csv");
    runBatchOnce(&hook);

    const bool stays = c.printerNext != nullptr;
    EXPECT_EQ(exitStatusOf(lastRun()), stays ? ExitStatus::FilesNotImported : ExitStatus::Ok) << c.name;
    EXPECT_EQ(folderNames(csvDir()), stays ? Lines{"PC01.csv"} : Lines{}) << c.name;
    EXPECT_EQ(saved(), stays || c.logLine.size() ? Lines{"PC02.csv=P2"} : (Lines{"PC01.csv=OLD", "PC02.csv=P2"})) << c.name;
    const Lines lines = log();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), c.logLine), c.logLine.empty() ? 0 : 1) << c.name;
    if (!stays) continue;
    runBatchOnce();
    EXPECT_EQ(exitStatusOf(lastRun()), ExitStatus::Ok) << c.name;
    EXPECT_EQ(queryRows(dbPath(), "SELECT PrinterName FROM T_Printer WHERE PCid = 'PC01'"), Lines{c.printerNext}) << c.name;
    EXPECT_EQ(saved(), (Lines{"PC01.csv=" + std::string(c.printerNext), "PC02.csv=P2"})) << c.name;
  }
}

TEST_F(SaveFolder, ALinkOnTheWayIntoTheSaveFolderIsNotFollowed) {
  const std::string elsewhere = dir.file("elsewhere");
  const struct {
    const char* name;
    const char* link;      // the folder under the day's save folder ("" the day's folder itself) made a link
    bool savedBefore;      // PC01 was saved today already, so a time folder is needed
    Lines left;            // what stays in the CSV folder
  } cases[] = {
      {"day folder", "", false, {"JUNK.csv", "PC01.csv"}},
      {"rejected folder", "/rejected", false, {"JUNK.csv"}},
      {"time folder", "/090703", true, {"PC01.csv"}},
  };
  for (const auto& c : cases) {
    for (const char* folder : {"db", "save", "csv", "elsewhere"}) std::filesystem::remove_all(dir.file(folder));
    std::filesystem::create_directories(elsewhere);
    std::filesystem::create_directories(dir.file("save/20261205"));
    if (c.savedBefore) writeFile(saveDir() + "/PC01.csv", inventory("FIRST"));
    const std::string link = saveDir() + c.link;
    std::filesystem::remove_all(link);
    std::filesystem::create_directory_symlink(elsewhere, link);
    writeFile(csvDir() + "/PC01.csv", inventory("P1"));
    writeFile(csvDir() + "/JUNK.csv", "not an inventory\r\n");
    messages.messages.clear();
    runBatchOnce();
    EXPECT_EQ(exitStatusOf(lastRun()), ExitStatus::FilesNotImported) << c.name;
    EXPECT_EQ(folderNames(csvDir()), c.left) << c.name;
    EXPECT_EQ(folderNames(elsewhere), Lines{}) << c.name << ": written through the link";
    EXPECT_EQ(messages.texts(), (Lines{"インベントリCSVではないファイルを取り込まずに rejected フォルダへ移します。", link + ": リンクです"}))
        << c.name;
    EXPECT_EQ(queryRows(dbPath(), "SELECT PrinterName FROM T_Printer"), Lines{"P1"}) << c.name;
  }
}

// A committed file the day folder refused stays, the batch says so (exit 1), and the next run only
// moves it; a file delivered anew under that name meanwhile is imported as usual.
TEST_F(SaveFolder, ACommittedFileTheSaveFolderRefusedIsOnlyMovedNextTime) {
  const struct {
    const char* name;
    std::string redelivered;  // "" when the file stays as it was
    bool importedAgain;
  } cases[] = {{"unchanged", "", false}, {"delivered anew", inventory("NEWER"), true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* folder : {"db", "save", "csv", "log"}) std::filesystem::remove_all(dir.file(folder));
    writeFile(csvDir() + "/PC01.csv", inventory("FIRST"));
    writeFile(saveDir(), "a file where the day's save folder should be");
    messages.messages.clear();
    runBatchOnce();
    EXPECT_EQ(exitStatusOf(lastRun()), ExitStatus::FilesNotImported);
    EXPECT_EQ(messages.texts(), Lines{saveDir() + ": File exists"});
    EXPECT_EQ(folderNames(csvDir()), Lines{"PC01.csv"});
    const Lines firstRno = queryRows(dbPath(), "SELECT RNO FROM T_BasicInf WHERE PCid = 'PC01'");
    ASSERT_EQ(firstRno, Lines{"1"});

    std::filesystem::remove(saveDir());
    if (!c.redelivered.empty()) writeFile(csvDir() + "/PC01.csv", c.redelivered);
    std::filesystem::remove(dir.file("log/run.log"));
    runBatchOnce();
    EXPECT_EQ(exitStatusOf(lastRun()), ExitStatus::Ok);
    EXPECT_EQ(folderNames(csvDir()), Lines{});
    EXPECT_EQ(queryRows(dbPath(), "SELECT RNO FROM T_BasicInf WHERE PCid = 'PC01'"), c.importedAgain ? Lines{"2"} : firstRno);
    EXPECT_EQ(saved(), Lines{c.importedAgain ? "PC01.csv=NEWER" : "PC01.csv=FIRST"});
    const Lines lines = log();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "PC01.csv は前回取り込み済みです（保存フォルダへ移せませんでした）。今回は移動だけを行います。"),
              c.importedAgain ? 0 : 1);
    EXPECT_EQ(folderNames(dir.file("db")), Lines{"Tavrix.mdb"}) << "the list of unsaved files outlived them";
  }
}

}  // namespace
}  // namespace tavrix::test
