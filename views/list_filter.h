// The computer list's filter as data: which rows hold every typed word, the count text, copy and export.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "views/computer_list.h"

namespace tavrix {

// The five shown columns of the computer list (the RNO column is not shown).
constexpr std::size_t kShownListColumns = 5;

// The shown columns' distinct texts kept folded once, so a keystroke searches each distinct text
// once and then only looks up each row's numbers. A typed word holds no blank or tab, so it never
// spans two columns.
class ListFilter {
 public:
  // The table must outlive the filter's use of it.
  void setRows(const ComputerListTable& rows);
  std::size_t size() const { return rows_ ? rows_->size() : 0; }
  // Marks in shown[i] whether row i holds every word of the typed text; returns how many do.
  std::size_t apply(std::string_view typed, std::vector<char>& shown) const;
  std::size_t memoryBytes() const;

 private:
  const ComputerListTable* rows_ = nullptr;
  std::vector<PackedTexts> folded_;  // per shown column, its distinct texts folded, same numbers
};

// "3,000 台" without a filter, "3,000 台中 12 台" with one.
std::string listCountText(std::size_t total, std::size_t shown, bool filtering);

using TextRow = std::vector<std::string>;

// One row per line, fields separated by tabs (a tab or line end inside a field becomes a blank).
std::string rowsAsTsv(const std::vector<TextRow>& rows);
// UTF-8 with a byte-order mark, CR LF line ends, the header first; a field holding a comma, quote or
// line end is quoted with its quotes doubled.
std::string rowsAsCsv(const TextRow& header, const std::vector<TextRow>& rows);

}  // namespace tavrix
