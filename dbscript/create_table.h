// F_CRE_TABLE: a table defined from a CREATE TABLE statement by its own parser and type words.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "batch/run_state.h"

namespace tavrix {

// What the column type table makes of an upper-cased type text.
struct ColumnTypeMatch {
  bool found = false;
  db::ColumnType type = db::ColumnType::Empty;
  int size = 0;
};
ColumnTypeMatch matchColumnType(std::string_view typeText);

// Defines the table of statement S in the work database. Each failed step shows its description in
// a message box and the definition goes on; nothing is reported back.
void F_CRE_TABLE(RunState& s, const std::string& statement);

}  // namespace tavrix
