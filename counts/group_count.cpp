// One pass over (group columns, PCid) rows: groups and computers found by their case-folded text.
#include "counts/group_count.h"

#include <algorithm>
#include <functional>

#include "counts/fleet_tally.h"
#include "queries/text_match.h"

namespace tavrix::queries {

namespace {

std::string folded(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  return out;
}

// NULL before any text, else text order.
int compareValues(const db::Value& a, const db::Value& b) {
  if (a.isNull() || b.isNull()) return a.isNull() == b.isNull() ? 0 : (a.isNull() ? -1 : 1);
  return compareText(a.text(), b.text());
}

}  // namespace

void sortGroupRows(std::vector<ResultRow>& rows, std::size_t keyColumns) {
  std::sort(rows.begin(), rows.end(), [keyColumns](const ResultRow& a, const ResultRow& b) {
    for (std::size_t c = 0; c < keyColumns; ++c)
      if (int order = compareValues(a[c], b[c]); order != 0) return order < 0;
    return false;
  });
}

GroupCounter::GroupCounter(int keyColumns, Mode mode, Keys keys)
    : keyColumns_(keyColumns), mode_(mode), fold_(keys == Keys::Folded), slots_(1024) {}

std::uint32_t GroupCounter::computerNumber(std::string_view pcId) {
  // A computer's rows come together, so the previous one is nearly always the answer.
  if (!computerIndex_.empty() && pcId == lastPcId_) return lastComputer_;
  auto [found, added] = computerIndex_.try_emplace(folded(pcId), static_cast<std::uint32_t>(computerIndex_.size()));
  // Back to a computer seen before another one: its rows are not together.
  if (!added && found->second != lastComputer_) exact_ = exact_ && mode_ == Mode::Pairs;
  lastPcId_ = pcId;
  lastComputer_ = found->second;
  return lastComputer_;
}

void GroupCounter::grow() {
  std::vector<Slot> bigger(slots_.size() * 2);
  for (const Slot& slot : slots_) {
    if (slot.group == 0) continue;
    std::size_t i = slot.hash & (bigger.size() - 1);
    while (bigger[i].group != 0) i = (i + 1) & (bigger.size() - 1);
    bigger[i] = slot;
  }
  slots_.swap(bigger);
}

std::uint32_t GroupCounter::groupOf(const std::string& key, std::uint64_t hash) {
  std::size_t i = hash & (slots_.size() - 1);
  for (; slots_[i].group != 0; i = (i + 1) & (slots_.size() - 1))
    if (slots_[i].hash == hash && groups_[slots_[i].group - 1].key == key) return slots_[i].group - 1;
  groups_.push_back(Group{key, {}});
  slots_[i] = {hash, static_cast<std::uint32_t>(groups_.size())};
  if (groups_.size() * 2 > slots_.size()) grow();
  return static_cast<std::uint32_t>(groups_.size() - 1);
}

void GroupCounter::showSmaller(Group& group, const db::RowView& row) const {
  if (group.shown.empty()) {
    for (int c = 0; c < keyColumns_; ++c)
      group.shown.push_back(row.isNull(c) ? std::nullopt : std::optional<std::string>(row.text(c)));
    return;
  }
  for (int c = 0; c < keyColumns_; ++c) {
    std::optional<std::string>& shown = group.shown[static_cast<std::size_t>(c)];
    if (!shown) continue;
    const std::string_view text = row.text(c);
    if (text < *shown) shown = std::string(text);
  }
}

void GroupCounter::add(const db::RowView& row) {
  if (row.isNull(keyColumns_)) return;  // no computer to count
  const std::uint32_t computer = computerNumber(row.text(keyColumns_));
  key_.clear();
  for (int c = 0; c < keyColumns_; ++c)
    appendGroupKey(key_, row.isNull(c) ? std::nullopt : std::optional(row.text(c)),
                   fold_);
  Group& group = groups_[groupOf(key_, std::hash<std::string>{}(key_))];
  showSmaller(group, row);
  if (mode_ == Mode::Pairs) {
    pairs_.push_back(std::uint64_t{static_cast<std::uint32_t>(&group - groups_.data())} << 32 | computer);
  } else if (group.lastComputer != computer) {
    group.lastComputer = computer;
    ++group.computers;
  }
}

bool GroupCounter::merge(const GroupCounter& other) {
  exact_ = exact_ && other.exact_ && mode_ == Mode::Contiguous && other.mode_ == Mode::Contiguous;
  for (const auto& [pcId, number] : other.computerIndex_) {
    auto [found, added] = computerIndex_.try_emplace(pcId, static_cast<std::uint32_t>(computerIndex_.size()));
    if (!added) exact_ = false;
  }
  for (const Group& theirs : other.groups_) {
    Group& ours = groups_[groupOf(theirs.key, std::hash<std::string>{}(theirs.key))];
    if (ours.shown.empty()) ours.shown = theirs.shown;
    for (std::size_t c = 0; c < ours.shown.size(); ++c)
      if (ours.shown[c] && *theirs.shown[c] < *ours.shown[c]) ours.shown[c] = theirs.shown[c];
    ours.computers += theirs.computers;
  }
  return exact_;
}

std::vector<GroupCounter::Counted> GroupCounter::groups() const {
  std::vector<std::int64_t> counts(groups_.size());
  if (mode_ == Mode::Pairs) {
    std::vector<std::uint64_t> pairs = pairs_;
    std::sort(pairs.begin(), pairs.end());
    for (std::size_t i = 0; i < pairs.size(); ++i)
      if (i == 0 || pairs[i] != pairs[i - 1]) ++counts[pairs[i] >> 32];
  } else {
    for (std::size_t g = 0; g < groups_.size(); ++g) counts[g] = groups_[g].computers;
  }
  std::vector<Counted> counted;
  counted.reserve(groups_.size());
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    ResultRow values;
    for (const auto& shown : groups_[g].shown) values.push_back(shown ? db::Value(*shown) : db::Value());
    counted.push_back({groups_[g].key, std::move(values), counts[g]});
  }
  return counted;
}

std::vector<ResultRow> GroupCounter::rows() const {
  std::vector<ResultRow> rows;
  for (Counted& group : groups()) {
    rows.push_back(std::move(group.values));
    rows.back().emplace_back(group.computers);
  }
  sortGroupRows(rows, static_cast<std::size_t>(keyColumns_));
  return rows;
}

}  // namespace tavrix::queries
