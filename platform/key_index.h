// Byte-string keys numbered in the order they first come, kept flat: one table of slots and one
// string of keys, so that a lookup touches a few cache lines however many keys there are (node
// based maps scatter theirs over the heap, and each lookup then waits on memory several times).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrix {

class KeyIndex {
 public:
  KeyIndex() : slots_(1024) {}
  // The key's number (0, 1, 2, ...); added tells whether the key is new.
  std::uint32_t numberOf(std::string_view key, bool& added);
  // The key's number when it is there.
  std::optional<std::uint32_t> find(std::string_view key) const;
  std::string_view key(std::uint32_t number) const;
  std::uint32_t size() const { return static_cast<std::uint32_t>(ends_.size()); }

 private:
  struct Slot {
    std::uint32_t tag = 0;     // the high half of the key's hash
    std::uint32_t number = 0;  // the key's number + 1; 0 for an empty slot
  };
  // The slot holding key, or the empty one where it would go.
  std::size_t slotOf(std::string_view key, std::uint64_t hash) const;
  void grow();

  std::vector<Slot> slots_;         // a power of two, at most half full
  std::vector<std::size_t> ends_;   // key n ends at ends_[n] in keys_
  std::string keys_;
};

}  // namespace tavrix
