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

std::string inventory(const std::string& printer, int padding = 0) {
  std::string body = "0,1,x,x,2.1,2004/10/24 10:30\r\n1,6,デバイス,D1\r\n1,9,プリンタ," + printer + "\r\n";
  for (int i = 0; i < padding; ++i) body += "1,10,アプリ,アプリケーション" + std::to_string(i) + ",1.0\r\n";
  return cp932(body);
}

class DatabaseFaults : public ImportFixture {
 protected:
  // The CSV folder as it is now, to check a run against.
  void remember() {
    waiting.clear();
    for (const auto& name : folderNames(csvDir())) waiting[name] = readFile(csvDir() + "/" + name);
  }
  // What breaks "nothing lost": a CSV that is neither in the CSV folder unchanged nor saved
  // unchanged with its computer in T_BasicInf.
  Lines lost() const {
    Lines found;
    for (const auto& [name, bytes] : waiting) {
      std::string pcid = name.substr(0, name.find('.'));
      if (paths::fileExists(csvDir() + "/" + name)) {
        if (readFile(csvDir() + "/" + name) != bytes) found.push_back(name + " changed in the CSV folder");
      } else if (!savedUnchanged(name, bytes)) {
        found.push_back(name + " is gone");
      } else if (queryRows(dbPath(), "SELECT count(*) FROM T_BasicInf WHERE PCid = '" + pcid + "'")[0] != "1") {
        found.push_back(name + " saved but not imported");
      }
    }
    return found;
  }
  // In the day's save folder, or in one of its time folders (a second delivery of the day).
  bool savedUnchanged(const std::string& name, const std::string& bytes) const {
    if (paths::fileExists(saveDir() + "/" + name) && readFile(saveDir() + "/" + name) == bytes) return true;
    for (const auto& sub : folderNames(saveDir()))
      if (paths::fileExists(saveDir() + "/" + sub + "/" + name) && readFile(saveDir() + "/" + sub + "/" + name) == bytes)
        return true;
    return false;
  }
  Lines logWith(const std::string& part) const {
    Lines found;
    for (const auto& line : log())
      if (line.find(part) != std::string::npos) found.push_back(line);
    return found;
  }
  void writeComputers(int from, int to, int padding = 0) {
    for (int i = from; i <= to; ++i) writeFile(csvDir() + "/PC" + std::to_string(100 + i) + ".csv", inventory("P", padding));
  }
  // The batch in a child process, with a file-size limit (bytes, 0 for none) and as the user
  // "nobody" when asked, so that file permissions hold even for a test run by root. Returns the
  // exit status; the child's message boxes come back through a file.
  int runInChild(rlim_t fileSizeLimit, bool asNobody) {
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
      messages.messages.clear();
      runBatchOnce();
      std::string shown;
      for (const auto& text : messages.texts()) shown += text + "\n";
      writeFile(dir.file("boxes.txt"), shown);
      _exit(static_cast<int>(exitStatusOf(lastRun())));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  int run() {
    messages.messages.clear();
    runBatchOnce();
    return static_cast<int>(exitStatusOf(lastRun()));
  }

  std::map<std::string, std::string> waiting;
};

constexpr int kOk = 0, kNotAll = 1, kFailed = 3;

TEST_F(DatabaseFaults, AWriterHoldingTheDatabaseKeepsEveryFileForTheNextRun) {
  writeComputers(1, 2);
  ASSERT_EQ(run(), kOk);
  writeComputers(3, 5);
  remember();
  {
    db::Connection other;
    other.open(dbPath());
    other.begin();  // held past the busy timeout
    busyTimeoutMs = 200;
    EXPECT_EQ(run(), kFailed);
  }
  EXPECT_EQ(folderNames(csvDir()), (Lines{"PC103.csv", "PC104.csv", "PC105.csv"}));
  EXPECT_EQ(lost(), Lines{});
  EXPECT_EQ(messages.texts(), Lines{"database is locked"});
  EXPECT_EQ(logWith("を取り込めませんでした").size(), 3u);
  EXPECT_EQ(logWith(" 取込を終了しました。").size(), 0u);

  EXPECT_EQ(run(), kOk);
  EXPECT_EQ(folderNames(csvDir()), Lines{});
  EXPECT_EQ(lost(), Lines{});
  EXPECT_EQ(queryRows(dbPath(), "SELECT count(*) FROM T_BasicInf")[0], "5");
}

TEST_F(DatabaseFaults, AReadOnlyDatabaseIsOneCantDbOpenAndNoFileMoves) {
  writeComputers(1, 1);
  ASSERT_EQ(run(), kOk);
  writeComputers(2, 3);
  remember();
  ASSERT_EQ(::chmod(dbPath().c_str(), 0444), 0);
  ASSERT_EQ(::chmod(dir.file("db").c_str(), 0555), 0);
  EXPECT_EQ(runInChild(0, true), kFailed);
  EXPECT_EQ(readFile(dir.file("boxes.txt")), "Cant DB Open \n");
  EXPECT_EQ(folderNames(csvDir()), (Lines{"PC102.csv", "PC103.csv"}));
  EXPECT_EQ(lost(), Lines{});
  ASSERT_EQ(logWith("Cant DB Open " + dbPath()).size(), 1u);
}

TEST_F(DatabaseFaults, AFullDiskStopsTheImportAndKeepsWhatDidNotCommit) {
  writeComputers(1, 1);
  ASSERT_EQ(run(), kOk);
  writeComputers(2, 40, 400);  // about 20 KB of rows each
  remember();
  const auto size = static_cast<rlim_t>(std::filesystem::file_size(dbPath()));
  EXPECT_EQ(runInChild(size + 200 * 1024, false), kFailed);
  EXPECT_EQ(lost(), Lines{});
  EXPECT_EQ(invariantViolations(dbPath()), Lines{});
  const std::size_t left = folderNames(csvDir()).size();
  EXPECT_GT(left, 0u);
  EXPECT_LT(left, 39u) << "nothing committed before the disk was full";
  // One box for the cause, however many files it kept.
  const std::string boxes = readFile(dir.file("boxes.txt"));
  EXPECT_EQ(std::count(boxes.begin(), boxes.end(), '\n'), 1) << boxes;
  EXPECT_EQ(logWith("を取り込めませんでした").size(), left);
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
    std::filesystem::remove_all(dir.file("db"));
    std::filesystem::remove_all(dir.file("save"));
    std::filesystem::remove_all(csvDir());
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
    remember();
    const std::string before = readFile(dbPath());
    EXPECT_EQ(run(), c.status) << c.name;
    EXPECT_EQ(logWith(c.logged).size(), 1u) << c.name << ": " << c.logged;
    if (c.status == kOk) {
      EXPECT_EQ(folderNames(csvDir()), Lines{}) << c.name;
      EXPECT_EQ(messages.texts(), Lines{}) << c.name;
    } else {
      EXPECT_EQ(messages.texts(), Lines{"Cant DB Open "}) << c.name;
      EXPECT_EQ(folderNames(csvDir()), (Lines{"PC101.csv", "PC102.csv"})) << c.name;
      if (!c.sqlAfterBuild) {
        EXPECT_EQ(readFile(dbPath()), before) << c.name << ": the file was changed";
      }
    }
    EXPECT_EQ(lost(), Lines{}) << c.name;
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
    remember();
    EXPECT_EQ(run(), kNotAll) << c.name;
    EXPECT_EQ(folderNames(csvDir()), Lines{"PC01.csv"}) << c.name;
    EXPECT_EQ(lost(), Lines{}) << c.name;
    EXPECT_EQ(invariantViolations(dbPath()), Lines{}) << c.name;
    EXPECT_EQ(tableRows(dbPath(), "T_Printer"),
              (Lines{"PC00: PrinterT=プリンタ PrinterName=P0-2", "PC01: PrinterT=プリンタ PrinterName=OLD",
                     "PC02: PrinterT=プリンタ PrinterName=P2"}))
        << c.name;
    EXPECT_EQ(queryRows(dbPath(), "SELECT RNO FROM T_BasicInf WHERE PCid = 'PC01'"), Lines{"2"}) << c.name;
    EXPECT_EQ(queryRows(dbPath(), "SELECT count(*) FROM T_ApplInst"), Lines{"0"}) << c.name;
    EXPECT_EQ(messages.texts(), Lines{c.cause}) << c.name;
    EXPECT_EQ(logWith("PC01.csv を取り込めませんでした（" + c.cause + "）").size(), 1u) << c.name;
  }
}

}  // namespace
}  // namespace tavrix::test
