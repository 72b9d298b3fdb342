// One pass over (group columns, PCid) rows: groups and computers found by their case-folded text.
#include "queries/group_count.h"

#include <sqlite3.h>

#include <algorithm>
#include <variant>

#include "queries/text_match.h"

namespace tavrix::queries {

namespace {

void appendFolded(std::string& out, std::string_view text) {
  for (char c : text) out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
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
  std::string folded;
  appendFolded(folded, pcId);
  auto [found, added] = computerIndex_.try_emplace(folded, static_cast<std::uint32_t>(computerIndex_.size()));
  lastPcId_ = pcId;
  lastComputer_ = found->second;
  return lastComputer_;
}

void GroupCounter::add(sqlite3_stmt* stmt) {
  key_.clear();
  for (int c = 0; c < keyColumns_; ++c) {
    const bool isNull = sqlite3_column_type(stmt, c) == SQLITE_NULL;
    key_ += isNull ? 'N' : 'T';  // NULL and empty text are different groups
    appendFolded(key_, columnText(stmt, c));
    key_ += '\0';
  }
  if (sqlite3_column_type(stmt, keyColumns_) == SQLITE_NULL) return;  // no computer to count
  const std::uint32_t computer = computerNumber(columnText(stmt, keyColumns_));
  auto [found, added] = groupIndex_.try_emplace(key_, groups_.size());
  if (added) {
    Group group;
    for (int c = 0; c < keyColumns_; ++c) group.shown.push_back(db::columnValue(stmt, c));
    groups_.push_back(std::move(group));
  }
  Group& group = groups_[found->second];
  if (!added) {
    for (int c = 0; c < keyColumns_; ++c) {
      const std::string_view text = columnText(stmt, c);
      db::Value& shown = group.shown[static_cast<std::size_t>(c)];
      const auto* spelling = std::get_if<std::string>(&shown.raw());
      if (spelling && text < *spelling) shown = db::Value(std::string(text));
    }
  }
  if (group.computers.empty() || group.computers.back() != computer) group.computers.push_back(computer);
}

std::vector<ResultRow> GroupCounter::rows() const {
  std::vector<ResultRow> rows;
  rows.reserve(groups_.size());
  for (const Group& group : groups_) {
    std::vector<std::uint32_t> computers = group.computers;
    std::sort(computers.begin(), computers.end());
    const auto distinct = std::unique(computers.begin(), computers.end()) - computers.begin();
    ResultRow row = group.shown;
    row.push_back(db::Value(static_cast<std::int64_t>(distinct)));
    rows.push_back(std::move(row));
  }
  const auto before = [this](const ResultRow& a, const ResultRow& b) {
    for (std::size_t c = 0; c < static_cast<std::size_t>(keyColumns_); ++c)
      if (int order = compareValues(a[c], b[c]); order != 0) return order < 0;
    return false;
  };
  std::sort(rows.begin(), rows.end(), before);
  return rows;
}

}  // namespace tavrix::queries
