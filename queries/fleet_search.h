// Where a text appears: every text field of every inventory table, one row per matching field.
#pragma once

#include "platform/db.h"
#include "queries/result_table.h"
#include "queries/search_text.h"

namespace tavrix::queries {

// ComputerName, PCid, RNO, Table, Field, Value, Section for every text field that holds the text (as
// a part or as its whole value, ASCII case ignored; in one table's fields when what names one),
// ordered by ComputerName, PCid, Table, Field, Value. The inventory tables are those with
// RNO and PCid columns; a detail table's PCid (the computer's own id again) is not searched.
// Fastest reads only the computers the search index names when it can answer; Scan reads every table
// whole (the answer is the same).
enum class SearchWay { Fastest, Scan };
ResultTable searchInventory(db::Connection& connection, const SearchText& what, SearchWay way = SearchWay::Fastest);

}  // namespace tavrix::queries
