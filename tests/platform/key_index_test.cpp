// Numbered keys: the same number for the same bytes however large the set grows.
#include "platform/key_index.h"

#include <gtest/gtest.h>

#include <string>

namespace tavrix {
namespace {

TEST(KeyIndex, NumbersKeysInTheirFirstOrderThroughEveryGrowth) {
  KeyIndex index;
  // Keys that differ only late, share prefixes, are empty or hold NUL bytes.
  auto keyOf = [](int i) { return i == 0 ? std::string() : std::string("T\0\0\0", 4) + "program " + std::to_string(i * 7919 % 10007); };
  bool added = false;
  for (int i = 0; i < 5000; ++i) {
    ASSERT_EQ(index.numberOf(keyOf(i), added), static_cast<std::uint32_t>(i));
    ASSERT_TRUE(added) << i;
  }
  for (int i = 4999; i >= 0; --i) {
    ASSERT_EQ(index.numberOf(keyOf(i), added), static_cast<std::uint32_t>(i));
    ASSERT_FALSE(added) << i;
    ASSERT_EQ(index.key(static_cast<std::uint32_t>(i)), keyOf(i));
  }
  EXPECT_EQ(index.size(), 5000u);
}

}  // namespace
}  // namespace tavrix
