// The snapshots that have each group of one kind (a program and version, an update), kept in a
// temporary file while the import runs and made a bounded number at a time when the counts are
// written: memory follows neither the number of files imported nor the size of the fleet.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <unordered_set>
#include <vector>

#include "counts/fleet_tally.h"
#include "platform/key_index.h"

namespace tavrix {

class GroupSnapshots final : public SnapshotLists {
 public:
  // kept gives the lists of the counts kept before the import (none when empty); a fill takes
  // groups until their computers reach budget.
  GroupSnapshots(KeptSnapshotLists kept, std::size_t budget) : kept_(std::move(kept)), budget_(budget) {}
  GroupSnapshots(const GroupSnapshots&) = delete;
  GroupSnapshots& operator=(const GroupSnapshots&) = delete;

  // A committed file's new snapshot has the groups (numbers of the tally's keys of the kind).
  // Throws when the temporary file cannot be written.
  void add(std::int64_t rno, std::span<const std::uint32_t> groups);
  // A committed file deleted the snapshot rno.
  void deleted(std::int64_t rno) { deleted_.insert(rno); }
  // The import ended: the groups' keys, and each group's computers (its list's length).
  void close(KeyIndex keys, std::vector<std::int64_t> computers);

  std::size_t fill(std::span<const std::string> keys, std::vector<std::vector<std::int64_t>>& lists) override;

 private:
  struct CloseFile {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  void readAdded(const std::vector<std::int32_t>& position, std::vector<std::vector<std::int64_t>>& lists);

  KeptSnapshotLists kept_;
  std::size_t budget_;
  std::unique_ptr<std::FILE, CloseFile> added_;  // per snapshot: RNO, group count, groups
  std::unordered_set<std::int64_t> deleted_;
  KeyIndex keys_;
  std::vector<std::int64_t> computers_;
};

}  // namespace tavrix
