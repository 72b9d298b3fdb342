// One pass over (group columns, PCid) rows: groups found by their exact bytes, computers by their
// case-folded text; groups whose spellings differ only in ASCII case are merged at the end.
#include "queries/group_count.h"

#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <map>

#include "queries/text_match.h"

namespace tavrix::queries {

namespace {

std::string folded(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  return out;
}

std::string_view columnText(sqlite3_stmt* stmt, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
  return text ? std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt, column))) : std::string_view();
}

// NULL before any text, else text order.
int compareValues(const db::Value& a, const db::Value& b) {
  if (a.isNull() || b.isNull()) return a.isNull() == b.isNull() ? 0 : (a.isNull() ? -1 : 1);
  return compareText(a.text(), b.text());
}

}  // namespace

std::uint32_t GroupCounter::computerNumber(std::string_view pcId) {
  // A computer's rows come together, so the previous one is nearly always the answer.
  if (!computerIndex_.empty() && pcId == lastPcId_) return lastComputer_;
  auto [found, added] = computerIndex_.try_emplace(folded(pcId), static_cast<std::uint32_t>(computerIndex_.size()));
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

std::uint32_t GroupCounter::groupOf(sqlite3_stmt* stmt) {
  key_.clear();
  for (int c = 0; c < keyColumns_; ++c) {
    key_ += sqlite3_column_type(stmt, c) == SQLITE_NULL ? 'N' : 'T';  // NULL and empty text differ
    key_ += columnText(stmt, c);
    key_ += '\0';
  }
  const std::uint64_t hash = std::hash<std::string>{}(key_);
  std::size_t i = hash & (slots_.size() - 1);
  for (; slots_[i].group != 0; i = (i + 1) & (slots_.size() - 1))
    if (slots_[i].hash == hash && groups_[slots_[i].group - 1].key == key_) return slots_[i].group - 1;
  Group group{key_, {}};
  for (int c = 0; c < keyColumns_; ++c) group.shown.push_back(db::columnValue(stmt, c));
  groups_.push_back(std::move(group));
  slots_[i] = {hash, static_cast<std::uint32_t>(groups_.size())};
  if (groups_.size() * 2 > slots_.size()) grow();
  return static_cast<std::uint32_t>(groups_.size() - 1);
}

void GroupCounter::add(sqlite3_stmt* stmt) {
  if (sqlite3_column_type(stmt, keyColumns_) == SQLITE_NULL) return;  // no computer to count
  const std::uint32_t computer = computerNumber(columnText(stmt, keyColumns_));
  pairs_.push_back(std::uint64_t{groupOf(stmt)} << 32 | computer);
}

std::vector<ResultRow> GroupCounter::rows() const {
  // Spellings that differ only in ASCII case are one group, as the NOCASE columns compare them;
  // the merged group shows the smallest spelling in byte order.
  std::map<std::string, std::uint32_t> mergedIndex;
  std::vector<std::uint32_t> mergedOf(groups_.size());
  std::vector<ResultRow> rows;
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    auto [found, added] = mergedIndex.try_emplace(folded(groups_[g].key), static_cast<std::uint32_t>(rows.size()));
    mergedOf[g] = found->second;
    if (added) {
      rows.push_back(groups_[g].shown);
      continue;
    }
    ResultRow& shown = rows[found->second];
    for (std::size_t c = 0; c < shown.size(); ++c)
      if (!shown[c].isNull() && groups_[g].shown[c].text() < shown[c].text()) shown[c] = groups_[g].shown[c];
  }
  std::vector<std::uint64_t> pairs(pairs_.size());
  std::transform(pairs_.begin(), pairs_.end(), pairs.begin(),
                 [&](std::uint64_t p) { return std::uint64_t{mergedOf[p >> 32]} << 32 | (p & 0xFFFFFFFFu); });
  std::sort(pairs.begin(), pairs.end());
  std::vector<std::int64_t> counts(rows.size());
  for (std::size_t i = 0; i < pairs.size(); ++i)
    if (i == 0 || pairs[i] != pairs[i - 1]) ++counts[pairs[i] >> 32];
  for (std::size_t r = 0; r < rows.size(); ++r) rows[r].push_back(db::Value(counts[r]));
  const auto before = [this](const ResultRow& a, const ResultRow& b) {
    for (std::size_t c = 0; c < static_cast<std::size_t>(keyColumns_); ++c)
      if (int order = compareValues(a[c], b[c]); order != 0) return order < 0;
    return false;
  };
  std::sort(rows.begin(), rows.end(), before);
  return rows;
}

}  // namespace tavrix::queries
