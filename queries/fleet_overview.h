// The fleet at a glance: the figures of the overview's cards, from one state of the database.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/datetime.h"
#include "platform/db.h"
#include "queries/result_rows.h"
#include "queries/result_table.h"

namespace tavrix::queries {

struct OverviewSettings {
  int lowDiskPercent = 10;       // a fixed drive with less free space than this is nearly full
  int notSeenDays = 30;          // a computer inventoried longer ago than this is not seen
  int commonUpdatePercent = 80;  // an update at least this share of the fleet has is expected
  int rarestPrograms = 20;       // the programs on the fewest computers shown
};

// Card, Item, Value, Computers; one row per figure, cards in this order:
//   computers  ""               the computers                       the computers
//   os         OSVersion        computers with it (most first)      the same
//   memory     "512MB"...       computers with at least that much memory and less than twice it;
//              "unknown"        a size that does not read as one   (every computer in one class)
//   low_disk   "10%"            fixed drives with less free space   computers with one
//              "unknown"        fixed drives whose sizes do not read as sizes, and their computers
//   not_seen   "30"             computers inventoried before then   the same
//   missing_update  WinUpdName  computers lacking an update most of the fleet has (most lacking first)
//   rare_program    Appl [Version]  computers with it (fewest first)
//   last_batch  finished        "yyyy/mm/dd hh:nn" the newest batch ended (Computers NULL here and below)
//               imported, kept, rejected   its CSV files: committed, left for the next run, not inventories
// Texts compare as the database compares them (ASCII case ignored, then bytes).
// What a figure counts, to list its computers: its card and the item's own values (the OSVersion
// text, the memory class in megabytes (-1 unknown), the percent (version "unknown" for drives
// that do not read), the days, the update's name, the program's Appl and Version).
struct OverviewItem {
  std::string card;
  db::Value key;
  db::Value version;
};
// With items, one OverviewItem per row of the answer.
ResultTable fleetOverview(db::Connection& connection, const DateTime& now, const OverviewSettings& settings = {},
                         std::vector<OverviewItem>* items = nullptr);
// The computers behind a figure, as the computer list shows them (none behind last_batch).
ResultRows overviewComputers(db::Connection& connection, const DateTime& now, const OverviewItem& item);

}  // namespace tavrix::queries
