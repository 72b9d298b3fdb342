// Byte-string keys numbered in the order they first come, kept flat.
#include "platform/key_index.h"

#include <functional>

namespace tavrix {

std::string_view KeyIndex::key(std::uint32_t number) const {
  const std::size_t start = number == 0 ? 0 : ends_[number - 1];
  return std::string_view(keys_).substr(start, ends_[number] - start);
}

std::size_t KeyIndex::slotOf(std::string_view key, std::uint64_t hash) const {
  const auto tag = static_cast<std::uint32_t>(hash >> 32);
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = hash & mask;
  while (slots_[i].number != 0 && !(slots_[i].tag == tag && this->key(slots_[i].number - 1) == key)) i = (i + 1) & mask;
  return i;
}

std::optional<std::uint32_t> KeyIndex::find(std::string_view key) const {
  const Slot& slot = slots_[slotOf(key, std::hash<std::string_view>()(key))];
  if (slot.number == 0) return std::nullopt;
  return slot.number - 1;
}

std::uint32_t KeyIndex::numberOf(std::string_view key, bool& added) {
  const std::uint64_t hash = std::hash<std::string_view>()(key);
  const std::size_t i = slotOf(key, hash);
  added = slots_[i].number == 0;
  if (!added) return slots_[i].number - 1;
  keys_ += key;
  ends_.push_back(keys_.size());
  slots_[i] = {static_cast<std::uint32_t>(hash >> 32), size()};
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
