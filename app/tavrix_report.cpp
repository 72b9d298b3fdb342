// tavrix-report: the computer list, a computer's detail tree, the fleet questions and the computers'
// history as text, for use without a display. The database and the kept inventories are only read:
// no file is ever created or changed.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/report_commands.h"
#include "app/report_options.h"
#include "batch/database.h"
#include "batch/run_state.h"
#include "batch/settings.h"
#include "platform/clock.h"
#include "platform/db.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "queries/read_one_state.h"

namespace {

using namespace tavrix;

constexpr int kUsage = 2;

int usage(const std::string& problem) {
  std::fprintf(stderr, "tavrix-report: %s\n%s", problem.c_str(), report::usageText());
  return kUsage;
}

// Tavrix.ini beside the program read into s; false with problem set when it is missing or unreadable.
// given names the option that would have made it unnecessary.
bool readIni(RunState& s, const std::string& given, std::string& problem) {
  s.IniPath = s.ProgramFolder + "/Tavrix.ini";
  if (!paths::fileExists(s.IniPath)) {
    problem = "no " + given + " given and no Tavrix.ini beside the program (" + s.IniPath + ")";
    return false;
  }
  if (F_READ_INI(s)) {
    problem = "cannot read " + s.IniPath;
    return false;
  }
  return true;
}

// What an option names for a command, or else Tavrix.ini beside the program under its key.
struct Named {
  const char* option;
  const char* iniKey;
  const char* what;
};
constexpr Named kDatabase{"--db", "MDB_NAME", "database"};
constexpr Named kSaveFolder{"--save", "CSV_SAVE_DIR", "save folder"};

// given when the option gave it, else what Tavrix.ini names; false with problem set when neither does.
bool findNamed(RunState& s, const Named& named, const std::string& given, std::string& found, std::string& problem) {
  if (!given.empty()) {
    found = given;
    return true;
  }
  if (!readIni(s, named.option, problem)) return false;
  for (const std::string& key : s.MissingIniKeys)
    if (key == named.iniKey) {
      problem = std::string("Tavrix.ini names no ") + named.what + " (" + named.iniKey + " is empty): " + s.IniPath;
      return false;
    }
  found = named.iniKey != kDatabase.iniKey ? s.CSV_SAVE_DIR : !s.DB_SERVER.empty() ? s.DB_SERVER : databaseLocation(s).filePath();
  return true;
}

// The database a --db value or the ini's setting names: a file, or a server's connection string
// that carries no password. False with problem set otherwise; the problem never quotes the string.
bool locate(const std::string& named, db::Location& location, std::string& problem) {
  if (!db::namesServer(named)) {
    location = db::Location(named);
    return true;
  }
  db::ServerStringProblem why;
  if (auto server = db::serverLocation(named, why)) {
    location = *server;
    return true;
  }
  problem = why == db::ServerStringProblem::Password
                ? "the connection string carries a password: put it in libpq's password file (~/.pgpass or PGPASSFILE)"
                : "the connection string cannot be read";
  return false;
}

int runHistory(RunState& s, const report::Options& o) {
  std::string folder, problem, out;
  if (!findNamed(s, kSaveFolder, o.saveFolder, folder, problem)) return report::failure(problem);
  const int status = report::runHistoryCommand(o, folder, out);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return status;
}

// The digest is read from the log folder Tavrix.ini names.
int runDigest(RunState& s, const report::Options& o) {
  std::string problem, out;
  if (!readIni(s, "log folder", problem)) return report::failure(problem);
  const int status = report::runDigestCommand(o, s.LOG_DIR, s.Watch.mailTo, out);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return status;
}

int run(const report::Options& o) {
  StderrMessageSink sink;
  SystemClock clock;
  RunState s(sink, clock);
  s.ProgramFolder = paths::programFolder();
  if (report::readsSaveFolder(o.command)) return runHistory(s, o);
  if (o.command == report::Command::Digest) return runDigest(s, o);

  std::string named, problem;
  if (!findNamed(s, kDatabase, o.database, named, problem)) return report::failure(problem);
  db::Location database;
  if (!locate(named, database, problem)) return usage(problem);
  const std::string& shown = database.shown();
  if (!database.isServer() && !paths::fileExists(database.filePath())) {
    const int error = errno;  // why the file could not be seen: missing, or a folder closed to this user
    if (error == EACCES) return report::failure("cannot read database " + shown + " (" + std::strerror(error) + ")");
    return report::failure("database not found: " + shown);
  }
  try {
    std::string out;
    const int status = queries::readOneState(s.DbConnection, database, [&](db::Connection&) {
      out.clear();
      s.DbOpen = true;
      const int answered = report::runCommand(s, o, shown, out);
      s.DbOpen = false;
      return answered;
    });
    std::fwrite(out.data(), 1, out.size(), stdout);
    return status;
  } catch (const std::exception& e) {
    return report::failure("cannot read database " + shown + ": " + e.what());
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  report::Options options;
  std::string problem = report::parseOptions(args, options);
  if (!problem.empty()) return usage(problem);
  if (options.help) {
    std::fputs(report::usageText(), stdout);
    return 0;
  }
  return run(options);
}
