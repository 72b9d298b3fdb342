// A small fleet imported by the real batch, and running tavrix-report on it as a process.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/datetime.h"
#include "platform/db.h"
#include "tests/import/import_fixture.h"
#include "tests/support/server_database.h"

namespace tavrix::test {

// Runs the built tavrix-report with args (each quoted by the caller as the shell needs).
inline ProgramRun runReport(const TempDir& scratch, const std::string& args, const std::string& prefix = "") {
  return runProgram(scratch, prefix + "'" + binaryDir() + "/app/tavrix-report' " + args);
}

// Runs a copy of tavrix-report made in the folder, beside the Tavrix.ini there.
inline ProgramRun runReportBesideIni(const TempDir& folder, const std::string& args) {
  const std::string copy = folder.file("tavrix-report");
  if (!std::filesystem::exists(copy)) std::filesystem::copy_file(binaryDir() + "/app/tavrix-report", copy);
  return runProgram(folder, "'" + copy + "' " + args);
}

// Yesterday as the collector writes its header date, so the computer is never stale; taken once, so
// the expected rows of a slow run show the very minute that was imported.
inline std::string yesterdayHeaderDate() {
  static const std::string date = [] {
    const auto then = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now() - std::chrono::hours(24));
    char text[32];
    std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", std::localtime(&then));
    return std::string(text);
  }();
  return date;
}

// Four computers: two programs in two versions (one held twice), a case-folded name, NULL and empty
// versions, Japanese text, a drive listed twice, a computer of 1900 without updates whose file name
// holds a quote, a comma and a newline and whose names hold a TAB, and an older record of NULLs with
// the zero date and a program without a version. In a database file, or on the suite's server.
class FleetFixture : public ImportFixture {
 protected:
  virtual bool onServer() const { return false; }
  void SetUp() override {
    if (onServer()) {
      server.emplace();
      writeFile(dir.file("Tavrix.ini"), readFile(dir.file("Tavrix.ini")) + "DB_SERVER=" + server->connectionString() + "\r\n");
    }
    writeInventory(csvDir(), {"PC01.csv", "2004/10/24 09:05:30", "alpha", "山田", "Windows XP",
                              {"1,9,プリンタ,㈱本社 複合機①", "1,10,アプリケーション,Office 2003,11.0",
                               "1,10,アプリケーション,Office 2003,11.5", "1,10,アプリケーション,秀丸エディタ,7.10",
                               "1,10,アプリケーション,Office 2003,11.0", "3,1,Windows Update,KB100,一回目",
                               "3,1,Windows Update,KB100,二回目", "3,1,Windows Update,KB200,"}});
    writeInventory(csvDir(), {"pc02.csv", yesterdayHeaderDate(), "Beta", "abe", "Windows 2000",
                              {"1,10,アプリケーション,OFFICE 2003,11.0", "1,10,アプリケーション,Media Player,",
                               "1,10,アプリケーション,Viewer", "3,1,Windows Update,KB200,x", kDriveC, kDriveC}});
    writeInventory(csvDir(), {"q\"t,x\ny.csv", "1900/01/01 00:00:00", "tab\there", "", "OS",
                              {"1,10,アプリケーション,Tab\tApp \"Q\",1.0"}});
    runBatchOnce();
    ASSERT_TRUE(messages.messages.empty()) << messages.texts()[0];
    db::Connection c;
    c.open(database());
    c.execute("INSERT INTO T_BasicInf (PCid, CreateDate) VALUES ('PC00', '1899-12-30 00:00:00')");
    c.execute("INSERT INTO T_ApplInst (RNO, PCid, Appl) VALUES (4, 'PC00', 'Viewer')");
  }
  static constexpr const char* kDriveC = "1,7,ドライブ,C,HDD,,,,,";  // twice: a key clash in pc02's tree
  // Where the fleet is, as --db names it and as messages show it.
  std::string databaseArgument() const { return server ? server->connectionString() : dbPath(); }
  db::Location database() const {
    db::ServerStringProblem problem;
    return server ? db::serverLocation(server->connectionString(), problem).value() : db::Location(dbPath());
  }
  ProgramRun report(const std::string& args) { return runReport(dir, "--db '" + databaseArgument() + "' " + args); }

  std::optional<ServerDatabase> server;
};

// The same fleet on each engine: the same answers are expected of both.
class FleetOnEachEngine : public FleetFixture, public ::testing::WithParamInterface<bool> {
 protected:
  bool onServer() const override { return GetParam(); }
};

inline std::string engineName(const ::testing::TestParamInfo<bool>& info) { return info.param ? "Server" : "File"; }

}  // namespace tavrix::test
