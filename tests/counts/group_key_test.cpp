// A group's key: NULL and text told apart, lengths first, and with folding exactly the letters A to
// Z lowered (the NOCASE columns' equality), checked against a fold written here byte by byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "counts/fleet_tally.h"

namespace tavrix {
namespace {

std::string lengthPrefixed(const std::string& text) {
  const auto size = static_cast<std::uint32_t>(text.size());
  std::string key = "T";
  key.append(reinterpret_cast<const char*>(&size), sizeof size);
  return key + text;
}

TEST(GroupKey, FoldingLowersExactlyTheAsciiCapitals) {
  std::string every;
  for (int b = 1; b < 256; ++b) every += static_cast<char>(b);
  std::string folded = every;
  for (char& c : folded) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x41 && b <= 0x5A) c = static_cast<char>(b + 0x20);
  }
  std::string key;
  appendGroupKey(key, every, true);
  EXPECT_EQ(key, lengthPrefixed(folded));
  key.clear();
  appendGroupKey(key, every, false);
  EXPECT_EQ(key, lengthPrefixed(every));
}

TEST(GroupKey, NullEmptyAndSplitTextsGiveDifferentKeys) {
  const std::vector<std::vector<db::Value>> groups = {
      {db::Value(), db::Value("x")}, {db::Value(""), db::Value("x")}, {db::Value("ab"), db::Value("c")},
      {db::Value("a"), db::Value("bc")}, {db::Value("ZIP"), db::Value()}};
  for (std::size_t i = 0; i < groups.size(); ++i)
    for (std::size_t j = i + 1; j < groups.size(); ++j)
      EXPECT_NE(groupKey(groups[i], false), groupKey(groups[j], false)) << i << " " << j;
  EXPECT_EQ(groupKey({db::Value("ZIP Tool"), db::Value()}, true), groupKey({db::Value("zip tool"), db::Value()}, true));
}

}  // namespace
}  // namespace tavrix
