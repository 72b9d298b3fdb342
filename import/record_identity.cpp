// F_DEL_PCDATA and F_ADD_BASICINF: replacing a computer's snapshot and numbering the new one.
#include "import/record_identity.h"

#include <exception>
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

void F_DEL_PCDATA(RunState& s, std::string_view table, std::string_view mode) {
  if (mode != "PidOnly") return;  // the only mode there is
  try {
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
