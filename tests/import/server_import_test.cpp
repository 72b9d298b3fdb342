// The same inventories imported into a database file and into a server database give the same
// rows, numbers included; one import at a time writes a server database, whichever folder it
// comes from.
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "queries/fleet_search.h"
#include "searchindex/search_index_reader.h"
#include "tools/samples.h"
#include "tests/import/import_fixture.h"
#include "tests/support/server_database.h"

namespace tavrix::test {
namespace {

using Lines = std::vector<std::string>;

class ServerImport : public ImportFixture {
 protected:
  ServerImport() {
    std::filesystem::create_directories(onServer.file("csv"));
    writeServerIni(server.connectionString());
  }
  void writeServerIni(const std::string& connection) {
    writeFile(onServer.file("Tavrix.ini"),
              "[Tavrix Section]\r\nLOG_DIR=*\\log\r\nLOG_FILE=run.log\r\nCSV_DIR=*\\csv\r\nDSTRB_DIR=" + sourceDir() +
                  "/dstrb\r\nRUNMODE=UPDATEONLY\r\nCSV_SAVE_DIR=*\\save\r\nDB_SERVER=" + connection + "\r\n");
  }
  // The batch on the server's program folder.
  RunState& runOnServer(ImportProgress* progress = nullptr) {
    serverRun = std::make_unique<RunState>(messages, clock);
    serverRun->ProgramFolder = onServer.path();
    serverRun->Progress = progress;
    serverRun->DbBusyTimeoutMs = busyTimeoutMs;
    runBatch(*serverRun, nullptr);
    return *serverRun;
  }
  // Both folders get the same files.
  void deliver(const std::string& name, const std::string& bytes) {
    writeFile(csvDir() + "/" + name, bytes);
    writeFile(onServer.file("csv/" + name), bytes);
  }
  static db::Location locationOf(const std::string& connection) {
    db::ServerStringProblem problem;
    return db::serverLocation(connection, problem).value();
  }
  db::Location serverLocation() const { return locationOf(server.connectionString()); }
  // The server's search index answers for each part, with the same rows as reading every table.
  void expectIndexAnswersAsTheScan(const std::vector<std::string>& parts) {
    db::Connection c;
    c.openReadOnly(serverLocation());
    for (const std::string& part : parts) {
      {
        db::ReadTransaction state(c);
        EXPECT_TRUE(searchindex::searchCandidates(c, searchindex::searchedTables(c), part).has_value()) << part;
      }
      const auto fastest = queries::searchInventory(c, queries::SearchText(part)), scanned = queries::searchInventory(c, queries::SearchText(part), queries::SearchWay::Scan);
      EXPECT_EQ(fastest.rows, scanned.rows) << part;
      EXPECT_FALSE(fastest.rows.empty()) << part;
    }
  }
  ServerDatabase server;
  TempDir onServer;
  std::unique_ptr<RunState> serverRun;
};

TEST_F(ServerImport, TheSameFilesGiveTheSameRowsAndNumbersOnBoth) {
  // Day one: a generated fleet, and texts COPY must escape (tabs, backslashes, line ends' look-alikes).
  samples::writeFleet(csvDir(), 40, 7);
  samples::writeFleet(onServer.file("csv"), 40, 7);
  deliver("PCX.csv", cp932("0,1,x,x,2.1,2004/10/24 10:30\r\n1,1,Name,tab\there\r\n1,6,デバイス,C:\\Windows\\n\\N\r\n"
                           "1,10,アプリ,\\\\server\\share,1.0\r\n"));
  runBatchOnce();
  RunState& first = runOnServer();
  EXPECT_FALSE(first.BatchFailed);
  // Day two: some computers again (one under its name in other case, so the same computer), and a
  // file that fails alone.
  for (int i : {3, 5, 40}) deliver(samples::pcIdOf(i) + ".csv", cp932(samples::makeComputer(8, i).text));
  deliver("pcx.csv", cp932("0,1,x,x,2.1,2026/12/04 08:00\r\n1,1,Name,again\r\n"));
  deliver("PC99999.csv", "");
  runBatchOnce();
  RunState& second = runOnServer();
  EXPECT_EQ(second.CsvOutcomes, lastRun().CsvOutcomes);

  db::Connection file, onServerDb;
  file.openReadOnly(dbPath());
  onServerDb.openReadOnly(serverLocation());
  const Lines rows = everyRow(file);
  ASSERT_GT(rows.size(), 1000u);
  EXPECT_EQ(everyRow(onServerDb), rows);
  EXPECT_EQ(onServerDb.lastNumberGiven("T_BasicInf"), file.lastNumberGiven("T_BasicInf"));
  EXPECT_EQ(rowsOf(onServerDb, "SELECT RNO, ComputerName FROM T_BasicInf WHERE PCid = 'PCX'"), Lines{"45|again"});
  // The server's statistics were brought up to date after the import.
  EXPECT_EQ(server.rows("SELECT last_analyze IS NOT NULL FROM pg_stat_user_tables WHERE relname = 'T_ApplInst'"), Lines{"t"});
  // Nothing is made beside a server: no database folder; the CSVs went to the save folder.
  EXPECT_FALSE(std::filesystem::exists(onServer.file("db")));
  EXPECT_FALSE(std::filesystem::exists(onServer.file("csv/PC00003.csv")));
  EXPECT_TRUE(std::filesystem::exists(onServer.file("save/" + clock.now().compactDay() + "/PC00003.csv")));
}

// A batch from another folder (another machine) holds the server's import lock: this one touches
// nothing and says so as for a second instance.
TEST_F(ServerImport, ASecondBatchOnTheSameServerTouchesNothing) {
  deliver("PC01.csv", cp932("0,1,x,x,2.1,2004/10/24 10:30\r\n1,1,Name,PC-01\r\n"));
  db::ImportLock other;
  ASSERT_TRUE(other.acquire(serverLocation()));
  const RunState& held = runOnServer();
  EXPECT_TRUE(held.BatchHeldElsewhere);
  EXPECT_EQ(messages.texts(), Lines{"すでに「TAVRIX」は起動されています。"});
  EXPECT_EQ(folderNames(onServer.path()), (Lines{"Tavrix.ini", "csv"}));
  EXPECT_EQ(server.rows("SELECT count(*) FROM pg_tables WHERE schemaname = 'public'"), Lines{"0"});
  other.release();
  EXPECT_FALSE(runOnServer().BatchHeldElsewhere);  // the lock goes with its session
  EXPECT_EQ(server.rows(R"(SELECT "PCid" FROM "T_BasicInf")"), Lines{"PC01"});
}

// A server that does not answer keeps every CSV where it was, with one message; once it answers,
// the next run imports them.
TEST_F(ServerImport, AServerDownKeepsEveryCsvForTheNextRun) {
  deliver("PC01.csv", cp932("0,1,x,x,2.1,2004/10/24 10:30\r\n1,1,Name,PC-01\r\n"));
  deliver("PC02.csv", cp932("0,1,x,x,2.1,2004/10/24 10:30\r\n1,1,Name,PC-02\r\n"));
  writeServerIni(server.connectionString() + " port=1");  // nothing listens there
  const RunState& down = runOnServer();
  EXPECT_TRUE(down.BatchFailed);
  ASSERT_EQ(messages.texts(), Lines{"Cant DB Open "});
  const Lines log = logMessages(onServer.file("log/run.log"));
  EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.starts_with("Cant DB Open "); }), 1);
  EXPECT_EQ(folderNames(onServer.file("csv")), (Lines{"PC01.csv", "PC02.csv"}));

  messages.messages.clear();
  writeServerIni(server.connectionString());
  EXPECT_FALSE(runOnServer().BatchFailed);
  EXPECT_EQ(messages.texts(), Lines{});
  EXPECT_EQ(folderNames(onServer.file("csv")), Lines{});
  EXPECT_EQ(server.rows(R"(SELECT "RNO", "PCid", "ComputerName" FROM "T_BasicInf" ORDER BY "RNO")"),
            (Lines{"1|PC01|PC-01", "2|PC02|PC-02"}));
}

// Acts as file `at` of the list starts.
class ActAt : public ImportProgress {
 public:
  ActAt(int at, std::function<void()> act) : at_(at), act_(std::move(act)) {}
  void fileStarted(int index, int, const std::string&) override {
    if (index == at_) act_();
  }

 private:
  int at_;
  std::function<void()> act_;
};

// The batch's connections cut by the server (an administrator, a restart) in the middle: the files
// of the transaction it was writing, that file and the rest stay for the next run.
TEST_F(ServerImport, ALostConnectionKeepsThatFileAndTheRestForTheNextRun) {
  for (int i = 1; i <= 5; ++i)
    deliver("PC0" + std::to_string(i) + ".csv", cp932("0,1,x,x,2.1,2004/10/24 10:30\r\n1,1,Name,PC-0" + std::to_string(i) + "\r\n"));
  ActAt cut(3, [&] {
    server.rows("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = current_database() AND pid <> pg_backend_pid()");
  });
  EXPECT_TRUE(runOnServer(&cut).BatchFailed);
  EXPECT_EQ(folderNames(onServer.file("csv")), (Lines{"PC01.csv", "PC02.csv", "PC03.csv", "PC04.csv", "PC05.csv"}));
  EXPECT_EQ(server.rows(R"(SELECT count(*) FROM "T_BasicInf")"), Lines{"0"});
  EXPECT_EQ(messages.texts(), Lines{"the server database " + serverLocation().shown() +
                                    ": terminating connection due to administrator command"});

  messages.messages.clear();
  EXPECT_FALSE(runOnServer().BatchFailed);
  EXPECT_EQ(folderNames(onServer.file("csv")), Lines{});
  EXPECT_EQ(server.rows(R"(SELECT "PCid" FROM "T_BasicInf" ORDER BY "RNO")"), (Lines{"PC01", "PC02", "PC03", "PC04", "PC05"}));
}

// A restart of the server between two files ends the batch's session: that file and the rest stay
// for the next run, which imports them once the server is back.
TEST_F(ServerImport, AServerRestartKeepsThatFileAndTheRestForTheNextRun) {
  TempDir own;
  OwnServer restarting(own.file("pg"));
  writeServerIni(restarting.connectionString());
  for (int i = 1; i <= 4; ++i)
    deliver("PC0" + std::to_string(i) + ".csv", cp932("0,1,x,x,2.1,2004/10/24 10:30\r\n1,1,Name,PC-0" + std::to_string(i) + "\r\n"));
  ActAt restart(3, [&] { restarting.restart(); });
  EXPECT_TRUE(runOnServer(&restart).BatchFailed);
  EXPECT_EQ(folderNames(onServer.file("csv")), (Lines{"PC01.csv", "PC02.csv", "PC03.csv", "PC04.csv"}));
  ASSERT_EQ(messages.texts().size(), 1u);
  const std::string shown = locationOf(restarting.connectionString()).shown();
  EXPECT_TRUE(messages.texts()[0].starts_with("the server database " + shown + ": ")) << messages.texts()[0];

  messages.messages.clear();
  EXPECT_FALSE(runOnServer().BatchFailed);
  EXPECT_EQ(messages.texts(), Lines{});
  EXPECT_EQ(folderNames(onServer.file("csv")), Lines{});
  EXPECT_EQ(folderNames(onServer.file("save/" + clock.now().compactDay())),
            (Lines{"PC01.csv", "PC02.csv", "PC03.csv", "PC04.csv"}));
}

// A small file system of its own, mounted while the object lives (root only).
class SmallDisk {
 public:
  explicit SmallDisk(std::string folder) : folder_(std::move(folder)) {
    std::filesystem::create_directories(folder_);
    mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=48m,mode=0755") == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  void grow() { ASSERT_EQ(::mount("tmpfs", folder_.c_str(), "tmpfs", MS_REMOUNT, "size=512m,mode=0755"), 0); }

 private:
  std::string folder_;
  bool mounted_ = false;
};

// The server's disk full in the middle of a batch: the file that met it and the rest stay, every
// saved file is committed and every committed one saved; with room again the next run imports them.
TEST_F(ServerImport, AFullServerDiskKeepsEveryUncommittedCsv) {
  TempDir own;
  SmallDisk disk(own.file("disk"));
  if (!disk.mounted()) GTEST_SKIP() << "no small file system for the server: mounting one needs root";
  OwnServer starved(own.file("disk/pg"));
  writeServerIni(starved.connectionString());
  constexpr int kComputers = 100;  // more than the disk holds beside a new cluster
  samples::writeFleet(onServer.file("csv"), kComputers, 3);
  EXPECT_TRUE(runOnServer().BatchFailed);
  ASSERT_FALSE(messages.texts().empty());
  const std::string shown = locationOf(starved.connectionString()).shown();
  EXPECT_TRUE(messages.texts()[0].starts_with("the server database " + shown + ": ")) << messages.texts()[0];

  disk.grow();
  starved.restart();  // a server that stopped at the full disk comes back
  db::Connection reader;
  reader.openReadOnly(locationOf(starved.connectionString()));
  Lines committed = rowsOf(reader, "SELECT PCid || '.csv' FROM T_BasicInf ORDER BY PCid");
  reader.close();
  const std::string saved = onServer.file("save/" + clock.now().compactDay());
  const Lines left = folderNames(onServer.file("csv"));
  EXPECT_FALSE(left.empty());
  EXPECT_EQ(folderNames(saved), committed);
  EXPECT_EQ(left.size() + committed.size(), static_cast<std::size_t>(kComputers));

  messages.messages.clear();
  EXPECT_FALSE(runOnServer().BatchFailed);
  EXPECT_EQ(messages.texts(), Lines{});
  EXPECT_EQ(folderNames(onServer.file("csv")), Lines{});
  EXPECT_EQ(folderNames(saved).size(), static_cast<std::size_t>(kComputers));
}

// A role that must give its password: a wrong one in the password file is refused with one message
// and log line naming the server, never the password, and every CSV stays; the right one imports.
TEST_F(ServerImport, AWrongPasswordKeepsEveryCsvAndIsNeverShown) {
  const std::string role = server.name() + "_importer";
  server.rows("CREATE ROLE " + role + " LOGIN PASSWORD 'Right-Secret' IN ROLE tavrix_password_users;"
              "GRANT ALL ON SCHEMA public TO " + role);
  deliver("PC01.csv", cp932("0,1,x,x,2.1,2004/10/24 10:30\r\n1,1,Name,PC-01\r\n"));
  const std::string passwords = onServer.file("pgpass");
  const auto usePassword = [&](const std::string& password) {
    writeFile(passwords, "*:*:*:" + role + ":" + password + "\n");
    std::filesystem::permissions(passwords, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  };
  usePassword("Wrong-Secret");
  writeServerIni(server.connectionString() + " user=" + role + " passfile=" + passwords);
  EXPECT_TRUE(runOnServer().BatchFailed);
  EXPECT_EQ(messages.texts(), Lines{"Cant DB Open "});
  const std::string log = readFile(onServer.file("log/run.log"));
  const std::string line = "Cant DB Open " + serverLocation().shown() + " (cannot reach the server: ";
  EXPECT_NE(log.find(line), std::string::npos) << log;
  EXPECT_NE(log.find("password authentication failed for user"), std::string::npos) << log;
  EXPECT_EQ(log.find("Secret"), std::string::npos) << log;
  EXPECT_EQ(folderNames(onServer.file("csv")), Lines{"PC01.csv"});

  messages.messages.clear();
  usePassword("Right-Secret");
  EXPECT_FALSE(runOnServer().BatchFailed);
  EXPECT_EQ(messages.texts(), Lines{});
  EXPECT_EQ(folderNames(onServer.file("csv")), Lines{});
  EXPECT_EQ(server.rows(R"(SELECT "PCid" FROM "T_BasicInf")"), Lines{"PC01"});
  server.rows("DROP OWNED BY " + role + "; DROP ROLE " + role);
}

// A table another session holds makes the batch wait as long as it waits for a file's writer, then
// keep every file; once the table is free the next run imports them.
TEST_F(ServerImport, ATableHeldByAnotherSessionKeepsTheFilesForTheNextRun) {
  runOnServer();  // the tables
  deliver("PC01.csv", cp932("0,1,x,x,2.1,2004/10/24 10:30\r\n1,1,Name,PC-01\r\n"));
  deliver("PC02.csv", cp932("0,1,x,x,2.1,2004/10/24 10:30\r\n1,1,Name,PC-02\r\n"));
  db::Connection holder;
  holder.open(serverLocation());
  holder.begin();
  holder.executeNative(R"(LOCK TABLE "T_BasicInf" IN ACCESS EXCLUSIVE MODE)");
  busyTimeoutMs = 300;
  EXPECT_TRUE(runOnServer().BatchFailed);
  EXPECT_EQ(folderNames(onServer.file("csv")), (Lines{"PC01.csv", "PC02.csv"}));
  EXPECT_EQ(messages.texts(), Lines{"the server database " + serverLocation().shown() + ": canceling statement due to lock timeout"});
  holder.rollback();

  messages.messages.clear();
  EXPECT_FALSE(runOnServer().BatchFailed);
  EXPECT_EQ(folderNames(onServer.file("csv")), Lines{});
  EXPECT_EQ(server.rows(R"(SELECT "PCid" FROM "T_BasicInf" ORDER BY "RNO")"), (Lines{"PC01", "PC02"}));
}

// Files share a transaction on a server, each in a savepoint: one the server refuses, at its own
// statement or at the transaction's commit, stays alone for the next run; the others are imported,
// a computer twice in one transaction included, with none of the refused file's rows.
TEST_F(ServerImport, AFileTheServerRefusesStaysAloneAndTheOthersOfItsTransactionAreImported) {
  struct Case {
    const char* refusedAt;
    const char* trigger;
  };
  for (const Case& c : {Case{"its own statement", R"(BEFORE UPDATE ON "T_BasicInf")"},
                        Case{"the commit", R"(BEFORE INSERT ON "T_ApplInst")"}}) {
    SCOPED_TRACE(c.refusedAt);
    server.rows(R"(DROP TABLE IF EXISTS "T_BasicInf", "T_ApplInst", "T_Device", "T_Drive", "T_NIC", "T_Printer", "T_Service",)"
                R"( "T_StartUp", "T_Users", "T_Video", "T_WinUpdate", "T_WinUpdRegCheck", tavrix_counters CASCADE)");
    runOnServer();  // the tables
    server.rows("CREATE OR REPLACE FUNCTION refuse_pc03() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN"
                " IF NEW.\"PCid\" = 'PC03' THEN RAISE EXCEPTION 'PC03 refused'; END IF; RETURN NEW; END $$;"
                "CREATE TRIGGER refuse " + std::string(c.trigger) + " FOR EACH ROW EXECUTE FUNCTION refuse_pc03()");
    for (const char* name : {"PC01", "PC02", "PC03", "PC04", "pc02.b"})
      deliver(std::string(name) + ".csv", cp932("0,1,x,x,2.1,2004/10/24 10:30\r\n1,1,Name," + std::string(name) +
                                                "\r\n1,10,アプリ," + name + ",1.0\r\n"));
    messages.messages.clear();
    runOnServer();
    EXPECT_EQ(messages.texts(), Lines{"PC03 refused"});
    EXPECT_EQ(folderNames(onServer.file("csv")), Lines{"PC03.csv"});
    EXPECT_EQ(server.rows(R"(SELECT "PCid" FROM "T_BasicInf" ORDER BY "PCid")"), (Lines{"PC01", "PC04", "pc02"}));
    EXPECT_EQ(server.rows(R"(SELECT "PCid", "Appl" FROM "T_ApplInst" ORDER BY "PCid")"),
              (Lines{"PC01|PC01", "PC04|PC04", "pc02|pc02.b"}));
    // The texts of the files tried again alone are the index's; the refused file's are not.
    expectIndexAnswersAsTheScan({"pc02.b", "PC04"});

    server.rows(R"(DROP TRIGGER refuse ON )" + std::string(c.trigger).substr(std::string(c.trigger).find('"')));
    messages.messages.clear();
    EXPECT_FALSE(runOnServer().BatchFailed);
    EXPECT_EQ(server.rows(R"(SELECT count(*) FROM "T_ApplInst" WHERE "PCid" = 'PC03')"), Lines{"1"});
  }
}

// kill -9 of a batch into a server, while importing or while saving: every CSV whole in exactly one
// of the two folders, every saved one committed, and the next run completes.
TEST_F(ServerImport, AKilledBatchLeavesEveryCsvWholeAndTheNextRunCompletes) {
  constexpr int kComputers = 60;
  constexpr int kFilesPerTransaction = 50;  // the server engine's
  const samples::FleetSummary fleet = samples::writeFleet(onServer.file("csv"), kComputers, 5);
  const auto runKilled = [&](int at, bool saving) {
    KillAt progress(at, saving);
    const pid_t child = fork();
    if (child == 0) {
      runOnServer(&progress);
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status);
  };
  const auto computers = [&] { return server.rows(R"(SELECT count(*) FROM "T_BasicInf")")[0]; };
  for (int at : {2, 57}) {
    ASSERT_TRUE(runKilled(at, false)) << "the batch ended before it was killed at " << at;
    EXPECT_EQ(computers(), std::to_string((at - 1) / kFilesPerTransaction * kFilesPerTransaction)) << at;
    EXPECT_EQ(folderNames(onServer.file("csv")).size(), static_cast<std::size_t>(kComputers)) << at;
  }
  ASSERT_TRUE(runKilled(12, true)) << "the batch ended before it was killed while saving";
  EXPECT_EQ(computers(), std::to_string(kComputers));
  const std::string saved = onServer.file("save/" + clock.now().compactDay());
  Lines everywhere = folderNames(onServer.file("csv")), moved = folderNames(saved);
  EXPECT_EQ(moved.size(), 12u);
  everywhere.insert(everywhere.end(), moved.begin(), moved.end());
  std::sort(everywhere.begin(), everywhere.end());
  EXPECT_EQ(std::adjacent_find(everywhere.begin(), everywhere.end()), everywhere.end()) << "a file in both folders";
  EXPECT_EQ(everywhere.size(), static_cast<std::size_t>(kComputers));
  EXPECT_EQ(readFile(saved + "/PC00001.csv"), cp932(samples::makeComputer(5, 1).text));

  EXPECT_FALSE(runOnServer().BatchFailed);
  EXPECT_EQ(folderNames(onServer.file("csv")), Lines{});
  EXPECT_EQ(folderNames(saved).size(), static_cast<std::size_t>(kComputers));
  for (const std::string& table : kTables)
    EXPECT_EQ(server.rows("SELECT count(*) FROM \"" + table + "\"")[0], std::to_string(fleet.rows.at(table))) << table;
  EXPECT_EQ(messages.texts(), Lines{});
  expectIndexAnswersAsTheScan({"PC00050", "pc000"});  // made whole by the last run
}

}  // namespace
}  // namespace tavrix::test
