// The test inventory database: built by the delivered scripts, rows bound as parameters.
#include "tests/views/inventory_db.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <stdexcept>

#include "batch/database.h"
#include "dbscript/script_files.h"
#include "platform/paths.h"
#include "ui/detail/detail_load.h"

namespace tavrix::test {
namespace {

// The database the delivered scripts build, made once per test run: every test copies it, so the
// tables are the real ones (types, NOCASE text, indexes) without paying for the script phase each time.
class ScriptBuiltDatabase {
 public:
  ScriptBuiltDatabase() {
    RecordingMessageSink sink;
    FixedClock clock{DateTime{2024, 1, 2, 3, 4, 5}};
    RunState s(sink, clock);
    s.LOG_DIR = dir_.path() + "/";
    s.LOG_FILE = "scripts.log";
    s.MDB_DIR = dir_.path() + "/";
    s.DSTRB_DIR = sourceDir() + "/dstrb/";
    bool failed = F_CNT_SQLFILE(s);
    for (int i = 0; !failed && i < s.FoundFileCount; ++i) {
      s.CurrentScriptFile = s.ScriptFileList[static_cast<std::size_t>(i)];
      failed = F04_READ_SQLTXT(s);
    }
    if (failed || s.ScriptMdbName.size() < 2 || F_COMPACT_MDB(s))
      throw std::runtime_error("the delivered scripts did not build a database; see " + s.LOG_DIR + s.LOG_FILE);
    path_ = s.MDB_DIR + s.ScriptMdbName.substr(1);
  }
  const std::string& path() const { return path_; }

 private:
  TempDir dir_;
  std::string path_;
};

const std::string& scriptBuiltDatabase() {
  static const ScriptBuiltDatabase built;
  return built.path();
}

}  // namespace

InventoryDb::InventoryDb() {
  std::string error;
  if (!paths::copyFile(scriptBuiltDatabase(), path(), &error)) throw std::runtime_error(error);
  connection_.open(path());
}

void InventoryDb::insert(const std::string& table, const Fields& fields) {
  std::string names, marks;
  for (const auto& [name, value] : fields) {
    names += (names.empty() ? "\"" : ",\"") + name + "\"";
    marks += marks.empty() ? "?" : ",?";
  }
  sqlite3_stmt* stmt = connection_.prepareCached("INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")");
  for (std::size_t i = 0; i < fields.size(); ++i) db::bindValue(stmt, static_cast<int>(i + 1), fields[i].second);
  if (sqlite3_step(stmt) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(connection_.handle()));
  sqlite3_reset(stmt);
}

int InventoryDb::addComputer(const Fields& fields) {
  Fields all = {{"PCid", "PC01"}, {"CreateDate", "2004-10-24 09:05:30"}};
  for (const auto& f : fields) {
    bool replaced = false;
    for (auto& a : all)
      if (a.first == f.first) a.second = f.second, replaced = true;
    if (!replaced) all.push_back(f);
  }
  insert("T_BasicInf", all);
  return static_cast<int>(connection_.lastInsertRowId());
}

void InventoryDb::addRow(const std::string& table, int rno, const Fields& fields) {
  Fields all = {{"RNO", rno}, {"PCid", "PC01"}, {"CreateDate", "2004-10-24 09:05:30"}};
  all.insert(all.end(), fields.begin(), fields.end());
  insert(table, all);
}

void InventoryDb::execute(const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(connection_.handle(), sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string text = error ? error : "?";
    sqlite3_free(error);
    throw std::runtime_error(text);
  }
}

ViewRun::ViewRun(const InventoryDb& db) {
  s.MDB_DIR = db.folder() + "/";
  s.MDB_NAME = "inventory.db";
}

std::vector<std::string> sectionLines(const DetailTree& tree, const std::string& key) {
  std::vector<std::string> lines;
  bool inside = false;
  for (const DetailLine& line : tree.displayOrder()) {
    const DetailNode& node = tree.nodes()[line.node];
    if (line.depth == 0) inside = node.key == key;
    if (inside) lines.push_back(B(line.depth * 2) + node.text);
  }
  return lines;
}

std::vector<std::string> topLevelTexts(const DetailTree& tree) {
  std::vector<std::string> texts;
  for (const DetailNode& node : tree.nodes())
    if (node.parent < 0) texts.push_back(node.text);
  return texts;
}

void checkTreeCases(InventoryDb& db, const std::vector<TreeCase>& cases) {
  for (const TreeCase& c : cases) {
    SCOPED_TRACE(c.name);
    int rno = db.addComputer(c.basic);
    for (const auto& [table, fields] : c.rows) db.addRow(table, rno, fields);
    ViewRun run(db);
    run.s.CurrentRno = rno;
    DetailTree tree = loadDetailTree(run.s);
    std::vector<std::string> lines;
    for (const std::string& key : c.sections) {
      auto part = sectionLines(tree, key);
      lines.insert(lines.end(), part.begin(), part.end());
    }
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(run.sink.texts(), c.messages);
    EXPECT_FALSE(run.s.DbOpen);
  }
}

}  // namespace tavrix::test
