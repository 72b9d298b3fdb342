// F_IMP_*: the detail rows of one snapshot, one row per CSV line, and F_IMP_NIC for the adapters.
#pragma once

#include "batch/run_state.h"
#include "import/csv_line.h"

namespace tavrix {

// Each adds at most one row keyed by CurrentRno, CurrentPcId and CurrentCreateDate. The line is
// the reader's, already split. A failure shows its description in a message box; nothing stops.
void F_IMP_DEVICE(RunState& s, const CsvLine& line);
void F_IMP_DRIVE(RunState& s, const CsvLine& line);
void F_IMP_VIDEO(RunState& s, const CsvLine& line);
void F_IMP_PRINTER(RunState& s, const CsvLine& line);
void F_IMP_APPLINST(RunState& s, const CsvLine& line);
void F_IMP_USERS(RunState& s, const CsvLine& line);
void F_IMP_SERVICE(RunState& s, const CsvLine& line);
void F_IMP_WINUPDREGCHECK(RunState& s, const CsvLine& line);
void F_IMP_STARTUP(RunState& s, const CsvLine& line);
void F_IMP_WINUPDATE(RunState& s, const CsvLine& line);

// One T_NIC row for each adapter 1..NicAdapterCount whose NameT is not empty.
void F_IMP_NIC(RunState& s);

// RegChkReg and RegChkFile as cut out of a registry-check line's field 6.
struct RegistryCheckParts {
  std::string reg, file;
};
RegistryCheckParts cutRegistryCheck(std::string_view field6);

}  // namespace tavrix
