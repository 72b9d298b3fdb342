// Where a text appears: every text field of every inventory table, one row per matching field.
#pragma once

#include <string_view>

#include "platform/db.h"
#include "queries/result_table.h"

namespace tavrix::queries {

// ComputerName, PCid, RNO, Table, Field, Value for every text field that contains part (ASCII case
// ignored), ordered by ComputerName, PCid, Table, Field, Value. The inventory tables are those with
// RNO and PCid columns; a detail table's PCid (the computer's own id again) is not searched.
// Fastest reads only the computers the search index names when it can answer; Scan reads every table
// whole (the answer is the same).
enum class SearchWay { Fastest, Scan };
ResultTable searchInventory(db::Connection& connection, std::string_view part, SearchWay way = SearchWay::Fastest);

}  // namespace tavrix::queries
