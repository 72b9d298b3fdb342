// Loading the detail tree of one computer snapshot (CurrentRno) from the inventory database.
#pragma once

#include <string>

#include "batch/run_state.h"
#include "views/detail/detail_tree.h"

namespace tavrix {

// Runs the load sequence of the detail window for s.CurrentRno: opens DbConnection unless DbOpen
// ("Cant DB Open " on failure, and the load goes on), builds every section in tree order, and
// leaves the connection closed with DbOpen false. A failing step (record set, field, node) shows
// its description through s.Messages and the load continues with the next step. pcId, when given,
// receives the snapshot's PCid ("" when it has none).
DetailTree loadDetailTree(RunState& s, std::string* pcId = nullptr);

// The text of TxtRNO: CurrentRno as decimal digits.
std::string txtRnoText(const CurrentFile& s);

}  // namespace tavrix
