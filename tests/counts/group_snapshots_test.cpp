// A kind's snapshot lists given a budget at a time: the lists kept before the import, then the
// snapshots it added, without those it deleted, whichever way the groups are cut into chunks.
#include "counts/group_snapshots.h"

#include <gtest/gtest.h>

namespace tavrix {
namespace {

TEST(GroupSnapshots, ListsAreWholeInEveryChunking) {
  using Lists = std::vector<std::vector<std::int64_t>>;
  const std::vector<std::string> keys = {"a", "b", "c", "d"};
  // Kept: a in 1 and 2, c in 3; snapshot 2 is replaced by 12 (a and d), b's 11 by one without b.
  const KeptSnapshotLists kept = [](std::span<const std::string> asked, const auto& each) {
    const std::int64_t a[] = {1, 2}, c[] = {3};
    for (const std::string& key : asked) {
      if (key == "a") each("a", a);
      if (key == "c") each("c", c);
    }
  };
  const Lists expected = {{1, 12}, {}, {3}, {12}};
  for (std::size_t budget : {1, 2, 3, 100}) {
    GroupSnapshots lists(kept, budget);
    KeyIndex numbers;
    bool added = false;
    for (const std::string& key : keys) numbers.numberOf(key, added);
    const std::uint32_t b[] = {1}, ad[] = {0, 3};
    lists.add(11, b);
    lists.deleted(2);
    lists.add(12, ad);
    lists.deleted(11);
    lists.close(std::move(numbers), {2, 0, 1, 1});
    Lists got;
    for (std::size_t at = 0; at < keys.size();) {
      Lists chunk;
      const std::size_t filled = lists.fill(std::span(keys).subspan(at), chunk);
      ASSERT_GE(filled, 1u) << budget;
      ASSERT_EQ(chunk.size(), filled);
      got.insert(got.end(), chunk.begin(), chunk.end());
      at += filled;
    }
    EXPECT_EQ(got, expected) << "budget " << budget;
  }
}

}  // namespace
}  // namespace tavrix
