// The test inventory database, built once from the delivered scripts and copied per test; rows bound as parameters.
#include "tests/views/inventory_db.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "platform/paths.h"
#include "run/main_batch.h"

namespace tavrix::test {
namespace {

// An UPDATEONLY batch with no CSV in folder: the tables built from the delivered scripts, in the
// database file or on the server DB_SERVER names (when not empty).
void buildWithABatch(const TempDir& folder, const std::string& server) {
  writeProgramIni(folder.path(), "UPDATEONLY", sourceDir() + "/dstrb");
  if (!server.empty()) writeFile(folder.file("Tavrix.ini"), readFile(folder.file("Tavrix.ini")) + "DB_SERVER=" + server + "\r\n");
  std::filesystem::create_directories(folder.file("csv"));
  RecordingMessageSink sink;
  FixedClock clock{DateTime{2024, 1, 2, 3, 4, 5}};
  RunState s(sink, clock);
  s.ProgramFolder = folder.path();
  runBatch(s, nullptr);
  if (exitStatusOf(s) != ExitStatus::Ok) throw std::runtime_error("no tables built; see " + folder.file("log/run.log"));
}

// The database file is built once per test run; every InventoryDb on a file copies it.
const std::string& scriptBuiltDatabase() {
  static TempDir dir;
  static const std::string path = [] {
    buildWithABatch(dir, "");
    return dir.file("db/Tavrix.mdb");
  }();
  return path;
}

}  // namespace

std::string blanks(std::string_view pattern) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    std::size_t close = pattern.find('}', i);
    if (pattern[i] != '{' || close == std::string_view::npos) {
      out += pattern[i];
      continue;
    }
    out.append(std::stoul(std::string(pattern.substr(i + 1, close - i - 1))), ' ');
    i = close;
  }
  return out;
}

std::string shown(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) {
    for (std::size_t i = 0; i < line.size();) {
      std::size_t run = std::min(line.find_first_not_of(' ', i), line.size()) - i;
      out += run < 2 ? std::string(1, line[i]) : "{" + std::to_string(run) + "}";
      i += std::max<std::size_t>(run, 1);
    }
    out += '\n';
  }
  return out;
}

InventoryDb::InventoryDb(bool onServer) {
  if (!onServer) {
    std::string error;
    if (!paths::copyFile(scriptBuiltDatabase(), path(), &error)) throw std::runtime_error(error);
    connection_.open(path());
    return;
  }
  server_.emplace();
  buildWithABatch(dir_, server_->connectionString());
  db::ServerStringProblem problem;
  connection_.open(db::serverLocation(server_->connectionString(), problem).value());
}

void InventoryDb::insert(const std::string& table, const Fields& fields) {
  std::string names, marks;
  for (const auto& field : fields) {
    names += (names.empty() ? "" : ",") + db::quoteIdentifier(field.first);
    marks += marks.empty() ? "?" : ",?";
  }
  db::Statement insert(connection_, "INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")");
  for (std::size_t i = 0; i < fields.size(); ++i) insert.bind(static_cast<int>(i + 1), fields[i].second);
  insert.run();
}

int InventoryDb::addComputer(const Fields& basic, const Rows& rows) {
  Fields all = {{"PCid", "PC01"}, {"CreateDate", "2004-10-24 09:05:30"}};
  std::erase_if(all, [&](const auto& d) { return std::ranges::count(basic, d.first, &Fields::value_type::first); });
  all.insert(all.end(), basic.begin(), basic.end());
  insert("T_BasicInf", all);
  int rno = static_cast<int>(connection_.lastNumberGiven("T_BasicInf").value_or(0));
  for (const auto& [table, row] : rows) {
    Fields keyed = {{"RNO", rno}, {"PCid", "PC01"}, {"CreateDate", "2004-10-24 09:05:30"}};
    keyed.insert(keyed.end(), row.begin(), row.end());
    insert(table, keyed);
  }
  return rno;
}

ViewRun::ViewRun(const InventoryDb& db, int rno) {
  s.MDB_DIR = db.folder() + "/";
  s.MDB_NAME = "inventory.db";
  s.DB_SERVER = db.serverConnection();
  s.CurrentRno = rno;
}

}  // namespace tavrix::test
