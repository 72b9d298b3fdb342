// Packed texts, and interning a column's texts: an open-addressing table of numbers hashed from the stored bytes.
#include "views/text_columns.h"

#include <functional>
#include <stdexcept>

namespace tavrix {

namespace {

std::uint64_t hashOf(std::string_view text) { return std::hash<std::string_view>{}(text); }

// A slot holds the text's number + 1 in its low half and the high half of its hash in the other,
// so a probe compares texts only when their hashes agree.
constexpr std::uint64_t kHashHalf = 0xFFFFFFFF00000000ULL;
std::uint64_t slotValue(std::uint32_t id, std::uint64_t hash) { return (hash & kHashHalf) | (id + 1ULL); }

}  // namespace

std::uint32_t PackedTexts::append(std::string_view text) {
  if (bytes_.size() + text.size() > UINT32_MAX) throw std::length_error("a list's texts exceed 4 GB");
  starts_.push_back(static_cast<std::uint32_t>(bytes_.size()));
  bytes_.append(text);
  return static_cast<std::uint32_t>(starts_.size() - 1);
}

std::uint32_t DistinctTexts::intern(std::string_view text) {
  if ((size() + 1) * 2 > slots_.size()) grow();
  const std::size_t mask = slots_.size() - 1;
  const std::uint64_t hash = hashOf(text);
  const std::uint64_t tag = hash & kHashHalf;
  std::size_t slot = hash & mask;
  for (; slots_[slot] != 0; slot = (slot + 1) & mask) {
    const auto id = static_cast<std::uint32_t>(slots_[slot] & ~kHashHalf) - 1;
    if ((slots_[slot] & kHashHalf) == tag && this->text(id) == text) return id;
  }
  const std::uint32_t id = texts_.append(text);
  slots_[slot] = slotValue(id, hash);
  return id;
}

void DistinctTexts::grow() {
  std::vector<std::uint64_t> slots(slots_.empty() ? 64 : slots_.size() * 2, 0);
  const std::size_t mask = slots.size() - 1;
  for (std::uint32_t id = 0; id < size(); ++id) {
    const std::uint64_t hash = hashOf(text(id));
    std::size_t slot = hash & mask;
    while (slots[slot] != 0) slot = (slot + 1) & mask;
    slots[slot] = slotValue(id, hash);
  }
  slots_.swap(slots);
}

void TextColumns::reorder(const std::vector<std::uint32_t>& order) {
  for (std::vector<std::uint32_t>& ids : ids_) {
    std::vector<std::uint32_t> moved(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) moved[i] = ids[order[i]];
    ids.swap(moved);
  }
}

std::size_t TextColumns::memoryBytes() const {
  std::size_t bytes = 0;
  for (std::size_t c = 0; c < ids_.size(); ++c) bytes += values_[c].memoryBytes() + ids_[c].capacity() * sizeof(std::uint32_t);
  return bytes;
}

}  // namespace tavrix
