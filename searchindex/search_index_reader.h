// Asking the search index which snapshots can hold a text, so a search reads those and no others.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/db.h"
#include "searchindex/searched_fields.h"

namespace tavrix::searchindex {

struct SearchCandidates {
  std::vector<db::Value> rnos;        // every RNO whose rows may hold the text (the rows of no other can)
  std::vector<bool> tables;           // per searched table: its rows of those RNOs may hold it
};

// The candidates for a text compared as the search compares (ASCII case ignored): those the index
// finds, and every RNO with rows it does not cover (read directly). None when the index cannot
// answer for the tables as they are, or when reading the tables whole would be quicker.
// Runs in the caller's read transaction.
std::optional<SearchCandidates> searchCandidates(db::Connection& connection, const std::vector<SearchedTable>& tables,
                                                 std::string_view part);

}  // namespace tavrix::searchindex
