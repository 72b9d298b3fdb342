// Group keys and the per-file changes of the fleet counts.
#include "batch/fleet_tally.h"


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

FleetTally::ExactTallied& FleetTally::exactGroup(std::size_t kind, const std::vector<db::Value>& values,
                                                  std::int64_t computers) {
  ExactTallied& group = exact_[kind][groupKey(values, false)];
  group.count.computers = computers;
  group.rnos.clear();
  group.values = values;
  group.folded = &folded_[kind][groupKey(values, true)];
  return group;
}

void FleetTally::start(const FleetCounts& counts) {
  *this = FleetTally();
  stamp_ = counts.stamp;
  for (std::size_t k = 0; k < kTallyKinds; ++k) {
    for (const auto& [key, computers] : counts.folded[k]) folded_[k][key].computers = computers;
    for (const auto& [key, group] : counts.exact[k]) exactGroup(k, group.values, group.computers).rnos = group.rnos;
  }
  active_ = true;
}

void FleetTally::startFile() {
  undoUncommitted();
  ++file_;
}

void FleetTally::change(Tallied& group, int change) {
  std::uint64_t& last = change > 0 ? group.addedIn : group.removedIn;
  if (last == file_) return;  // a computer counts once per group
  last = file_;
  group.computers += change;
  undo_.emplace_back(&group.computers, -change);
}

// Programs remember their snapshots, for the computers that have a program.
void FleetTally::noteSnapshot(TallyKind kind, ExactTallied& group, int change, std::int64_t rno) {
  if (kind != TallyKind::Software) return;
  if (change > 0 && (group.rnos.empty() || group.rnos.back() != rno)) {
    group.rnos.push_back(rno);
    undoAdded_.push_back(&group.rnos);
  }
  if (change < 0 && deleted_.insert(rno).second) undoDeleted_.push_back(rno);
}

void FleetTally::note(TallyKind kind, Texts texts, int change, std::int64_t rno) {
  if (!active_) return;
  const auto k = static_cast<std::size_t>(kind);
  key_.clear();
  for (const auto& text : texts) appendGroupKey(key_, text, false);
  auto found = exact_[k].find(key_);
  ExactTallied* group = found == exact_[k].end() ? nullptr : &found->second;
  if (!group) {  // a spelling not seen before
    std::vector<db::Value> values;
    for (const auto& text : texts) values.push_back(text ? db::Value(std::string(*text)) : db::Value());
    group = &exactGroup(k, values, 0);
  }
  this->change(group->count, change);
  this->change(*group->folded, change);
  noteSnapshot(kind, *group, change, rno);
}

void FleetTally::commitFile() {
  undo_.clear();
  undoAdded_.clear();
  undoDeleted_.clear();
}

void FleetTally::undoUncommitted() {
  for (const auto& [computers, change] : undo_) *computers += change;
  for (std::vector<std::int64_t>* rnos : undoAdded_) rnos->pop_back();
  for (std::int64_t rno : undoDeleted_) deleted_.erase(rno);
  commitFile();
}

FleetCounts FleetTally::takeCounts() {
  undoUncommitted();
  FleetCounts counts;
  counts.stamp = stamp_;
  for (std::size_t k = 0; k < kTallyKinds; ++k) {
    for (auto& [key, group] : exact_[k]) {
      if (group.count.computers <= 0) continue;
      std::erase_if(group.rnos, [this](std::int64_t rno) { return deleted_.contains(rno); });
      counts.exact[k].emplace(key, FleetCounts::Group{std::move(group.values), group.count.computers, std::move(group.rnos)});
    }
    exact_[k].clear();
    for (const auto& [key, group] : folded_[k])
      if (group.computers > 0) counts.folded[k].emplace(key, group.computers);
  }
  return counts;
}

}  // namespace tavrix
