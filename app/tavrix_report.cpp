// tavrix-report: the computer list and a computer's detail tree as plain text, for use without a display.
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "batch/run_state.h"
#include "batch/settings.h"
#include "platform/clock.h"
#include "platform/db.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "ui/detail/detail_load.h"
#include "ui/main/computer_list.h"

namespace {

using namespace tavrix;

constexpr int kFailed = 1;
constexpr int kUsage = 2;

struct Options {
  std::string database;  // "" = from Tavrix.ini
  std::string command;   // "list" or "tree"
  int rno = 0;
};

int usage(const std::string& problem) {
  std::fprintf(stderr,
               "tavrix-report: %s\n"
               "usage: tavrix-report [--db FILE] list\n"
               "       tavrix-report [--db FILE] tree RNO\n",
               problem.c_str());
  return kUsage;
}

int failure(const std::string& text) {
  std::fprintf(stderr, "tavrix-report: %s\n", text.c_str());
  return kFailed;
}

bool parseRno(std::string_view text, int& rno) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), rno);
  return ec == std::errc() && end == text.data() + text.size();
}

// Returns "" when the arguments are usable, else what is wrong with them.
std::string parseOptions(const std::vector<std::string>& args, Options& o) {
  std::size_t i = 0;
  if (i < args.size() && args[i] == "--db") {
    if (i + 1 >= args.size() || args[i + 1].empty()) return "--db needs a database file";
    o.database = args[i + 1];
    i += 2;
  }
  if (i >= args.size()) return "no command given";
  o.command = args[i++];
  if (o.command == "list") return i == args.size() ? "" : "list takes no argument";
  if (o.command != "tree") return "unknown command \"" + o.command + "\"";
  if (i + 1 != args.size()) return "tree needs one RNO";
  if (!parseRno(args[i], o.rno)) return "RNO must be a whole number, not \"" + args[i] + "\"";
  return "";
}

// The database named by --db, or MDB_DIR + MDB_NAME of Tavrix.ini beside the program.
bool findDatabase(RunState& s, const Options& o, std::string& path, std::string& problem) {
  if (!o.database.empty()) {
    path = o.database;
    return true;
  }
  s.IniPath = s.ProgramFolder + "/Tavrix.ini";
  if (!paths::fileExists(s.IniPath)) {
    problem = "no --db given and no Tavrix.ini beside the program (" + s.IniPath + ")";
    return false;
  }
  if (F_READ_INI(s)) {
    problem = "cannot read " + s.IniPath;
    return false;
  }
  if (s.MDB_NAME.empty()) {
    problem = "Tavrix.ini names no database (MDB_NAME is empty): " + s.IniPath;
    return false;
  }
  path = s.MDB_DIR + s.MDB_NAME;
  return true;
}

void writeOut(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

int printList(RunState& s) {
  std::string out;
  for (const ComputerListRow& row : readComputerList(s)) {
    for (std::size_t i = 0; i < row.size(); ++i) out += (i ? "\t" : "") + row[i];
    out += '\n';
  }
  writeOut(out);
  return 0;
}

int printTree(RunState& s, int rno, const std::string& path) {
  {
    db::ReadOnlyRecordSet probe(s.DbConnection, "SELECT RNO FROM T_BasicInf where RNO=" + std::to_string(rno));
    if (probe.eof()) return failure("no computer with RNO " + std::to_string(rno) + " in " + path);
  }
  s.CurrentRno = rno;
  // Lines left out by a key clash have already gone to standard error through the sink.
  writeOut(loadDetailTree(s).displayText());
  return 0;
}

int run(const Options& o) {
  StderrMessageSink sink;
  SystemClock clock;
  RunState s(sink, clock);
  s.ProgramFolder = paths::programFolder();

  std::string path, problem;
  if (!findDatabase(s, o, path, problem)) return failure(problem);
  if (!paths::fileExists(path)) return failure("database not found: " + path);
  try {
    s.DbConnection.open(path);
    s.DbOpen = true;
    return o.command == "list" ? printList(s) : printTree(s, o.rno, path);
  } catch (const std::exception& e) {
    return failure("cannot read database " + path + ": " + e.what());
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  Options options;
  std::string problem = parseOptions(args, options);
  if (!problem.empty()) return usage(problem);
  return run(options);
}
