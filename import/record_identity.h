// F_DEL_PCDATA and F_ADD_BASICINF: replacing a computer's snapshot and numbering the new one.
#pragma once

#include <string>
#include <string_view>

#include "batch/run_state.h"

namespace tavrix {

// The twelve inventory tables (the batch clears T_BasicInf after the others).
inline constexpr std::string_view kInventoryTables[] = {
    "T_ApplInst", "T_BasicInf", "T_Device",  "T_Drive",  "T_NIC",       "T_Printer",
    "T_Service",  "T_StartUp",  "T_Users",   "T_Video",  "T_WinUpdate", "T_WinUpdRegCheck"};

// The Jet delete of one computer's rows from table; the id is its one parameter. The detail tables'
// deletes find the rows through T_BasicInf, so T_BasicInf is cleared after them.
std::string deleteStatement(std::string_view table);

// True when T_BasicInf holds a snapshot of CurrentPcId, so that there are rows to delete (also when
// the question failed, which is noted as the file's failure).
bool hasSnapshot(RunState& s);

// Deletes every row of CurrentPcId from table (mode "PidOnly"). A failure is shown, not logged.
void F_DEL_PCDATA(RunState& s, std::string_view table, std::string_view mode);

// Adds the T_BasicInf row with PCid and CreateDate and sets CurrentRno to the RNO the database
// gave it; CurrentRno is 0 when the row could not be added. Failures are shown, not logged.
void F_ADD_BASICINF(RunState& s);

}  // namespace tavrix
