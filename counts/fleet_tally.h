// The fleet's software and update counts (distinct computers per program and version, per update),
// and what the import changes in them: per committed file, the groups its computer lost and gained.
// The batch keeps the counts beside the database so that the fleet's summaries need no scan.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "batch/import_tally.h"
#include "platform/db.h"

namespace tavrix {

// A group's text columns as one key: NULL and text told apart, lengths prefixed; with fold, ASCII
// letters in lower case (the NOCASE columns' equality).
void appendGroupKey(std::string& key, std::optional<std::string_view> text, bool fold);
// The key of a group's values (a number as its digits, as SQLite gives it as text).
std::string groupKey(const std::vector<db::Value>& values, bool fold);

// A counted table's rows: how many, the highest rowid and that row's key columns as text. A row
// added or deleted changes the first two (one deleted and one added in its place, the third).
struct TableStamp {
  std::int64_t rows = 0;
  std::int64_t lastRow = 0;
  std::string last;
  bool operator==(const TableStamp&) const = default;
};

// The state of the inventory the counts belong to: the database's own id (a counts file copied from
// another database never matches), the writes made to the counted tables other than the import's
// (their updates, counted by triggers), T_BasicInf's last RNO given and its row count (every
// committed import takes a new RNO), and the counted tables' rows.
struct InventoryStamp {
  std::string databaseId;
  std::int64_t outsideChanges = 0;
  std::int64_t lastRno = 0;
  std::int64_t computers = 0;
  std::array<TableStamp, kTallyKinds> tables{};  // by TallyKind
  bool operator==(const InventoryStamp&) const = default;
  // No computer, program or update at all.
  bool empty() const { return lastRno == 0 && computers == 0 && tables == std::array<TableStamp, kTallyKinds>{}; }
};

// The snapshots (RNO) of the groups of one kind given a bounded number at a time, so that writing
// the counts of a large fleet does not hold every list at once.
class SnapshotLists {
 public:
  virtual ~SnapshotLists() = default;
  // Fills lists with the snapshots of keys[0], keys[1], ... (exact group keys): as many groups as
  // fit its budget, at least one; returns how many.
  virtual std::size_t fill(std::span<const std::string> keys, std::vector<std::vector<std::int64_t>>& lists) = 0;
};

// How many of keys, from the first, make one chunk of lists: those whose lengths (length(key)) add
// up to at most budget, and always the first.
std::size_t snapshotChunk(std::span<const std::string> keys, std::size_t budget,
                          const std::function<std::size_t(const std::string&)>& length);

// Calls its second argument with the key and snapshots of each of keys that counts kept earlier
// list (of one kind), in any order.
using KeptSnapshotLists = std::function<void(std::span<const std::string> keys,
                                             const std::function<void(std::string_view key, std::span<const std::int64_t> rnos)>&)>;

struct FleetCounts {
  struct Group {
    std::vector<db::Value> values;  // the group's columns (exact spelling)
    std::int64_t computers = 0;
    std::vector<std::int64_t> rnos;  // the snapshots (RNO) that have it, when read
  };
  InventoryStamp stamp;
  // Per kind: when set, the groups' snapshots come from here, not from their rnos.
  std::array<std::shared_ptr<SnapshotLists>, kTallyKinds> snapshotLists;
  // Per kind: computers per exact spelling (exact key), and per spelling ignoring ASCII case (folded key).
  std::array<std::unordered_map<std::string, Group>, kTallyKinds> exact;
  std::array<std::unordered_map<std::string, std::int64_t>, kTallyKinds> folded;
};

// Counts one row at a time as the import adds and deletes them. A file's rows are noted as they
// come (its key bytes appended to a buffer) and counted once the file commits, on a thread of their
// own: between the rows' inserts the groups would never stay in the cache. Each group counts a
// computer once per file; what a file noted is dropped unless it commits.
class FleetTally final : public ImportTally {
 public:
  FleetTally();
  ~FleetTally() override;
  FleetTally(FleetTally&&) noexcept;
  FleetTally& operator=(FleetTally&&) noexcept;

  // Starts counting changes to counts (those of the inventory as it is now); each kind's snapshots
  // before the import come from kept (the groups' rnos are not read). The lists are written budget
  // RNOs at a time.
  void start(const FleetCounts& counts, std::array<KeptSnapshotLists, kTallyKinds> kept = {},
             std::size_t budget = kSnapshotBudget);
  // 32 MiB of lists at a time: a fleet's update lists (400 a computer) in a few passes.
  static constexpr std::size_t kSnapshotBudget = 1 << 22;
  bool active() const { return counter_ != nullptr; }
  // The inventory's stamp when counting started.
  const InventoryStamp& startStamp() const { return stamp_; }
  // The rows of each kind that committed files added less those they deleted.
  std::int64_t rowsAdded(TallyKind kind) const { return rowsAdded_[static_cast<std::size_t>(kind)]; }
  void startFile() override;
  void removed(TallyKind kind, Texts texts, std::int64_t rno) override { note(kind, texts, -1, rno); }
  void added(TallyKind kind, Texts texts, std::int64_t rno) override { note(kind, texts, +1, rno); }
  void markOwnDeletions(db::Connection& connection, bool on) override;
  void commitFile() override;
  // The counts with every committed file's changes; the tally is spent (its lists move out).
  // Throws what the counting thread failed with.
  FleetCounts takeCounts();

  struct Noted {
    TallyKind kind;
    int change;
    std::int64_t rno;
    std::size_t keyEnd;  // the row's key ends here in FileNotes::keys
  };
  struct FileNotes {
    std::vector<Noted> rows;
    std::string keys;  // the rows' keys, one after another
  };

 private:
  class Counter;
  void note(TallyKind kind, Texts texts, int change, std::int64_t rno);

  InventoryStamp stamp_;
  std::array<std::int64_t, kTallyKinds> rowsAdded_{};
  FileNotes file_;  // the current file's rows, not counted yet
  std::unique_ptr<Counter> counter_;
};

}  // namespace tavrix
