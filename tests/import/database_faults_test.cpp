// Whole runs against a database that fails: held by another writer, read-only, full, broken, short of
// a table, refusing one row. Every CSV is either committed and saved, or still in the CSV folder
// byte for byte; one cause gives one message; the exit status says what happened.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "platform/paths.h"
#include "tests/import/import_fixture.h"

namespace tavrix::test {
namespace {

using Lines = std::vector<std::string>;

constexpr int kOk = 0, kNotAll = 1, kFailed = 3;

class DatabaseFaults : public ImportFixture {
 protected:
  // What breaks "nothing lost" since the CSV folder was remembered: a CSV that is neither in the CSV
  // folder unchanged nor saved unchanged (in the day's save folder or a time folder of it) with its
  // computer in T_BasicInf.
  Lines lost() const {
    Lines found;
    for (const auto& [name, bytes] : waiting) {
      const std::string pcid = name.substr(0, name.find('.'));
      bool saved = readFile(saveDir() + "/" + name) == bytes;
      for (const auto& sub : folderNames(saveDir()))
        saved = saved || readFile(saveDir() + "/" + sub + "/" + name) == bytes;
      if (paths::fileExists(csvDir() + "/" + name)) {
        if (readFile(csvDir() + "/" + name) != bytes) found.push_back(name + " changed in the CSV folder");
      } else if (!saved) {
        found.push_back(name + " is gone");
      } else if (queryRows(dbPath(), "SELECT count(*) FROM T_BasicInf WHERE PCid = '" + pcid + "'")[0] != "1") {
        found.push_back(name + " saved but not imported");
      }
    }
    return found;
  }
  std::size_t logged(const std::string& part) const {
    const Lines lines = log();
    return std::count_if(lines.begin(), lines.end(), [&](const auto& l) { return l.find(part) != std::string::npos; });
  }
  void writeComputers(int from, int to, int padding = 0) {
    for (int i = from; i <= to; ++i) writeFile(csvDir() + "/PC" + std::to_string(100 + i) + ".csv", inventory("P", padding));
  }
  // The batch on the CSV folder as it is now, remembered for lost(). In a child process when asked,
  // with a file-size limit (bytes, 0 for none) and as the user "nobody" when asked, so that file
  // permissions hold even for a test run by root. Returns the exit status; boxes gets the messages.
  int run(bool inChild = false, rlim_t fileSizeLimit = 0, bool asNobody = false) {
    waiting.clear();
    for (const auto& name : folderNames(csvDir())) waiting[name] = readFile(csvDir() + "/" + name);
    messages.messages.clear();
    if (!inChild) {
      runBatchOnce();
      boxes = messages.texts();
      return static_cast<int>(exitStatusOf(lastRun()));
    }
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
      if (entry.is_directory()) std::filesystem::permissions(entry.path(), std::filesystem::perms::all);
    pid_t child = fork();
    if (child == 0) {
      if (asNobody && getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
      if (fileSizeLimit) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{fileSizeLimit, fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
      }
      runBatchOnce();
      std::string shown;
      for (const auto& text : messages.texts()) shown += text + "\n";
      writeFile(dir.file("boxes.txt"), shown);
      _exit(static_cast<int>(exitStatusOf(lastRun())));
    }
    int status = 0;
    waitpid(child, &status, 0);
    boxes = readLines(dir.file("boxes.txt"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // The last run ended with status, left exactly these files in the CSV folder and showed these boxes.
  void expectRun(int status, int ended, const Lines& left, const Lines& shown, const std::string& name = "") {
    EXPECT_EQ(ended, status) << name;
    EXPECT_EQ(folderNames(csvDir()), left) << name;
    EXPECT_EQ(boxes, shown) << name;
    EXPECT_EQ(lost(), Lines{}) << name;
    EXPECT_EQ(invariantViolations(dbPath()), Lines{}) << name;
  }

  std::map<std::string, std::string> waiting;
  Lines boxes;
};

TEST_F(DatabaseFaults, AWriterHoldingTheDatabaseKeepsEveryFileForTheNextRun) {
  writeComputers(1, 2);
  ASSERT_EQ(run(), kOk);
  writeComputers(3, 5);
  {
    db::Connection other;
    other.open(dbPath());
    other.begin();  // held past the busy timeout
    busyTimeoutMs = 200;
    expectRun(kFailed, run(), {"PC103.csv", "PC104.csv", "PC105.csv"}, {"database is locked"});
  }
  EXPECT_EQ(logged("を取り込めませんでした"), 3u);
  EXPECT_EQ(logged(" 取込を終了しました。"), 0u);
  expectRun(kOk, run(), {}, {});
  EXPECT_EQ(queryRows(dbPath(), "SELECT count(*) FROM T_BasicInf")[0], "5");
}

TEST_F(DatabaseFaults, AReadOnlyDatabaseIsOneCantDbOpenAndNoFileMoves) {
  writeComputers(1, 1);
  ASSERT_EQ(run(), kOk);
  writeComputers(2, 3);
  ASSERT_EQ(::chmod(dbPath().c_str(), 0444), 0);
  ASSERT_EQ(::chmod(dir.file("db").c_str(), 0555), 0);
  expectRun(kFailed, run(true, 0, true), {"PC102.csv", "PC103.csv"}, {"Cant DB Open "});
  EXPECT_EQ(logged("Cant DB Open " + dbPath()), 1u);
}

TEST_F(DatabaseFaults, AFullDiskStopsTheImportAndKeepsWhatDidNotCommit) {
  writeComputers(1, 1);
  ASSERT_EQ(run(), kOk);
  writeComputers(2, 40, 400);  // about 20 KB of rows each
  const auto size = static_cast<rlim_t>(std::filesystem::file_size(dbPath()));
  EXPECT_EQ(run(true, size + 200 * 1024), kFailed);
  EXPECT_EQ(lost(), Lines{});
  EXPECT_EQ(invariantViolations(dbPath()), Lines{});
  const std::size_t left = folderNames(csvDir()).size();
  EXPECT_GT(left, 0u);
  EXPECT_LT(left, 39u) << "nothing committed before the disk was full";
  EXPECT_EQ(boxes.size(), 1u) << "one box for the cause, however many files it kept";
  EXPECT_EQ(logged("を取り込めませんでした"), left);
}

TEST_F(DatabaseFaults, BrokenDatabaseFiles) {
  const struct {
    const char* name;
    std::string bytes;           // the database file before the run
    const char* sqlAfterBuild;   // or: a real database changed by this statement
    int status;
    std::string logged;          // part of the line that says why
  } cases[] = {
      {"zero length: built again", "", nullptr, kOk, dbPath() + " は空のファイルです。スクリプトから作り直します。"},
      {"not a database", std::string(8192, 'x'), nullptr, kFailed, "Cant DB Open " + dbPath() + " (file is not a database)"},
      {"a table missing", {}, "DROP TABLE T_Drive", kFailed, "Cant DB Open " + dbPath() + " (the database lacks T_Drive)"},
      {"a field missing", {}, "ALTER TABLE T_Printer DROP COLUMN PrinterName", kFailed,
       "(the database lacks T_Printer.PrinterName)"},
  };
  for (const auto& c : cases) {
    for (const char* folder : {"db", "save", "csv"}) std::filesystem::remove_all(dir.file(folder));
    std::filesystem::create_directories(csvDir());
    if (c.sqlAfterBuild) {
      ASSERT_EQ(run(), kOk);
      db::Connection broken;
      broken.openPlain(dbPath());
      broken.executeNative(c.sqlAfterBuild);
    } else {
      writeFile(dbPath(), c.bytes);
    }
    writeComputers(1, 2);
    const std::string before = readFile(dbPath());
    const int status = run();
    EXPECT_EQ(logged(c.logged), 1u) << c.name << ": " << c.logged;
    if (c.status == kOk) {
      expectRun(kOk, status, {}, {}, c.name);
    } else {
      EXPECT_EQ(status, c.status) << c.name;
      EXPECT_EQ(boxes, Lines{"Cant DB Open "}) << c.name;
      EXPECT_EQ(folderNames(csvDir()), (Lines{"PC101.csv", "PC102.csv"})) << c.name;
      EXPECT_EQ(lost(), Lines{}) << c.name;
      if (!c.sqlAfterBuild) {
        EXPECT_EQ(readFile(dbPath()), before) << c.name << ": the file was changed";
      }
    }
  }
}

// A statement that fails partway through a file rolls the whole file back: the computer keeps its
// earlier snapshot, the file stays, and the files after it import as usual.
TEST_F(DatabaseFaults, ARefusedRowKeepsTheEarlierSnapshotWhole) {
  const struct {
    const char* name;
    const char* trigger;
    std::string cause;
  } cases[] = {
      {"a detail row", "CREATE TRIGGER refuse BEFORE INSERT ON T_Printer WHEN NEW.PrinterName = 'NEW' "
                       "BEGIN SELECT RAISE(ABORT, 'printer refused'); END",
       "printer refused"},
      {"the basic row", "CREATE TRIGGER refuse BEFORE INSERT ON T_BasicInf WHEN NEW.PCid = 'PC01' "
                        "BEGIN SELECT RAISE(ABORT, 'basic row refused'); END",
       "basic row refused"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(dir.file("db"));
    std::filesystem::remove_all(dir.file("save"));
    writeFile(csvDir() + "/PC01.csv", inventory("OLD"));
    writeFile(csvDir() + "/PC00.csv", inventory("P0"));
    ASSERT_EQ(run(), kOk);
    {
      db::Connection c2;
      c2.openPlain(dbPath());
      c2.executeNative(c.trigger);
    }
    // PC00 first: its new RNO is what a row of PC01 would wrongly take if the basic row failed.
    writeFile(csvDir() + "/PC00.csv", inventory("P0-2"));
    writeFile(csvDir() + "/PC01.csv", inventory("NEW", 50));
    writeFile(csvDir() + "/PC02.csv", inventory("P2"));
    expectRun(kNotAll, run(), {"PC01.csv"}, {c.cause}, c.name);
    EXPECT_EQ(tableRows(dbPath(), "T_Printer"),
              (Lines{"PC00: PrinterT=プリンタ PrinterName=P0-2", "PC01: PrinterT=プリンタ PrinterName=OLD",
                     "PC02: PrinterT=プリンタ PrinterName=P2"}))
        << c.name;
    EXPECT_EQ(queryRows(dbPath(), "SELECT RNO FROM T_BasicInf WHERE PCid = 'PC01'"), Lines{"2"}) << c.name;
    EXPECT_EQ(queryRows(dbPath(), "SELECT count(*) FROM T_ApplInst"), Lines{"0"}) << c.name;
    EXPECT_EQ(logged("PC01.csv を取り込めませんでした（" + c.cause + "）"), 1u) << c.name;
  }
}

}  // namespace
}  // namespace tavrix::test
