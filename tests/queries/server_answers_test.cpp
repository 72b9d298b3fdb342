// tavrix-report on a database file and on a server database that imported the same files: every
// command answers with the same bytes.
#include <filesystem>

#include "tests/queries/fleet_fixture.h"
#include "tests/support/server_database.h"
#include "tools/samples.h"

namespace tavrix::test {
namespace {

class ServerAnswers : public ImportFixture {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(onServer.file("csv"));
    writeFile(onServer.file("Tavrix.ini"),
              "[Tavrix Section]\r\nLOG_DIR=*\\log\r\nLOG_FILE=run.log\r\nCSV_DIR=*\\csv\r\nDSTRB_DIR=" + sourceDir() +
                  "/dstrb\r\nRUNMODE=UPDATEONLY\r\nCSV_SAVE_DIR=*\\save\r\nFLEET_COUNTS=ON\r\nDB_SERVER=" + server.connectionString() + "\r\n");
    for (const std::string& folder : {csvDir(), onServer.file("csv")}) {
      samples::writeFleet(folder, 25, 11);
      // Names that differ in case only, ties, tabs, quotes and Japanese text.
      writeInventory(folder, {"PC01.csv", "2004/10/24 09:05:30", "alpha", "山田", "Windows XP",
                              {"1,9,プリンタ,㈱本社 複合機①", "1,10,アプリケーション,Office 2003,11.0",
                               "1,10,アプリケーション,office 2003,11.5", "1,10,アプリケーション,秀丸エディタ,7.10",
                               "1,10,アプリケーション,Office 2003,11.0", "3,1,Windows Update,KB100,一回目",
                               "3,1,Windows Update,kb100,二回目", "3,1,Windows Update,KB200,",
                               "1,7,ドライブ,C,HDD,,,,,", "1,7,ドライブ,c,HDD,,,,,", "1,7,ドライブ,C,CD,,,,,"}});
      writeInventory(folder, {"pc02.csv", "2026/12/01 10:00:00", "Alpha", "abe", "Windows 2000",
                              {"1,10,アプリケーション,OFFICE 2003,11.0", "1,10,アプリケーション,Media Player,",
                               "1,10,アプリケーション,Viewer", "3,1,Windows Update,KB200,x"}});
      writeInventory(folder, {"q\"t,x y.csv", "1900/01/01 00:00:00", "tab\there", "", "OS",
                              {"1,10,アプリケーション,Tab\tApp \"Q\",1.0"}});
    }
    runBatchOnce();
    ASSERT_TRUE(messages.messages.empty()) << messages.texts()[0];
    RunState onServerRun(messages, clock);
    onServerRun.ProgramFolder = onServer.path();
    runBatch(onServerRun, nullptr);
    ASSERT_TRUE(messages.messages.empty()) << messages.texts()[0];
  }
  ProgramRun onFile(const std::string& args) { return runReport(dir, "--db '" + dbPath() + "' " + args); }
  ProgramRun onServerDb(const std::string& args) { return runReport(dir, "--db '" + server.connectionString() + "' " + args); }

  ServerDatabase server;
  TempDir onServer;
};

TEST_F(ServerAnswers, EveryCommandAnswersWithTheSameBytes) {
  std::vector<std::string> commands = {
      "list", "--format json list", "--format csv list", "list --filter alpha", "list --older-than 30",
      "software", "software office", "--format json software", "software '_'", "updates", "updates kb1",
      "search office", "search 山田", "search 'c:'", "search 'OFFICE 2'", "search 秀丸エ", "search 'ice 20'",
      "search 'PC0000'", "search 'office 2003 11.0'", "overview", "--format json overview", "computers --software 'office 2003'",
      "computers --software 'Office 2003' --version 11.0", "computers --without-software 'office 2003'",
      "computers --without-software 'Office 2003' --version 11.0", "computers --update kb200", "computers --missing-update KB200"};
  for (int rno = 1; rno <= 28; ++rno) commands.push_back("tree " + std::to_string(rno));
  for (const std::string& command : commands) {
    SCOPED_TRACE(command);
    const ProgramRun file = onFile(command), server = onServerDb(command);
    EXPECT_EQ(server.status, file.status) << server.err;
    EXPECT_EQ(server.err, file.err);
    EXPECT_EQ(server.out, file.out);
    // A LIKE wildcard is plain text (no program has "_"), and two fields side by side are not one text.
    if (command != "software '_'" && command != "search 'office 2003 11.0'") {
      EXPECT_FALSE(file.out.empty());
    }
  }
  // The server's summaries were kept by its batch; a program added by another program makes them
  // stale, and the answers stay the file's.
  EXPECT_EQ(server.rows("SELECT \"Kept\" FROM \"TavrixSummaryState\""), std::vector<std::string>{"1"});
  const std::vector<std::string> summaries = {"software", "updates", "software office", "overview"};
  server.rows("INSERT INTO \"T_ApplInst\" (\"RNO\", \"PCid\", \"Appl\", \"Version\") VALUES (1, 'PC00001', 'Outsider', '1.0')");
  EXPECT_EQ(server.rows("SELECT \"Kept\" FROM \"TavrixSummaryState\""), std::vector<std::string>{"0"});
  {
    db::Connection c;
    c.open(db::Location(dbPath()));
    c.execute("INSERT INTO T_ApplInst (RNO, PCid, Appl, Version) VALUES (1, 'PC00001', 'Outsider', '1.0')");
  }
  for (const std::string& command : summaries) {
    SCOPED_TRACE(command + ", after an outside write");
    EXPECT_EQ(onServerDb(command).out, onFile(command).out);
  }
  EXPECT_NE(onFile("software").out.find("Outsider"), std::string::npos);
  // A role that may only read is enough to answer.
  server.rows("DO $$ BEGIN CREATE ROLE tavrix_reader LOGIN; EXCEPTION WHEN duplicate_object THEN NULL; END $$;"
              "GRANT SELECT ON ALL TABLES IN SCHEMA public TO tavrix_reader");
  const ProgramRun reader = runReport(dir, "--db '" + server.connectionString() + " user=tavrix_reader' tree 26");
  EXPECT_EQ(reader.err, onFile("tree 26").err);
  EXPECT_EQ(reader.out, onFile("tree 26").out);
}

}  // namespace
}  // namespace tavrix::test
