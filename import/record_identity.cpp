// F_DEL_PCDATA and F_ADD_BASICINF: replacing a computer's snapshot and numbering the new one.
#include "import/record_identity.h"

#include <exception>
#include <optional>
#include <span>
#include <string>

#include "import/import_failure.h"
#include "platform/db.h"

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

// The tally's mark on the import's own deletions, taken down however the deletion ends.
class OwnDeletions {
 public:
  explicit OwnDeletions(RunState& s) : s_(s) { s_.Tally->markOwnDeletions(s_.DbConnection, true); }
  ~OwnDeletions() {
    try {
      s_.Tally->markOwnDeletions(s_.DbConnection, false);
    } catch (const std::exception&) {
      // The file fails with the deletion's own error and its transaction is rolled back.
    }
  }
  OwnDeletions(const OwnDeletions&) = delete;
  OwnDeletions& operator=(const OwnDeletions&) = delete;

 private:
  RunState& s_;
};

void deleteTallied(RunState& s, std::string_view table, TallyKind kind) {
  const OwnDeletions own(s);
  const std::string columns = kind == TallyKind::Software ? "Appl, Version, PCid, RNO" : "WinUpdName, PCid, RNO";
  db::Statement deleted(s.DbConnection, s.DbConnection.translateJet(deleteStatement(table) + " RETURNING " + columns));
  deleted.bind(1, db::FieldRef(std::string_view(s.CurrentPcId)));
  const int groupColumns = kind == TallyKind::Software ? 2 : 1;
  deleted.forEach([&](const db::RowView& row) {
    if (row.isNull(groupColumns)) return;  // counted for no computer
    std::optional<std::string_view> texts[2];
    for (int c = 0; c < groupColumns; ++c)
      if (!row.isNull(c)) texts[c] = row.text(c);
    s.Tally->removed(kind, std::span(texts, static_cast<std::size_t>(groupColumns)), row.integer(groupColumns + 1));
  });
}

}  // namespace

bool hasSnapshot(RunState& s) {
  try {
    db::Statement found(s.DbConnection, s.DbConnection.translateJet("SELECT 1 FROM T_BasicInf WHERE PCid = ? LIMIT 1"));
    found.bind(1, db::FieldRef(std::string_view(s.CurrentPcId)));
    return found.next();
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
    db::Statement deleted(s.DbConnection, s.DbConnection.translateJet(deleteStatement(table)));
    deleted.bind(1, db::FieldRef(std::string_view(s.CurrentPcId)));
    deleted.run();
  } catch (const std::exception& e) {
    noteImportFailure(s, e);
  }
}

void F_ADD_BASICINF(RunState& s) {
  // Never leave an earlier file's number behind: every detail row of this file is keyed by it.
  s.CurrentRno = 0;
  try {
    if (s.SearchFeed) s.SearchFeed->earlierSnapshotDeleted();
    db::UpdatableRecordSet rs(s.DbConnection, "Select * from T_BasicInf");
    rs.addNew();
    rs.setField("PCid", s.CurrentPcId);
    rs.setField("CreateDate", s.CurrentCreateDate);
    rs.update();
    // The number just given, read from the row just added: the header time may carry seconds, so
    // finding the row by PCid and CreateDate to the minute would miss it.
    s.CurrentRno = static_cast<int>(rs.field("RNO").toInt());
    rs.close();
    if (s.SearchFeed) {
      s.SearchFeed->rowAdded("T_BasicInf", {}, {}, s.CurrentRno);
      s.SearchFeed->fieldSet("T_BasicInf", "PCid", db::Value(s.CurrentPcId), s.CurrentRno);
      s.SearchFeed->fieldSet("T_BasicInf", "CreateDate", db::Value(s.CurrentCreateDate), s.CurrentRno);
    }
  } catch (const std::exception& e) {
    noteImportFailure(s, e);
  }
}

}  // namespace tavrix
