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
  explicit GroupCounter(int keyColumns) : keyColumns_(keyColumns), slots_(1024) {}
  // Adds the row at stmt: its first keyColumns columns are the group, the next one the computer.
  void add(sqlite3_stmt* stmt);
  // One row per group (spellings that differ only in ASCII case together, shown by the smallest in
  // byte order), then the number of distinct computers; ordered as text column by column, NULL first.
  std::vector<ResultRow> rows() const;

 private:
  // Groups are first told apart by their exact bytes: one probe of a flat table per row.
  struct Group {
    std::string key;  // the exact bytes of the group columns, NULL marked
    ResultRow shown;  // the group columns
  };
  struct Slot {
    std::uint64_t hash = 0;
    std::uint32_t group = 0;  // index + 1; 0 = empty
  };
  std::uint32_t groupOf(sqlite3_stmt* stmt);
  std::uint32_t computerNumber(std::string_view pcId);
  void grow();

  int keyColumns_;
  std::string key_;  // reused for each row
  std::vector<Slot> slots_;
  std::vector<Group> groups_;
  std::vector<std::uint64_t> pairs_;  // group << 32 | computer, one per row, written in sequence
  std::unordered_map<std::string, std::uint32_t> computerIndex_;  // folded PCid -> number
  std::string lastPcId_;
  std::uint32_t lastComputer_ = 0;
};

}  // namespace tavrix::queries
