// The texts of one chunk of snapshots as they are gathered: each distinct text once, with the
// snapshots holding it and the tables it is in.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
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
  struct Entry {
    std::uint64_t hash;
    std::size_t offset;  // the text's bytes in the chunk's arena
    std::size_t length;
    Holders holders;
  };

  explicit ChunkTexts(const std::vector<SearchedTable>& tables);
  // text in the field-th text field of the table-th searched table, in a row of snapshot rno.
  void add(std::size_t table, std::size_t field, std::string_view text, std::int64_t rno);
  bool empty() const { return entries_.empty(); }
  std::size_t size() const { return entries_.size(); }
  // Each text's snapshots, ascending and each once.
  std::span<const Entry> sorted();
  std::string_view text(const Entry& entry) const { return std::string_view(arena_).substr(entry.offset, entry.length); }

 private:
  std::size_t find(std::uint64_t hash, std::string_view text) const;  // an entry's index, or entries_.size()
  void grow();

  // Nearly every text is one seen before (labels, programs, services), so a look-up is what costs:
  // an open-addressed table of entry numbers tagged with their hash's upper half, the texts in one
  // arena, rather than a node and a string per text.
  std::string arena_;
  std::vector<Entry> entries_;
  std::vector<std::uint64_t> slots_;  // 0 free, else (hash's upper 32 bits << 32) | (entry + 1)
  // A field repeats its text row after row (the labels): per table and field, the entry last added
  // and its snapshot, so the repeat is not looked up again.
  std::vector<std::vector<std::pair<std::size_t, std::int64_t>>> last_;
};

}  // namespace tavrix::searchindex
