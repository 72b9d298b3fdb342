// tavrix --copy-to: a database file copied into an empty server database gives the same rows,
// numbers and answers, and the next import numbers on from where the file stood; a database that
// holds inventory tables is never written.
#include <cstdio>
#include <filesystem>

#include "run/copy_to_server.h"
#include "tests/import/import_fixture.h"
#include "tests/support/server_database.h"
#include "tools/samples.h"

namespace tavrix::test {
namespace {

using Lines = std::vector<std::string>;

class CopyToServer : public ImportFixture {
 protected:
  ExitStatus copy(const std::string& connection) {
    RunState s(messages, clock);
    s.ProgramFolder = dir.path();
    std::FILE* progress = std::tmpfile();
    const ExitStatus status = copyToServer(s, connection, progress);
    std::rewind(progress);
    char line[256];
    copied.clear();
    while (std::fgets(line, sizeof line, progress)) copied.emplace_back(line);
    std::fclose(progress);
    return status;
  }
  db::Location serverLocation() const {
    db::ServerStringProblem problem;
    return db::serverLocation(server.connectionString(), problem).value();
  }
  ServerDatabase server;
  Lines copied;  // the progress lines
};

TEST_F(CopyToServer, TheFileArrivesWholeAndTheNextImportNumbersOn) {
  samples::writeFleet(csvDir(), 12, 3);
  runBatchOnce();
  {
    db::Connection file;  // the last snapshot deleted: its number must not be given again
    file.open(dbPath());
    file.execute("DELETE FROM T_ApplInst WHERE RNO = 12");
    file.execute("DELETE FROM T_BasicInf WHERE RNO = 12");
  }
  ASSERT_EQ(copy(server.connectionString()), ExitStatus::Ok) << (messages.texts().empty() ? "" : messages.texts()[0]);
  EXPECT_EQ(messages.texts(), Lines{});
  EXPECT_EQ(copied.size(), 15u);  // twelve inventory tables, T_Version, the batches' record, and the closing line
  std::vector<std::string> tables = kTables;
  tables.push_back("T_Version");
  db::Connection file, onServer;
  file.openReadOnly(dbPath());
  onServer.openReadOnly(serverLocation());
  EXPECT_EQ(everyRow(onServer, tables), everyRow(file, tables));
  EXPECT_EQ(onServer.lastNumberGiven("T_BasicInf"), 12);
  EXPECT_EQ(server.rows("SELECT count(*) FROM pg_indexes WHERE indexname = 'IX_T_BasicInf_PCid'"), Lines{"1"});
  file.close();
  onServer.close();

  // Switched over: the next file takes the number after the file's last, as the file would give it.
  writeFile(dir.file("Tavrix.ini"), readFile(dir.file("Tavrix.ini")) + "DB_SERVER=" + server.connectionString() + "\r\n");
  writeFile(csvDir() + "/PC77.csv", cp932("0,1,x,x,2.1,2004/10/24 10:30\r\n1,1,Name,PC-77\r\n"));
  runBatchOnce();
  EXPECT_EQ(server.rows(R"(SELECT "RNO" FROM "T_BasicInf" WHERE "PCid" = 'PC77')"), Lines{"13"});

  // A database that holds inventory tables already is never written again.
  const Lines before = server.rows(R"(SELECT count(*) FROM "T_ApplInst")");
  EXPECT_EQ(copy(server.connectionString()), ExitStatus::ConfigurationError);
  ASSERT_EQ(messages.texts().size(), 1u);
  EXPECT_TRUE(messages.texts()[0].find("holds inventory tables already") != std::string::npos) << messages.texts()[0];
  EXPECT_EQ(server.rows(R"(SELECT count(*) FROM "T_ApplInst")"), before);
}

TEST_F(CopyToServer, APasswordOrAMissingFileCopiesNothing) {
  const struct {
    const char* name;
    std::string connection;
    std::string message;
  } cases[] = {
      {"a password", "host=dbhost password=s3cret dbname=x",
       "the connection string carries a password: put it in libpq's password file (~/.pgpass or PGPASSFILE)"},
      {"no database file", server.connectionString(), "cannot read database " + dbPath() + ": "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    messages.messages.clear();
    EXPECT_EQ(copy(c.connection), ExitStatus::ConfigurationError);
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(messages.texts()[0].substr(0, c.message.size()), c.message);
    EXPECT_EQ(messages.texts()[0].find("s3cret"), std::string::npos);
    EXPECT_EQ(server.rows("SELECT count(*) FROM pg_tables WHERE schemaname = 'public'"), Lines{"0"});
  }
}

}  // namespace
}  // namespace tavrix::test
