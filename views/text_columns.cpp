// Packed texts, and interning a column's texts: an open-addressing table of numbers hashed from the stored bytes.
#include "views/text_columns.h"

#include <functional>
#include <stdexcept>

namespace tavrix {

namespace {

std::size_t slotOf(std::string_view text, std::size_t mask) { return std::hash<std::string_view>{}(text) & mask; }

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
  std::size_t slot = slotOf(text, mask);
  for (; slots_[slot] != 0; slot = (slot + 1) & mask)
    if (this->text(slots_[slot] - 1) == text) return slots_[slot] - 1;
  const std::uint32_t id = texts_.append(text);
  slots_[slot] = id + 1;
  return id;
}

void DistinctTexts::grow() {
  std::vector<std::uint32_t> slots(slots_.empty() ? 64 : slots_.size() * 2, 0);
  const std::size_t mask = slots.size() - 1;
  for (std::uint32_t id = 0; id < size(); ++id) {
    std::size_t slot = slotOf(text(id), mask);
    while (slots[slot] != 0) slot = (slot + 1) & mask;
    slots[slot] = id + 1;
  }
  slots_.swap(slots);
}

std::size_t TextColumns::memoryBytes() const {
  std::size_t bytes = 0;
  for (std::size_t c = 0; c < ids_.size(); ++c) bytes += values_[c].memoryBytes() + ids_[c].capacity() * sizeof(std::uint32_t);
  return bytes;
}

}  // namespace tavrix
