// Gathering a chunk's texts in a hash map keyed by the text.
#include "searchindex/chunk_texts.h"

#include <algorithm>
#include <limits>

namespace tavrix::searchindex {

ChunkTexts::ChunkTexts(const std::vector<SearchedTable>& tables) {
  for (const SearchedTable& table : tables)
    last_.emplace_back(table.textFields.size(), std::pair(std::string_view(), std::numeric_limits<std::int64_t>::min()));
}

void ChunkTexts::add(std::size_t table, std::size_t field, std::string_view text, std::int64_t rno) {
  auto& [lastText, lastRno] = last_[table][field];
  if (lastRno == rno && lastText == text) return;
  auto found = texts_.find(text);
  if (found == texts_.end()) found = texts_.emplace(std::string(text), Holders{}).first;
  Holders& h = found->second;
  h.tables |= std::uint64_t{1} << std::min<std::size_t>(table, 63);
  if (h.rnos.empty() || h.rnos.back() != rno) h.rnos.push_back(rno);
  lastText = found->first;  // the map's own copy: it stays where it is while the map grows
  lastRno = rno;
}

ChunkTexts::Map& ChunkTexts::sorted() {
  for (auto& entry : texts_) {
    std::vector<std::int64_t>& rnos = entry.second.rnos;
    if (std::is_sorted(rnos.begin(), rnos.end()) && std::adjacent_find(rnos.begin(), rnos.end()) == rnos.end()) continue;
    std::sort(rnos.begin(), rnos.end());
    rnos.erase(std::unique(rnos.begin(), rnos.end()), rnos.end());
  }
  return texts_;
}

}  // namespace tavrix::searchindex
