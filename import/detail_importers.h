// F_IMP_*: the detail rows of one snapshot, one row per CSV line, and F_IMP_NIC for the adapters.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "batch/run_state.h"
#include "import/csv_line.h"
#include "import/inventory_lines.h"
#include "platform/db.h"

namespace tavrix {

// The detail tables' record sets of one file: each is opened at its table's first row and stays
// open to the file's end, so that a row costs one bound INSERT and not an open and a close.
class DetailRecordSets {
 public:
  explicit DetailRecordSets(db::Connection& connection) : connection_(connection) {}
  // The open record set of the statement; opened now when it is not (throws DbError as opening does).
  db::UpdatableRecordSet& open(const std::string& select);

 private:
  db::Connection& connection_;
  std::vector<std::pair<std::string, std::unique_ptr<db::UpdatableRecordSet>>> sets_;
};

// Each adds at most one row keyed by CurrentRno, CurrentPcId and CurrentCreateDate, through the
// file's record sets. The line is the reader's, already split. A failure shows its description
// in a message box; nothing stops.
void F_IMP_DEVICE(RunState& s, DetailRecordSets& sets, const CsvLine& line);
void F_IMP_DRIVE(RunState& s, DetailRecordSets& sets, const CsvLine& line);
void F_IMP_VIDEO(RunState& s, DetailRecordSets& sets, const CsvLine& line);
void F_IMP_PRINTER(RunState& s, DetailRecordSets& sets, const CsvLine& line);
void F_IMP_APPLINST(RunState& s, DetailRecordSets& sets, const CsvLine& line);
void F_IMP_USERS(RunState& s, DetailRecordSets& sets, const CsvLine& line);
void F_IMP_SERVICE(RunState& s, DetailRecordSets& sets, const CsvLine& line);
void F_IMP_WINUPDREGCHECK(RunState& s, DetailRecordSets& sets, const CsvLine& line);
void F_IMP_STARTUP(RunState& s, DetailRecordSets& sets, const CsvLine& line);
void F_IMP_WINUPDATE(RunState& s, DetailRecordSets& sets, const CsvLine& line);

// One T_NIC row for each adapter 1..NicAdapterCount whose NameT is not empty.
void F_IMP_NIC(RunState& s);

// Each detail table the importers write, with the fields they write into it.
std::vector<std::pair<std::string, std::vector<std::string>>> detailTableFields();

// The fields of a detail kind's table after RNO, PCid and CreateDate, and the values that a line
// gives them: the same as the import writes, for readers that keep an inventory in memory.
std::vector<std::string> detailFieldNames(DetailKind kind);
std::vector<std::string> detailRowValues(DetailKind kind, const CsvLine& line);

// RegChkReg and RegChkFile as cut out of a registry-check line's field 6.
struct RegistryCheckParts {
  std::string reg, file;
};
RegistryCheckParts cutRegistryCheck(std::string_view field6);

}  // namespace tavrix
