// The fields a search looks in: every text field of every inventory table (one with RNO and PCid
// columns); a detail table's PCid (the computer's own id again) is not searched.
#pragma once

#include <string>
#include <vector>

#include "platform/db.h"

namespace tavrix::searchindex {

struct SearchedTable {
  std::string name;
  std::vector<std::string> textFields;
};

constexpr const char* kBasicTable = "T_BasicInf";

// The inventory tables with at least one text field, in name order, their fields in column order.
std::vector<SearchedTable> searchedTables(db::Connection& connection);

// The tables and fields as one text, to tell whether an index was made for the tables as they are.
std::string shapeOf(const std::vector<SearchedTable>& tables);

}  // namespace tavrix::searchindex
