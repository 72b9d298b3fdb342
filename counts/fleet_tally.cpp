// Group keys and the per-file changes of the fleet counts.
#include "counts/fleet_tally.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "counts/fleet_counts.h"
#include "counts/group_snapshots.h"
#include "platform/key_index.h"

namespace tavrix {

void appendGroupKey(std::string& key, std::optional<std::string_view> text, bool fold) {
  if (!text) {
    key += 'N';
    return;
  }
  const auto size = static_cast<std::uint32_t>(text->size());
  key += 'T';
  key.append(reinterpret_cast<const char*>(&size), sizeof size);
  const std::size_t at = key.size();
  key += *text;
  if (fold)
    for (std::size_t i = at; i < key.size(); ++i)
      if (key[i] >= 'A' && key[i] <= 'Z') key[i] = static_cast<char>(key[i] + ('a' - 'A'));
}

std::string groupKey(const std::vector<db::Value>& values, bool fold) {
  std::string key;
  for (const db::Value& value : values)
    appendGroupKey(key, value.isNull() ? std::nullopt : std::optional<std::string>(value.text()), fold);
  return key;
}

std::size_t snapshotChunk(std::span<const std::string> keys, std::size_t budget,
                          const std::function<std::size_t(const std::string&)>& length) {
  std::size_t n = 0, entries = 0;
  for (; n < keys.size(); ++n) {
    const std::size_t size = length(keys[n]);
    if (n > 0 && entries + size > budget) break;
    entries += size;
  }
  return n;
}

namespace {

// The values a key was made of (the inverse of appendGroupKey without folding).
std::vector<db::Value> groupValues(std::string_view key) {
  std::vector<db::Value> values;
  while (!key.empty()) {
    const char tag = key.front();
    key.remove_prefix(1);
    if (tag == 'N') {
      values.emplace_back();
      continue;
    }
    std::uint32_t size = 0;
    if (key.size() < sizeof size) break;  // not a key this program made
    std::memcpy(&size, key.data(), sizeof size);
    key.remove_prefix(sizeof size);
    values.emplace_back(std::string(key.substr(0, size)));
    key.remove_prefix(std::min<std::size_t>(size, key.size()));
  }
  return values;
}

}  // namespace

// The counts, changed file by file on a thread of its own, in the order the files committed.
class FleetTally::Counter {
 public:
  Counter(const FleetCounts& counts, std::array<KeptSnapshotLists, kTallyKinds> kept, std::size_t budget) {
    for (std::size_t k = 0; k < kTallyKinds; ++k) {
      Kind& kind = kinds_[k];
      kind.snapshots = std::make_shared<GroupSnapshots>(std::move(kept[k]), budget);
      for (const auto& [key, computers] : counts.folded[k]) kind.folded[foldedNumber(kind, key)].computers = computers;
      for (const auto& [key, group] : counts.exact[k]) {
        bool added = false;
        const std::uint32_t n = kind.exactKeys.numberOf(key, added);
        if (added) addGroup(kind, n, groupValues(key));
        kind.exact[n].computers = group.computers;
      }
    }
    thread_ = std::thread([this] { run(); });
  }
  ~Counter() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  Counter(const Counter&) = delete;
  Counter& operator=(const Counter&) = delete;

  // Queues a committed file's notes, waiting while a few are queued; notes gets an empty buffer.
  void add(FileNotes& notes) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < kQueued; });
    queue_.push_back(std::move(notes));
    notes = FileNotes();
    if (!spare_.empty()) {
      notes = std::move(spare_.back());
      spare_.pop_back();
    }
    changed_.notify_all();
  }

  FleetCounts take(const InventoryStamp& stamp) {
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return queue_.empty() && !busy_; });
      if (failure_) std::rethrow_exception(failure_);
    }
    FleetCounts counts;
    counts.stamp = stamp;
    for (std::size_t k = 0; k < kTallyKinds; ++k) {
      Kind& kind = kinds_[k];
      std::vector<std::int64_t> computers(kind.exactKeys.size());
      for (std::uint32_t n = 0; n < kind.exactKeys.size(); ++n) {
        computers[n] = kind.exact[n].computers;
        if (computers[n] <= 0) continue;
        counts.exact[k].emplace(std::string(kind.exactKeys.key(n)),
                                FleetCounts::Group{groupValues(kind.exactKeys.key(n)), computers[n], {}});
      }
      for (std::uint32_t n = 0; n < kind.foldedKeys.size(); ++n)
        if (kind.folded[n].computers > 0) counts.folded[k].emplace(std::string(kind.foldedKeys.key(n)), kind.folded[n].computers);
      kind.snapshots->close(std::move(kind.exactKeys), std::move(computers));
      counts.snapshotLists[k] = std::move(kind.snapshots);
      kinds_[k] = Kind();
    }
    return counts;
  }

 private:
  static constexpr std::size_t kQueued = 4;
  struct Tallied {
    std::int64_t computers = 0;
    std::uint64_t addedIn = 0, removedIn = 0;  // the last file that added / removed the group
  };
  // One kind's groups: every spelling (exact), and every spelling ignoring ASCII case (folded).
  struct Kind {
    KeyIndex exactKeys;
    std::vector<Tallied> exact;
    std::vector<std::uint32_t> foldedOf;  // per exact group, its folded group
    KeyIndex foldedKeys;
    std::vector<Tallied> folded;
    std::shared_ptr<GroupSnapshots> snapshots;  // the snapshots of each exact group
    std::vector<std::uint32_t> fileGroups;       // the groups of the file being counted
    std::int64_t fileRno = 0;                    // its snapshot
  };

  static std::uint32_t foldedNumber(Kind& kind, std::string_view key) {
    bool added = false;
    const std::uint32_t n = kind.foldedKeys.numberOf(key, added);
    if (added) kind.folded.emplace_back();
    return n;
  }
  static void addGroup(Kind& kind, std::uint32_t n, const std::vector<db::Value>& values) {
    kind.exact.resize(n + 1);
    kind.foldedOf.resize(n + 1);
    kind.foldedOf[n] = foldedNumber(kind, groupKey(values, true));
  }

  void run() {
    std::unique_lock lock(mutex_);
    while (true) {
      changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;
      FileNotes notes = std::move(queue_.front());
      queue_.pop_front();
      busy_ = true;
      lock.unlock();
      try {
        if (!failure_) count(notes);
      } catch (...) {
        failure_ = std::current_exception();
      }
      notes.rows.clear();
      notes.keys.clear();
      lock.lock();
      busy_ = false;
      if (spare_.size() < kQueued) spare_.push_back(std::move(notes));
      changed_.notify_all();
    }
  }

  // True when the group counted the change: a computer counts once per group.
  bool change(Tallied& group, int change) const {
    std::uint64_t& last = change > 0 ? group.addedIn : group.removedIn;
    if (last == file_) return false;
    last = file_;
    group.computers += change;
    return true;
  }

  // Each group remembers its snapshots too, for the computers that have a program or an update.
  void count(const FileNotes& notes) {
    ++file_;
    for (Kind& kind : kinds_) kind.fileGroups.clear();
    std::size_t keyStart = 0;
    for (const Noted& row : notes.rows) {
      const std::string_view key = std::string_view(notes.keys).substr(keyStart, row.keyEnd - keyStart);
      keyStart = row.keyEnd;
      Kind& kind = kinds_[static_cast<std::size_t>(row.kind)];
      bool added = false;
      const std::uint32_t n = kind.exactKeys.numberOf(key, added);
      if (added) addGroup(kind, n, groupValues(key));
      const bool counted = change(kind.exact[n], row.change);
      change(kind.folded[kind.foldedOf[n]], row.change);
      if (row.change < 0) kind.snapshots->deleted(row.rno);
      if (row.change < 0 || !counted) continue;
      if (!kind.fileGroups.empty() && kind.fileRno != row.rno) {
        kind.snapshots->add(kind.fileRno, kind.fileGroups);
        kind.fileGroups.clear();
      }
      kind.fileRno = row.rno;
      kind.fileGroups.push_back(n);
    }
    for (Kind& kind : kinds_)
      if (!kind.fileGroups.empty()) kind.snapshots->add(kind.fileRno, kind.fileGroups);
  }

  std::array<Kind, kTallyKinds> kinds_;
  std::uint64_t file_ = 0;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<FileNotes> queue_;   // committed files not counted yet
  std::vector<FileNotes> spare_;  // counted buffers, for the next files
  bool busy_ = false;             // a file is being counted
  bool stopping_ = false;
  std::exception_ptr failure_;
  std::thread thread_;
};

FleetTally::FleetTally() = default;
FleetTally::~FleetTally() = default;
FleetTally::FleetTally(FleetTally&&) noexcept = default;
FleetTally& FleetTally::operator=(FleetTally&&) noexcept = default;

void FleetTally::start(const FleetCounts& counts, std::array<KeptSnapshotLists, kTallyKinds> kept, std::size_t budget) {
  counter_ = std::make_unique<Counter>(counts, std::move(kept), budget);
  stamp_ = counts.stamp;
  rowsAdded_ = {};
  startFile();
}

void FleetTally::startFile() {
  file_.rows.clear();
  file_.keys.clear();
}

void FleetTally::note(TallyKind kind, Texts texts, int change, std::int64_t rno) {
  if (!counter_) return;
  for (const auto& text : texts) appendGroupKey(file_.keys, text, false);
  file_.rows.push_back({kind, change, rno, file_.keys.size()});
}

void FleetTally::markOwnDeletions(db::Connection& connection, bool on) { queries::markOwnDeletions(connection, on); }

void FleetTally::commitFile() {
  for (const Noted& row : file_.rows) rowsAdded_[static_cast<std::size_t>(row.kind)] += row.change;
  if (counter_ && !file_.rows.empty()) counter_->add(file_);
  startFile();
}

FleetCounts FleetTally::takeCounts() {
  startFile();
  if (!counter_) return {};
  FleetCounts counts = counter_->take(stamp_);
  counter_.reset();
  return counts;
}

}  // namespace tavrix
