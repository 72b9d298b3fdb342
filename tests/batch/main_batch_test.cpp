// Main: second instance, whole UPDATEONLY runs and the order of the windowed steps.
#include "run/main_batch.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "batch/run_log.h"
#include "platform/instance_lock.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "tests/batch/batch_fixture.h"
#include "tests/platform/db_rows.h"

namespace tavrix {
namespace {

using test::BatchFixture;

// Records the windowed steps that Main asks for.
class RecordingWindows : public BatchWindows {
 public:
  bool showMainAndWait(RunState&) override {
    calls.push_back("show");
    return true;
  }
  void closeWaitAndDetail() override { calls.push_back("closeWait"); }
  bool fillList(RunState& s) override {
    calls.push_back(std::string("list dbOpen=") + (s.DbOpen ? "1" : "0"));
    return listFails;
  }
  std::vector<std::string> calls;
  bool listFails = false;
};

class MainBatchTest : public BatchFixture {
 protected:
  std::string prog() const { return dir.path(); }
  std::vector<std::string> log() const { return test::logMessages(prog() + "/log/run.log"); }
  std::vector<std::string> banner(const std::string& text) const {
    return {std::string(kDashLine), text, std::string(kDashLine)};
  }
};

// The same user's second start, or another batch (any user's) on the same CSV folder: only the
// exclamation box, exit status 4, no log, no window.
TEST_F(MainBatchTest, SecondInstanceShowsOnlyTheExclamationBox) {
  test::writeProgramIni(prog(), "", test::sourceDir() + "/dstrb");
  ::mkdir((prog() + "/csv").c_str(), 0755);
  for (bool sameUser : {true, false}) {
    SCOPED_TRACE(sameUser ? "the program started twice" : "a batch on the CSV folder");
    reset();
    messages.messages.clear();
    InstanceLock instance;
    FolderLock batch;
    ASSERT_TRUE(sameUser ? instance.acquire(prog()) : batch.acquire(prog() + "/csv"));
    RecordingWindows windows;
    EXPECT_EQ(Main(*state, &windows), ExitStatus::AlreadyRunning);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "すでに「TAVRIX」は起動されています。");
    EXPECT_EQ(messages.messages[0].style, MessageStyle::Exclamation);
    EXPECT_FALSE(paths::directoryExists(prog() + "/log"));
    EXPECT_TRUE(windows.calls.empty());
  }
}

// The batch holds the CSV folder until its end banner, not while its window stays open.
TEST_F(MainBatchTest, TheBatchLockIsFreeOnceTheWindowShowsTheList) {
  test::writeProgramIni(prog(), "", test::sourceDir() + "/dstrb");
  ::mkdir((prog() + "/csv").c_str(), 0755);
  struct Listing : RecordingWindows {
    bool showMainAndWait(RunState& s) override {
      FolderLock during;
      heldWhileImporting = !during.acquire(csv);
      return RecordingWindows::showMainAndWait(s);
    }
    bool fillList(RunState& s) override {
      FolderLock after;
      freeForTheList = after.acquire(csv) && after.held();
      return RecordingWindows::fillList(s);
    }
    std::string csv;
    bool heldWhileImporting = false, freeForTheList = false;
  } windows;
  windows.csv = prog() + "/csv";
  EXPECT_EQ(Main(*state, &windows), ExitStatus::Ok);
  EXPECT_TRUE(windows.heldWhileImporting);
  EXPECT_TRUE(windows.freeForTheList);
}

// A work database left half-written by a run that died is replaced.
TEST_F(MainBatchTest, UpdateOnlyRunBuildsTheDatabaseAndLogsFromStartToEnd) {
  test::writeProgramIni(prog(), "updateonly", test::sourceDir() + "/dstrb");
  ::mkdir((prog() + "/csv").c_str(), 0755);
  test::writeFile(prog() + "/db/@Tavrix.mdb", "half-written work database from a run that died\n");
  RecordingWindows windows;
  Main(*state, &windows);

  std::vector<std::string> expected = {prog() + "/save/ ディレクトリを作成しました。"};
  for (auto& l : banner("Tavrix処理を開始します。  ")) expected.push_back(l);
  expected.push_back(prog() + "/db/@Tavrix.mdbを " + prog() + "/db/Tavrix.mdbへコピーしました。");
  for (auto& l : banner("Tavrix CSV取込処理を終了しました。 ")) expected.push_back(l);
  EXPECT_EQ(log(), expected);
  EXPECT_TRUE(windows.calls.empty());
  EXPECT_TRUE(messages.messages.empty()) << messages.texts()[0];
  EXPECT_EQ(*paths::listFiles(prog() + "/db", "*"), (std::vector<std::string>{"Tavrix.mdb"}));
  EXPECT_EQ(test::queryRows(prog() + "/db/Tavrix.mdb",
                            "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name GLOB 'T_*'"),
            std::vector<std::string>{"13"});
  EXPECT_FALSE(state->DbOpen);

  // A second run finds the database and reads no script.
  reset();
  Main(*state, &windows);
  std::vector<std::string> second = banner("Tavrix処理を開始します。  ");
  for (auto& l : banner("Tavrix CSV取込処理を終了しました。 ")) second.push_back(l);
  EXPECT_EQ(log(), second);
}

TEST_F(MainBatchTest, NoScriptsNoDatabaseKeepsTheCsvFilesForTheNextRun) {
  ::mkdir((prog() + "/empty").c_str(), 0755);
  test::writeProgramIni(prog(), "", "*\\empty");
  test::writeFile(prog() + "/csv/PC01.csv", "0,1,x,x,2.1,2004/10/24 10:30\r\n");
  RecordingWindows windows;
  EXPECT_EQ(Main(*state, &windows), ExitStatus::ConfigurationError);

  const std::vector<std::string> lines = log();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "の コピーができません。"), lines.end());
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("Cant DB Open " + std::string("/")); }), 2);
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "PC01.csv を取り込めませんでした（unable to open database file (" + prog() +
                          "/db/Tavrix.mdb)）。CSVフォルダに残し、次回取り込みます。"),
            lines.end());
  // One box for the one cause, though the import and the list both meet it.
  EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Cant DB Open "}));
  EXPECT_FALSE(paths::fileExists(prog() + "/save/20261205/PC01.csv"));
  EXPECT_TRUE(paths::fileExists(prog() + "/csv/PC01.csv"));
  // Windowed steps in order; the list is tried although the database cannot be opened.
  EXPECT_EQ(windows.calls, (std::vector<std::string>{"show", "closeWait", "list dbOpen=0"}));
}

TEST_F(MainBatchTest, WindowedRunListsWithTheConnectionOpenAndClosesItAfter) {
  test::writeProgramIni(prog(), "", test::sourceDir() + "/dstrb");
  ::mkdir((prog() + "/csv").c_str(), 0755);
  RecordingWindows windows;
  Main(*state, &windows);
  EXPECT_EQ(windows.calls, (std::vector<std::string>{"show", "closeWait", "list dbOpen=1"}));
  EXPECT_FALSE(state->DbOpen);

  reset();
  windows.calls.clear();
  windows.listFails = true;
  Main(*state, &windows);
  EXPECT_TRUE(state->DbOpen);  // left open after a failed list
}

TEST_F(MainBatchTest, EnvironmentAndScriptFailuresEndTheBatchWithoutEndBanner) {
  // A script folder that cannot be listed ends the batch after the start banner.
  test::writeProgramIni(prog(), "UPDATEONLY", "*\\nowhere");
  Main(*state, nullptr);
  const std::vector<std::string> lines = log();
  ASSERT_EQ(lines.size(), 5u);  // save folder created, start banner, the listing failure
  EXPECT_EQ(lines[4].rfind("取り込み用(.SQL/.SQU)ファイルのカウント処理中にエラーが発生しました。(", 0), 0u);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Tavrix CSV取込処理を終了しました。 "), 0);
}

// Settings that would lose or misplace files stop the batch before any file is touched: one
// message, one log line, exit status 3; the CSV stays and no database, save folder or work file
// appears. A UTF-16 ini is no such error.
TEST_F(MainBatchTest, ConfigurationErrorsStopBeforeAnyFileIsTouched) {
  const std::string dstrb = test::sourceDir() + "/dstrb";
  const std::string full = "LOG_DIR=*\\log\r\nLOG_FILE=run.log\r\nMDB_DIR=*\\db\r\nMDB_NAME=Tavrix.mdb\r\nCSV_DIR=*\\csv\r\n"
                           "DSTRB_DIR=" + dstrb + "\r\nRUNMODE=UPDATEONLY\r\nCSV_SAVE_DIR=*\\save\r\n";
  const struct {
    const char* name;
    std::string ini;     // "" writes no ini at all
    std::string logFile; // where the message is logged
    std::string message; // with <p> for the program folder
    bool emptyDatabase = false;  // a zero-length MDB_NAME file lies in the database folder
  } cases[] = {
      {"no folder keys", "LOG_DIR=*\\log\r\nLOG_FILE=run.log\r\nMDB_NAME=Tavrix.mdb\r\nRUNMODE=UPDATEONLY\r\n", "log/run.log",
       "設定エラー: <p>/Tavrix.ini に MDB_DIR, CSV_DIR, DSTRB_DIR, CSV_SAVE_DIR の指定がありません。処理を中止します。"},
      {"no ini", "", "Tavrix.log",
       "設定エラー: <p>/Tavrix.ini（ファイルがありません） に LOG_DIR, LOG_FILE, MDB_DIR, MDB_NAME, CSV_DIR, DSTRB_DIR, "
       "CSV_SAVE_DIR の指定がありません。処理を中止します。"},
      {"database name not the scripts'", text::replaceAll(full, "MDB_NAME=Tavrix.mdb", "MDB_NAME=Other.mdb"), "log/run.log",
       "設定エラー: MDB_NAME（Other.mdb）とスクリプトの MDBNAME（Tavrix.mdb）が違います。処理を中止します。"},
      {"database name not the scripts', an empty database file in its place",
       text::replaceAll(full, "MDB_NAME=Tavrix.mdb", "MDB_NAME=Other.mdb"), "log/run.log",
       "設定エラー: MDB_NAME（Other.mdb）とスクリプトの MDBNAME（Tavrix.mdb）が違います。処理を中止します。", true},
      {"CSV folder inside the save folder", text::replaceAll(full, "CSV_DIR=*\\csv", "CSV_DIR=*\\save\\20261205"),
       "log/run.log", "設定エラー: CSV_DIR（<p>/save/20261205/）が CSV_SAVE_DIR（<p>/save/）と同じか、その中にあります。処理を中止します。"},
      {"a watch rule that does not read", full + "[Watch]\r\nPROGRAM_ADDED=*\r\nDISK_FREE_BELOW=ten\r\n", "log/run.log",
       "設定エラー: <p>/Tavrix.ini の [Watch] の DISK_FREE_BELOW（ten）が読めません（1 から 99 の整数で書いてください）。処理を中止します。"},
      {"CSV folder is the save folder", text::replaceAll(full, "CSV_SAVE_DIR=*\\save", "CSV_SAVE_DIR=*/csv/./"),
       "log/run.log", "設定エラー: CSV_DIR（<p>/csv/）が CSV_SAVE_DIR（<p>/csv/./）と同じか、その中にあります。処理を中止します。"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(prog());
    std::filesystem::create_directories(prog());
    reset();
    messages.messages.clear();
    if (!c.ini.empty()) writeIni(c.ini);
    const std::string csv = c.name == std::string("CSV folder inside the save folder") ? "/save/20261205/PC01.csv" : "/csv/PC01.csv";
    test::writeFile(prog() + csv, "0,1,x,x,2.1,2004/10/24 10:30\r\n");
    if (c.emptyDatabase) test::writeFile(prog() + "/db/Other.mdb", "");
    EXPECT_EQ(Main(*state, nullptr), ExitStatus::ConfigurationError) << c.name;
    const std::string message = text::replaceAll(c.message, "<p>", prog());
    EXPECT_EQ(messages.texts(), std::vector<std::string>{message}) << c.name;
    std::vector<std::string> logged = test::logMessages(prog() + "/" + c.logFile);
    EXPECT_EQ(std::count(logged.begin(), logged.end(), message), 1) << c.name;
    EXPECT_EQ(test::readFile(prog() + csv), "0,1,x,x,2.1,2004/10/24 10:30\r\n") << c.name;
    EXPECT_EQ(test::folderNames(prog() + "/db"), c.emptyDatabase ? std::vector<std::string>{"Other.mdb"}
                                                                   : std::vector<std::string>{}) << c.name;
    if (csv == "/csv/PC01.csv") {
      EXPECT_FALSE(std::filesystem::exists(prog() + "/save")) << c.name;
    }
  }

  // A CSV folder whose name only begins with the save folder's lies beside it, not inside.
  std::filesystem::remove_all(prog());
  reset();
  writeIni(text::replaceAll(full, "CSV_DIR=*\\csv", "CSV_DIR=*\\save2"));
  test::writeFile(prog() + "/save2/PC01.csv", "0,1,x,x,2.1,2004/10/24 10:30\r\n");
  EXPECT_EQ(Main(*state, nullptr), ExitStatus::Ok);
  EXPECT_TRUE(paths::fileExists(prog() + "/save/20261205/PC01.csv"));

  // The same settings saved as UTF-16 run the batch.
  std::filesystem::remove_all(prog());
  reset();
  std::string utf16 = "\xFF\xFE";
  for (char c : "[Tavrix Section]\r\n" + full) utf16 += std::string{c, '\0'};
  test::writeFile(prog() + "/Tavrix.ini", utf16);
  test::writeFile(prog() + "/csv/PC01.csv", "0,1,x,x,2.1,2004/10/24 10:30\r\n");
  EXPECT_EQ(Main(*state, nullptr), ExitStatus::Ok);
  EXPECT_TRUE(paths::fileExists(prog() + "/save/20261205/PC01.csv"));
}

// Scripts may name other databases on the way (a header line beginning with "Use", such as a
// comment "Users ...", names one too): those work databases are made, and only the name the
// last script ends with must be MDB_NAME.
TEST_F(MainBatchTest, ScriptsNamingOtherDatabasesOnTheWayStillBuildTheInventoryDatabase) {
  const std::string scripts = prog() + "/dstrb";
  std::filesystem::copy(test::sourceDir() + "/dstrb", scripts);
  auto prepend = [&](const std::string& file, const std::string& header) {
    test::writeFile(scripts + "/" + file, test::cp932(header) + test::readFile(scripts + "/" + file));
  };
  prepend("01_T_BasicInf.sql", "Users table of the computers\r\n");
  prepend("05_T_Printer.sql", "MDBNAME Scratch.mdb\r\n");
  test::writeProgramIni(prog(), "UPDATEONLY", scripts);
  test::writeFile(prog() + "/csv/PC01.csv", "0,1,x,x,2.1,2004/10/24 10:30\r\n");
  EXPECT_EQ(Main(*state, nullptr), ExitStatus::Ok);
  EXPECT_EQ(test::folderNames(prog() + "/db"), (std::vector<std::string>{"@Scratch.mdb", "@s", "Tavrix.mdb"}));
  EXPECT_EQ(test::queryRows(prog() + "/db/Tavrix.mdb", "SELECT PCid FROM T_BasicInf"), std::vector<std::string>{"PC01"});
}

}  // namespace
}  // namespace tavrix
