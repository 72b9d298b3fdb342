// A set of snapshot numbers (RNOs) for the millions a broad search names: numbers from 0 below 2^31
// as bits in blocks of 65,536 made as they are needed, a bit each; any other number (only another
// program writes one) in a tree.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <vector>

namespace tavrix::searchindex {

class SnapshotSet {
 public:
  void add(std::int64_t rno) {
    if (!inBlocks(rno)) {
      size_ += others_.insert(rno).second ? 1 : 0;
      return;
    }
    const auto block = static_cast<std::size_t>(rno / kBlockBits);
    if (block >= blocks_.size()) blocks_.resize(block + 1);
    if (!blocks_[block]) blocks_[block] = std::make_unique<Block>();
    size_ += (word(rno) & bit(rno)) == 0 ? 1 : 0;
    word(rno) |= bit(rno);
  }
  std::size_t size() const { return size_; }
  bool contains(std::int64_t rno) const {
    if (!inBlocks(rno)) return others_.contains(rno);
    const auto block = static_cast<std::size_t>(rno / kBlockBits);
    return block < blocks_.size() && blocks_[block] && (word(rno) & bit(rno)) != 0;
  }
  void remove(std::int64_t rno) {
    if (!contains(rno)) return;
    --size_;
    if (!inBlocks(rno)) others_.erase(rno);
    else word(rno) &= ~bit(rno);
  }
  // Every number once, ascending.
  template <typename Each>
  void forEach(Each each) const {
    auto other = others_.begin();
    for (; other != others_.end() && *other < 0; ++other) each(*other);
    for (std::size_t block = 0; block < blocks_.size(); ++block) {
      if (!blocks_[block]) continue;
      for (std::size_t w = 0; w < blocks_[block]->size(); ++w)
        for (std::uint64_t bits = (*blocks_[block])[w]; bits != 0; bits &= bits - 1)
          each(static_cast<std::int64_t>(block) * kBlockBits + static_cast<std::int64_t>(w * 64) + __builtin_ctzll(bits));
    }
    for (; other != others_.end(); ++other) each(*other);
  }

 private:
  static constexpr std::int64_t kBlockBits = 65536;
  static constexpr std::int64_t kMostBlocks = 32768;
  using Block = std::array<std::uint64_t, kBlockBits / 64>;
  static bool inBlocks(std::int64_t rno) { return rno >= 0 && rno < kBlockBits * kMostBlocks; }
  static std::uint64_t bit(std::int64_t rno) { return std::uint64_t{1} << (rno % 64); }
  std::uint64_t& word(std::int64_t rno) const {
    return (*blocks_[static_cast<std::size_t>(rno / kBlockBits)])[static_cast<std::size_t>(rno % kBlockBits / 64)];
  }

  std::vector<std::unique_ptr<Block>> blocks_;
  std::set<std::int64_t> others_;
  std::size_t size_ = 0;
};

}  // namespace tavrix::searchindex
