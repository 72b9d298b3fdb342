// F_EXEC_SQLTXT: the body of a script file run statement by statement against the work database.
#include "dbscript/exec_sqltxt.h"

#include "batch/messages.h"
#include "batch/run_log.h"
#include "dbscript/create_table.h"
#include "dbscript/script_lines.h"
#include "platform/text.h"

namespace tavrix {

namespace {

// The text after the keyword, upper-cased and trimmed, begins with TABLE.
bool tableFollows(std::string_view statement, std::size_t keywordLength) {
  return text::trim(text::toUpperAscii(statement.substr(keywordLength))).starts_with("TABLE");
}

// Where a script's statements run: the work database file, opened anew after each statement, or
// the server database's build transaction, each statement under a savepoint of its own so that a
// refused one is undone alone and the build goes on as it does on the file.
class WorkDatabase {
 public:
  explicit WorkDatabase(const RunState& s) : server_(s.ScriptServer), path_(s.MDB_DIR + s.ScriptMdbName) {
    if (!server_) connection_.openPlain(path_);
  }
  void execute(const std::string& statement) {
    if (!server_) return connection_.execute(statement);
    db::Savepoint step(*server_);
    server_->execute(statement);
    step.keep();
  }
  void reopen() {
    if (server_) return;
    connection_.close();
    connection_.openPlain(path_);
  }
  void close() { connection_.close(); }

 private:
  db::Connection* server_;
  std::string path_;
  db::Connection connection_;
};

// Executes S; a missing table after a DROP TABLE of this body is noted, not failed, and so is
// the missing index or table of a DROP INDEX: what should go is not there.
void executeTolerant(RunState& s, WorkDatabase& work, const std::string& statement, bool dropsIndex = false) {
  try {
    work.execute(statement);
  } catch (const db::DbError& e) {
    if (dropsIndex && (e.missingIndex() || e.missingTable())) return;
    if (!(e.missingTable() && s.DropTableSeen)) throw;
    s.DropTargetMissing = true;
  }
}

void runStatement(RunState& s, WorkDatabase& work, const std::string& statement) {
  bool dropsTable = false;
  switch (classifyStatement(statement, &dropsTable)) {
    case StatementKind::Drop:
      if (dropsTable) s.DropTableSeen = true;
      executeTolerant(s, work, statement, !dropsTable && text::startsWithNoCase(text::trim(statement.substr(5)), "INDEX"));
      work.reopen();
      break;
    case StatementKind::TableDefinition:
      s.CreateTableSeen = true;
      F_CRE_TABLE(s, statement);
      work.reopen();
      break;
    case StatementKind::Execute:
      executeTolerant(s, work, statement);
      work.reopen();
      break;
    case StatementKind::None:
      break;
  }
}

void logDropResult(RunState& s) {
  if (!s.DropTableSeen || s.CreateTableSeen) return;
  std::string target = s.ScriptMdbName + "." + s.ScriptTableName;
  F_WRITE_LOG(s, target + (s.DropTargetMissing ? " 削除(DROP)対象がありません。" : "を 削除(DROP)しました。"));
}

}  // namespace

StatementKind classifyStatement(std::string_view statement, bool* dropsTable) {
  std::string head = text::toUpperAscii(statement.substr(0, 7));
  if (head.starts_with("DROP ")) {
    if (dropsTable) *dropsTable = tableFollows(statement, 5);
    return StatementKind::Drop;
  }
  if (head.starts_with("CREATE ")) {
    return tableFollows(statement, 7) ? StatementKind::TableDefinition : StatementKind::Execute;
  }
  for (std::string_view keyword : {"DELETE ", "INSERT ", "UPDATE "}) {
    if (head.starts_with(keyword)) return StatementKind::Execute;
  }
  return StatementKind::None;
}

bool F_EXEC_SQLTXT(RunState& s, paths::LineReader& file) {
  WorkDatabase work(s);  // throws to the caller
  s.DropTableSeen = s.DropTargetMissing = s.CreateTableSeen = false;
  StatementAssembler assembler;
  try {
    std::string raw;
    while (file.next(raw)) {
      if (auto statement = assembler.add(prepareScriptLine(raw))) runStatement(s, work, *statement);
    }
    if (file.failed()) throw db::DbError(file.errorText(), 0);
    work.close();
    logDropResult(s);
    return false;
  } catch (const std::exception& e) {
    reportMessage(s, e.what(), MessageStyle::Plain, s.CurrentScriptFile + ": " + e.what());
    work.close();
    return true;
  }
}

}  // namespace tavrix
