// The fleet's software and update counts (distinct computers per program and version, per update),
// and what the import changes in them: per committed file, the groups its computer lost and gained.
// The batch keeps the counts beside the database so that the fleet's summaries need no scan.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/db.h"

namespace tavrix {

enum class TallyKind : std::size_t { Software, Updates };
constexpr std::size_t kTallyKinds = 2;

// A group's text columns as one key: NULL and text told apart, lengths prefixed; with fold, ASCII
// letters in lower case (the NOCASE columns' equality).
void appendGroupKey(std::string& key, std::optional<std::string_view> text, bool fold);
// The key of a group's values (a number as its digits, as SQLite gives it as text).
std::string groupKey(const std::vector<db::Value>& values, bool fold);

// The state of the inventory the counts belong to: T_BasicInf's last RNO given and its row count.
// Every committed import takes a new RNO, so any import since makes the stamp differ.
struct InventoryStamp {
  std::int64_t lastRno = 0;
  std::int64_t computers = 0;
  bool operator==(const InventoryStamp&) const = default;
};

struct FleetCounts {
  struct Group {
    std::vector<db::Value> values;  // the group's columns (exact spelling)
    std::int64_t computers = 0;
  };
  InventoryStamp stamp;
  // Per kind: computers per exact spelling (exact key), and per spelling ignoring ASCII case (folded key).
  std::array<std::unordered_map<std::string, Group>, kTallyKinds> exact;
  std::array<std::unordered_map<std::string, std::int64_t>, kTallyKinds> folded;
};

class FleetTally {
 public:
  // Starts counting changes to counts (those of the inventory as it is now).
  void start(FleetCounts counts);
  bool active() const { return active_; }
  void startFile();
  // A row of the computer's earlier snapshot, deleted; or one of its new snapshot, added.
  void removed(TallyKind kind, std::vector<db::Value> values);
  void added(TallyKind kind, std::vector<db::Value> values);
  // The file committed: its computer's groups move from the earlier snapshot's to the new one's.
  void commitFile();
  // The counts with every committed file's changes.
  const FleetCounts& counts() const { return counts_; }

 private:
  struct FileGroups {
    std::unordered_map<std::string, std::vector<db::Value>> exact;
    std::unordered_set<std::string> folded;
  };
  void note(FileGroups& groups, std::vector<db::Value> values);
  void apply(TallyKind kind, const FileGroups& groups, int change);

  bool active_ = false;
  FleetCounts counts_;
  std::array<FileGroups, kTallyKinds> removed_, added_;
};

}  // namespace tavrix
