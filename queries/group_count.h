// Counting distinct computers per group of one or two text columns, as GROUP BY with
// count(DISTINCT PCid) would on NOCASE columns, in one pass over the rows without an index.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "queries/result_table.h"

struct sqlite3_stmt;

namespace tavrix::queries {

class GroupCounter {
 public:
  explicit GroupCounter(int keyColumns) : keyColumns_(keyColumns) {}
  // Adds the row at stmt: its first keyColumns columns are the group, the next one the computer.
  void add(sqlite3_stmt* stmt);
  // One row per group: its smallest spelling in byte order, then the number of distinct computers;
  // ordered as text (ASCII case ignored, then bytes), column by column, NULL first.
  std::vector<ResultRow> rows() const;

 private:
  struct Group {
    ResultRow shown;                     // the smallest spelling seen
    std::vector<std::uint32_t> computers;  // computer numbers, repeated ones removed at the end
  };
  std::uint32_t computerNumber(std::string_view pcId);

  int keyColumns_;
  std::string key_;  // reused for each row
  std::unordered_map<std::string, std::size_t> groupIndex_;
  std::vector<Group> groups_;
  std::unordered_map<std::string, std::uint32_t> computerIndex_;  // folded PCid -> number
  std::string lastPcId_;
  std::uint32_t lastComputer_ = 0;
};

}  // namespace tavrix::queries
