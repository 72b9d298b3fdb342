// Counting distinct computers per group of one or two text columns, as GROUP BY with
// count(DISTINCT PCid) would on NOCASE columns, in one pass over the rows without an index.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/db.h"
#include "queries/result_table.h"

namespace tavrix::queries {

// Sorts rows of groups by their first keyColumns columns as text, NULL first.
void sortGroupRows(std::vector<ResultRow>& rows, std::size_t keyColumns);

class GroupCounter {
 public:
  // Contiguous: a computer's rows come together (one snapshot inserted at once), so a group counts a
  // computer when it differs from the last one it counted. Pairs: exact for rows in any order, at
  // the cost of one remembered (group, computer) pair per row and a sort.
  enum class Mode { Contiguous, Pairs };
  // Folded: spellings that differ only in ASCII case are one group (shown by the smallest in byte
  // order), as the NOCASE columns compare them. Exact: every spelling its own group.
  enum class Keys { Folded, Exact };
  explicit GroupCounter(int keyColumns, Mode mode = Mode::Contiguous, Keys keys = Keys::Folded);
  // Adds a row: its first keyColumns columns are the group, the next one the computer.
  void add(const db::RowView& row);
  // False when, counting as Contiguous, a computer's rows came apart: the counts may be too high.
  bool exact() const { return exact_; }
  // Takes in the groups of a counter of other rows. False (and nothing is certain any more) when
  // the two saw a common computer, whose groups might then be counted twice.
  bool merge(const GroupCounter& other);
  // One row per group (spellings that differ only in ASCII case together, shown by the smallest in
  // byte order), then the number of distinct computers; ordered as text column by column, NULL first.
  std::vector<ResultRow> rows() const;
  // Each group's key (see appendGroupKey), columns and number of distinct computers, unordered.
  struct Counted {
    const std::string& key;
    ResultRow values;
    std::int64_t computers;
  };
  std::vector<Counted> groups() const;

 private:
  struct Group {
    std::string key;                              // the group columns as one key
    std::vector<std::optional<std::string>> shown;  // the group columns, smallest spelling in byte order
    std::uint32_t lastComputer = UINT32_MAX;
    std::int64_t computers = 0;
  };
  struct Slot {
    std::uint64_t hash = 0;
    std::uint32_t group = 0;  // index + 1; 0 = empty
  };
  std::uint32_t groupOf(const std::string& key, std::uint64_t hash);
  void showSmaller(Group& group, const db::RowView& row) const;
  std::uint32_t computerNumber(std::string_view pcId);
  void grow();

  int keyColumns_;
  Mode mode_;
  bool fold_;
  bool exact_ = true;
  std::string key_;  // reused for each row
  std::vector<Slot> slots_;
  std::vector<Group> groups_;
  std::vector<std::uint64_t> pairs_;  // Pairs mode: group << 32 | computer, one per row
  std::unordered_map<std::string, std::uint32_t> computerIndex_;  // folded PCid -> number
  std::string lastPcId_;
  std::uint32_t lastComputer_ = 0;
};

}  // namespace tavrix::queries
