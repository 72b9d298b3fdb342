// A small deterministic random source for the sample inventories: the same seed gives the same fleet
// on every machine and compiler (no std distributions, whose results are not portable).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavrix::samples {

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  // splitmix64
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // A whole number in [low, high].
  int between(int low, int high) {
    return low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low + 1));
  }
  bool chance(int percent) { return between(0, 99) < percent; }
  template <typename T>
  const T& pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(between(0, static_cast<int>(items.size()) - 1))];
  }
  // k distinct indexes of [0, n), in increasing order (k is cut to n).
  std::vector<int> sample(int n, int k) {
    std::vector<int> chosen;
    for (int i = 0; i < n && static_cast<int>(chosen.size()) < k; ++i)
      if (between(0, n - i - 1) < k - static_cast<int>(chosen.size())) chosen.push_back(i);
    return chosen;
  }

 private:
  std::uint64_t state_;
};

// Seed of computer index in the fleet of seed.
inline std::uint64_t computerSeed(std::uint64_t fleetSeed, int index) {
  Random r(fleetSeed * 0x100000001B3ULL + static_cast<std::uint64_t>(index));
  return r.next();
}

}  // namespace tavrix::samples
