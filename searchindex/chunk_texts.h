// The texts of one chunk of snapshots as they are gathered: each distinct text once, with the
// snapshots holding it and the tables it is in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "searchindex/searched_fields.h"

namespace tavrix::searchindex {

class ChunkTexts {
 public:
  struct Holders {
    std::uint64_t tables = 0;  // bit i: the i-th searched table (the last bit stands for the 64th on)
    std::vector<std::int64_t> rnos;
  };
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  using Map = std::unordered_map<std::string, Holders, TextHash, std::equal_to<>>;

  explicit ChunkTexts(const std::vector<SearchedTable>& tables);
  // text in the field-th text field of the table-th searched table, in a row of snapshot rno.
  void add(std::size_t table, std::size_t field, std::string_view text, std::int64_t rno);
  bool empty() const { return texts_.empty(); }
  // Each text's snapshots, ascending and each once.
  Map& sorted();

 private:
  Map texts_;
  // A field repeats its text row after row (the labels): per table and field, the text last added
  // and its snapshot, so the repeat is not looked up again.
  std::vector<std::vector<std::pair<std::string_view, std::int64_t>>> last_;
};

}  // namespace tavrix::searchindex
