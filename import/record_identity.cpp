// F_DEL_PCDATA and F_ADD_BASICINF: replacing a computer's snapshot and numbering the new one.
#include "import/record_identity.h"

#include <sqlite3.h>

#include <exception>
#include <optional>
#include <span>
#include <string>

#include "import/import_failure.h"
#include "platform/db.h"
#include "platform/jet_dialect.h"

namespace tavrix {

// A detail table's rows are found through the computer's RNOs in T_BasicInf and its RNO index, so the
// detail tables need no index on PCid: that index took a page write per row at every file's commit.
std::string deleteStatement(std::string_view table) {
  if (table == "T_BasicInf") return "Delete PCid,CreateDate FROM T_BasicInf Where PCid = ?";
  return "Delete FROM " + std::string(table) + " Where RNO In (Select RNO From T_BasicInf Where PCid = ?)";
}

namespace {

// The rows a program or update table loses tell the fleet counts what the computer had.
std::optional<TallyKind> talliedKind(std::string_view table) {
  if (table == "T_ApplInst") return TallyKind::Software;
  if (table == "T_WinUpdate") return TallyKind::Updates;
  return std::nullopt;
}

void deleteTallied(RunState& s, std::string_view table, TallyKind kind) {
  const std::string columns = kind == TallyKind::Software ? "Appl, Version, PCid, RNO" : "WinUpdName, PCid, RNO";
  sqlite3_stmt* stmt = s.DbConnection.prepareCached(db::translateJet(deleteStatement(table)) + " RETURNING " + columns);
  db::bindValue(stmt, 1, db::FieldRef(std::string_view(s.CurrentPcId)));
  const int groupColumns = kind == TallyKind::Software ? 2 : 1;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    if (sqlite3_column_type(stmt, groupColumns) == SQLITE_NULL) continue;  // counted for no computer
    std::optional<std::string_view> texts[2];
    for (int c = 0; c < groupColumns; ++c) {
      if (sqlite3_column_type(stmt, c) == SQLITE_NULL) continue;
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
      texts[c] = std::string_view(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt, c)));
    }
    s.Tally->removed(kind, std::span(texts, static_cast<std::size_t>(groupColumns)), sqlite3_column_int64(stmt, groupColumns + 1));
  }
  if (rc != SQLITE_DONE) {
    db::DbError error = db::errorOf(s.DbConnection.handle(), rc);
    sqlite3_reset(stmt);
    throw error;
  }
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
}

}  // namespace

bool hasSnapshot(RunState& s) {
  try {
    sqlite3_stmt* stmt = s.DbConnection.prepareCached("SELECT 1 FROM T_BasicInf WHERE PCid = ? LIMIT 1");
    db::bindValue(stmt, 1, db::FieldRef(std::string_view(s.CurrentPcId)));
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc == SQLITE_ROW || rc == SQLITE_DONE) return rc == SQLITE_ROW;
    throw db::errorOf(s.DbConnection.handle(), rc);
  } catch (const std::exception& e) {
    noteImportFailure(s, e);
    return true;
  }
}

void F_DEL_PCDATA(RunState& s, std::string_view table, std::string_view mode) {
  if (mode != "PidOnly") return;  // the only mode there is
  try {
    if (auto kind = talliedKind(table); kind && s.Tally) return deleteTallied(s, table, *kind);
    // Prepared once per table and cached: every file clears all twelve tables.
    sqlite3_stmt* stmt = s.DbConnection.prepareCached(db::translateJet(deleteStatement(table)));
    db::bindValue(stmt, 1, db::FieldRef(std::string_view(s.CurrentPcId)));
    db::runToEnd(stmt);
  } catch (const std::exception& e) {
    noteImportFailure(s, e);
  }
}

void F_ADD_BASICINF(RunState& s) {
  // Never leave an earlier file's number behind: every detail row of this file is keyed by it.
  s.CurrentRno = 0;
  std::int64_t rowid = 0;
  try {
    db::UpdatableRecordSet rs(s.DbConnection, "Select * from T_BasicInf");
    rs.addNew();
    rs.setField("PCid", s.CurrentPcId);
    rs.setField("CreateDate", s.CurrentCreateDate);
    rs.update();
    rowid = s.DbConnection.lastInsertRowId();
    rs.close();
  } catch (const std::exception& e) {
    noteImportFailure(s, e);
    return;
  }
  // The row just added, found by its rowid: the header time may carry seconds, so finding it by
  // PCid and CreateDate to the minute would miss it.
  try {
    db::ReadOnlyRecordSet rs(s.DbConnection, "Select RNO from T_BasicInf Where rowid = " + std::to_string(rowid));
    if (rs.eof()) throw db::DbError("T_BasicInf: the row just added is not there", 0);
    s.CurrentRno = static_cast<int>(rs.field("RNO").toInt());
    rs.close();
  } catch (const std::exception& e) {
    noteImportFailure(s, e);
  }
}

}  // namespace tavrix
