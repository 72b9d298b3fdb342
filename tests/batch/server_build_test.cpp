// The batch with its inventory on the suite's server: the tables built from the delivered scripts
// in one transaction, never over a database that holds some of them, and nothing left of a build
// that failed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "run/main_batch.h"
#include "tests/batch/batch_fixture.h"
#include "tests/support/server_database.h"

namespace tavrix {
namespace {

using Lines = std::vector<std::string>;

class ServerBuild : public test::BatchFixture {
 protected:
  void SetUp() override { std::filesystem::create_directories(dir.path() + "/csv"); }
  ExitStatus run(const std::string& dstrb) {
    writeIni("LOG_DIR=*\\log\r\nLOG_FILE=run.log\r\nMDB_DIR=*\\db\r\nMDB_NAME=Tavrix.mdb\r\nCSV_DIR=*\\csv\r\nDSTRB_DIR=" +
             dstrb + "\r\nRUNMODE=UPDATEONLY\r\nCSV_SAVE_DIR=*\\save\r\nDB_SERVER=" + server.connectionString() + "\r\n");
    reset();
    messages.messages.clear();
    return Main(*state, nullptr);
  }
  Lines log() const { return test::logMessages(dir.path() + "/log/run.log"); }
  std::size_t logged(const std::string& line) const {
    const Lines lines = log();
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
  }
  Lines tables() const {
    return server.rows("SELECT tablename FROM pg_tables WHERE schemaname = 'public' ORDER BY tablename");
  }
  std::string shown() const { return test::serverSocketFolder() + ":5432/" + server.name(); }

  test::ServerDatabase server;
};

const Lines kBuilt = {"T_ApplInst", "T_BasicInf", "T_Device", "T_Drive", "T_NIC", "T_Printer", "T_Service", "T_StartUp",
                      "T_Users", "T_Version", "T_Video", "T_WinUpdRegCheck", "T_WinUpdate", "TavrixBatch",
                      "TavrixSearchChunk", "TavrixSearchState", "TavrixSearchText", "tavrix_counters"};

TEST_F(ServerBuild, AnEmptyDatabaseGetsTheScriptsTablesOnceAndNoFileIsMade) {
  const std::string dstrb = test::sourceDir() + "/dstrb";
  EXPECT_EQ(run(dstrb), ExitStatus::Ok) << test::readFile(dir.path() + "/log/run.log");
  EXPECT_EQ(tables(), kBuilt);
  EXPECT_EQ(server.rows(R"(SELECT "VERSION", "REVISION", "VLDATA", "RLSDATE" FROM "T_Version")"),
            Lines{"1|0|Tavrix 1.0|2026-12-01 00:00:00"});
  EXPECT_EQ(server.rows(R"(SELECT format_type(atttypid, atttypmod), attnotnull FROM pg_attribute
                           WHERE attrelid = '"T_BasicInf"'::regclass AND attname IN ('RNO', 'PCid', 'CreateDate', 'OSVersionID')
                           ORDER BY attnum)"),
            (Lines{"integer|t", "text|f", "timestamp(0) without time zone|f", "integer|f"}));
  EXPECT_EQ(logged(shown() + " に在庫の表をスクリプトから作りました。"), 1u);
  EXPECT_EQ(messages.messages.size(), 0u);
  // The import's look-ups: PCid without regard to case, and each detail table's RNO.
  EXPECT_EQ(server.rows("SELECT indexdef FROM pg_indexes WHERE indexname = 'IX_T_BasicInf_PCid'"),
            Lines{R"(CREATE INDEX "IX_T_BasicInf_PCid" ON public."T_BasicInf" USING btree (lower("PCid")))"});
  EXPECT_EQ(server.rows("SELECT count(*) FROM pg_indexes WHERE indexname LIKE 'IX\\_T\\_%\\_RNO'"), Lines{"11"});
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/db"));

  EXPECT_EQ(run(dstrb), ExitStatus::Ok);  // built once: the second run finds every table
  EXPECT_EQ(logged(shown() + " に在庫の表をスクリプトから作りました。"), 0u);
  EXPECT_EQ(tables(), kBuilt);
}

TEST_F(ServerBuild, ADatabaseWithSomeInventoryTablesIsNeverBuiltOver) {
  server.rows(R"(CREATE TABLE "T_BasicInf" ("RNO" integer); CREATE TABLE "T_Drive" ("RNO" integer))");
  EXPECT_EQ(run(test::sourceDir() + "/dstrb"), ExitStatus::ConfigurationError);
  const std::string message = "設定エラー: " + shown() +
                              " のデータベースには在庫の表の一部（T_BasicInf, T_Drive）しかありません（ない表: T_ApplInst, "
                              "T_Device, T_NIC, T_Printer, T_Service, T_StartUp, T_Users, T_Video, T_WinUpdate, "
                              "T_WinUpdRegCheck）。スクリプトで作り直さずに処理を中止します。";
  EXPECT_EQ(messages.texts(), Lines{message});
  EXPECT_EQ(logged(message), 1u);
  EXPECT_EQ(tables(), (Lines{"T_BasicInf", "T_Drive"}));
}

// A script that fails part way leaves none of the tables the scripts before it made.
TEST_F(ServerBuild, AFailedBuildLeavesNothing) {
  const std::string dstrb = dir.path() + "/dstrb";
  std::filesystem::copy(test::sourceDir() + "/dstrb", dstrb);
  test::writeFile(dstrb + "/05_T_Printer.sql", "MDBNAME Tavrix.mdb\r\nCREATE TABLE T_Printer (PCid TEXT(255));\r\n");
  EXPECT_EQ(run(dstrb), ExitStatus::ConfigurationError);
  EXPECT_EQ(logged("取り込み用(05_T_Printer.sql)に[TABLENAME]の指定がありません。"), 1u);
  EXPECT_EQ(logged(shown() + " に在庫の表を作れませんでした。何も残さずに処理を中止します。"), 1u);
  EXPECT_EQ(tables(), Lines{});
}

}  // namespace
}  // namespace tavrix
