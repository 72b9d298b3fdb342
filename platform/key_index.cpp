// Byte-string keys numbered in the order they first come, kept flat.
#include "platform/key_index.h"

#include <functional>

namespace tavrix {

std::string_view KeyIndex::key(std::uint32_t number) const {
  const std::size_t start = number == 0 ? 0 : ends_[number - 1];
  return std::string_view(keys_).substr(start, ends_[number] - start);
}

std::optional<std::uint32_t> KeyIndex::find(std::string_view key) const {
  const std::uint64_t hash = std::hash<std::string_view>()(key);
  const auto tag = static_cast<std::uint32_t>(hash >> 32);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask; slots_[i].number != 0; i = (i + 1) & mask)
    if (slots_[i].tag == tag && this->key(slots_[i].number - 1) == key) return slots_[i].number - 1;
  return std::nullopt;
}

std::uint32_t KeyIndex::numberOf(std::string_view key, bool& added) {
  if (const auto found = find(key)) {
    added = false;
    return *found;
  }
  const std::uint64_t hash = std::hash<std::string_view>()(key);
  const auto tag = static_cast<std::uint32_t>(hash >> 32);
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = hash & mask;
  while (slots_[i].number != 0) i = (i + 1) & mask;
  added = true;
  keys_ += key;
  ends_.push_back(keys_.size());
  slots_[i] = {tag, size()};
  if (std::size_t{size()} * 2 > slots_.size()) grow();
  return size() - 1;
}

void KeyIndex::grow() {
  std::vector<Slot> bigger(slots_.size() * 2);
  const std::size_t mask = bigger.size() - 1;
  for (std::uint32_t n = 0; n < size(); ++n) {
    const std::uint64_t hash = std::hash<std::string_view>()(key(n));
    std::size_t i = hash & mask;
    while (bigger[i].number != 0) i = (i + 1) & mask;
    bigger[i] = {static_cast<std::uint32_t>(hash >> 32), n + 1};
  }
  slots_.swap(bigger);
}

}  // namespace tavrix
