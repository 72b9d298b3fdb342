// One kept inventory CSV read into memory: its basic values, adapters and detail rows.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/run_state.h"
#include "import/inventory_lines.h"

namespace tavrix::history {

// The rows of one detail kind: each row holds the table's own fields (those after RNO, PCid and
// CreateDate) as the import writes them.
struct DetailRows {
  std::vector<std::string> names;              // field names, in table order
  std::vector<std::vector<std::string>> rows;  // in file order
  // Index of a field name; the names are fixed, so an unknown one is a programming error.
  std::size_t index(std::string_view name) const;
};

struct Inventory {
  DateTime createDate;                // the header's date; the zero date when it is no real date
  BasicInfoRecord basic;
  std::vector<NicAdapter> adapters;   // adapter n is index n-1
  std::array<DetailRows, kDetailKindCount> details;
  std::vector<std::string> problems;  // failed steps, "line N: what", as the import logs them

  const DetailRows& rows(DetailKind kind) const { return details[static_cast<std::size_t>(kind)]; }
};

// Reads path with the import's rules. nullopt with error set when it cannot be opened or read,
// or has no header line (the import would not have kept it as an inventory).
std::optional<Inventory> readInventory(const std::string& path, std::string& error);

}  // namespace tavrix::history
