// Gathering a chunk's texts in an open-addressed hash table over an arena of their bytes.
#include "searchindex/chunk_texts.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <stdexcept>

namespace tavrix::searchindex {

namespace {

constexpr std::size_t kFirstSlots = 1 << 12;

std::uint64_t tagOf(std::uint64_t hash) { return hash >> 32 << 32; }

}  // namespace

ChunkTexts::ChunkTexts(const std::vector<SearchedTable>& tables) : slots_(kFirstSlots, 0) {
  for (const SearchedTable& table : tables)
    last_.emplace_back(table.textFields.size(), std::pair(std::size_t{0}, std::numeric_limits<std::int64_t>::min()));
}

std::size_t ChunkTexts::find(std::uint64_t hash, std::string_view text) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint64_t held = slots_[slot];
    if (held == 0) return entries_.size();
    if ((held & ~std::uint64_t{0xFFFFFFFF}) != tagOf(hash)) continue;
    const std::size_t index = static_cast<std::uint32_t>(held) - 1;
    const Entry& entry = entries_[index];
    if (entry.hash == hash && this->text(entry) == text) return index;
  }
}

void ChunkTexts::grow() {
  slots_.assign(slots_.size() * 2, 0);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t index = 0; index < entries_.size(); ++index) {
    std::size_t slot = entries_[index].hash & mask;
    while (slots_[slot] != 0) slot = (slot + 1) & mask;
    slots_[slot] = tagOf(entries_[index].hash) | (index + 1);
  }
}

void ChunkTexts::add(std::size_t table, std::size_t field, std::string_view text, std::int64_t rno) {
  auto& [lastEntry, lastRno] = last_[table][field];
  if (lastRno == rno && this->text(entries_[lastEntry]) == text) return;
  const std::uint64_t hash = std::hash<std::string_view>{}(text);
  std::size_t index = find(hash, text);
  if (index == entries_.size()) {
    if (entries_.size() >= std::numeric_limits<std::uint32_t>::max() - 1) throw std::length_error("too many texts in a chunk");
    if ((entries_.size() + 1) * 2 > slots_.size()) grow();  // at most half full: probes stay short
    std::size_t slot = hash & (slots_.size() - 1);
    while (slots_[slot] != 0) slot = (slot + 1) & (slots_.size() - 1);
    slots_[slot] = tagOf(hash) | (index + 1);
    entries_.push_back({hash, arena_.size(), text.size(), {}});
    arena_.append(text);
  }
  Holders& h = entries_[index].holders;
  h.tables |= std::uint64_t{1} << std::min<std::size_t>(table, 63);
  if (h.rnos.empty() || h.rnos.back() != rno) h.rnos.push_back(rno);
  lastEntry = index;
  lastRno = rno;
}

std::span<const ChunkTexts::Entry> ChunkTexts::sorted() {
  for (Entry& entry : entries_) {
    std::vector<std::int64_t>& rnos = entry.holders.rnos;
    if (std::is_sorted(rnos.begin(), rnos.end()) && std::adjacent_find(rnos.begin(), rnos.end()) == rnos.end()) continue;
    std::sort(rnos.begin(), rnos.end());
    rnos.erase(std::unique(rnos.begin(), rnos.end()), rnos.end());
  }
  return entries_;
}

}  // namespace tavrix::searchindex
