// The snapshots that have each group of one kind, kept in a temporary file while the import runs.
#include "counts/group_snapshots.h"

#include <algorithm>
#include <stdexcept>

namespace tavrix {

void GroupSnapshots::add(std::int64_t rno, std::span<const std::uint32_t> groups) {
  if (!added_) {
    added_.reset(std::tmpfile());  // gone with the process, however it ends
    if (!added_) throw std::runtime_error("no temporary file for the snapshot lists");
  }
  const auto count = static_cast<std::uint32_t>(groups.size());
  if (std::fwrite(&rno, sizeof rno, 1, added_.get()) != 1 || std::fwrite(&count, sizeof count, 1, added_.get()) != 1 ||
      std::fwrite(groups.data(), sizeof(std::uint32_t), groups.size(), added_.get()) != groups.size())
    throw std::runtime_error("the snapshot lists could not be written to a temporary file");
}

void GroupSnapshots::close(KeyIndex keys, std::vector<std::int64_t> computers) {
  keys_ = std::move(keys);
  computers_ = std::move(computers);
  if (added_ && std::fflush(added_.get()) != 0)
    throw std::runtime_error("the snapshot lists could not be written to a temporary file");
}

// The snapshots the import added, in the order they committed (rising RNOs).
void GroupSnapshots::readAdded(const std::vector<std::int32_t>& position, std::vector<std::vector<std::int64_t>>& lists) {
  if (!added_) return;
  std::rewind(added_.get());
  std::int64_t rno = 0;
  std::uint32_t count = 0;
  std::vector<std::uint32_t> groups;
  while (std::fread(&rno, sizeof rno, 1, added_.get()) == 1) {
    if (std::fread(&count, sizeof count, 1, added_.get()) != 1) break;
    groups.resize(count);
    if (std::fread(groups.data(), sizeof(std::uint32_t), count, added_.get()) != count) break;
    if (deleted_.contains(rno)) continue;
    for (std::uint32_t g : groups)
      if (g < position.size() && position[g] >= 0) lists[static_cast<std::size_t>(position[g])].push_back(rno);
  }
  if (std::ferror(added_.get())) throw std::runtime_error("the snapshot lists could not be read back");
}

std::size_t GroupSnapshots::fill(std::span<const std::string> keys, std::vector<std::vector<std::int64_t>>& lists) {
  const auto length = [this](const std::string& key) -> std::size_t {
    const auto group = keys_.find(key);
    return group && *group < computers_.size() ? static_cast<std::size_t>(std::max<std::int64_t>(0, computers_[*group])) : 0;
  };
  const std::size_t n = snapshotChunk(keys, budget_, length);
  std::vector<std::int32_t> position(keys_.size(), -1);  // group number -> its place in keys
  lists.assign(n, {});
  for (std::size_t i = 0; i < n; ++i) {
    if (const auto group = keys_.find(keys[i])) position[*group] = static_cast<std::int32_t>(i);
    lists[i].reserve(length(keys[i]));
  }
  // Those kept before the import (lower RNOs), then those it added.
  if (kept_) {
    kept_(keys.first(n), [&](std::string_view key, std::span<const std::int64_t> rnos) {
      const auto group = keys_.find(key);
      if (!group || position[*group] < 0) return;
      for (std::int64_t rno : rnos)
        if (!deleted_.contains(rno)) lists[static_cast<std::size_t>(position[*group])].push_back(rno);
    });
  }
  readAdded(position, lists);
  return n;
}

}  // namespace tavrix
