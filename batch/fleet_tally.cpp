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

void FleetTally::start(FleetCounts counts) {
  counts_ = std::move(counts);
  active_ = true;
  startFile();
}

void FleetTally::startFile() {
  for (auto* sides : {&removed_, &added_})
    for (FileGroups& groups : *sides) {
      groups.exact.clear();
      groups.folded.clear();
    }
}

void FleetTally::note(FileGroups& groups, std::vector<db::Value> values) {
  groups.folded.insert(groupKey(values, true));
  std::string exact = groupKey(values, false);
  groups.exact.try_emplace(std::move(exact), std::move(values));
}

void FleetTally::removed(TallyKind kind, std::vector<db::Value> values) {
  if (active_) note(removed_[static_cast<std::size_t>(kind)], std::move(values));
}

void FleetTally::added(TallyKind kind, std::vector<db::Value> values) {
  if (active_) note(added_[static_cast<std::size_t>(kind)], std::move(values));
}

void FleetTally::apply(TallyKind kind, const FileGroups& groups, int change) {
  const auto k = static_cast<std::size_t>(kind);
  for (const auto& [key, values] : groups.exact) {
    auto [found, added] = counts_.exact[k].try_emplace(key, FleetCounts::Group{values, 0});
    if ((found->second.computers += change) <= 0) counts_.exact[k].erase(found);
  }
  for (const std::string& key : groups.folded) {
    auto [found, added] = counts_.folded[k].try_emplace(key, 0);
    if ((found->second += change) <= 0) counts_.folded[k].erase(found);
  }
}

void FleetTally::commitFile() {
  if (!active_) return;
  for (std::size_t k = 0; k < kTallyKinds; ++k) {
    apply(static_cast<TallyKind>(k), added_[k], +1);
    apply(static_cast<TallyKind>(k), removed_[k], -1);
  }
  startFile();
}

}  // namespace tavrix
