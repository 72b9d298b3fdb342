// The paged search: computers in the answer's order, each name's computers read together and their
// rows sorted as the whole answer sorts them.
#include "queries/search_pages.h"

#include <algorithm>
#include <iterator>
#include <unordered_set>
#include <variant>

#include "queries/search_matches.h"
#include "queries/statement_rows.h"
#include "queries/text_match.h"
#include "searchindex/search_index_reader.h"

namespace tavrix::queries {

namespace {

// RNOs in a fixed order: NULL, then numbers, then texts (only another program writes those).
bool rnoBefore(const db::Value& a, const db::Value& b) {
  if (a.raw().index() != b.raw().index()) return a.raw().index() < b.raw().index();
  if (std::holds_alternative<std::int64_t>(a.raw())) return a.toInt() < b.toInt();
  return a.text() < b.text();
}

// Fewer computers than this are looked up one by one; more are picked from one read of T_BasicInf.
constexpr std::size_t kLookedUpComputers = 2000;

struct ValueKey {
  std::size_t operator()(const db::Value& v) const { return std::hash<std::string>{}(v.text()) ^ v.raw().index(); }
};

}  // namespace

const std::vector<std::string>& SearchPages::columns() {
  static const std::vector<std::string> names = {"ComputerName", "PCid", "RNO", "Table", "Field", "Value"};
  return names;
}

SearchPages::SearchPages(db::Connection& connection, std::string_view part, SearchWay way)
    : part_(part), pattern_(containsPattern(part)) {
  db::ReadTransaction oneState(connection);
  tables_ = searchindex::searchedTables(connection);
  const auto candidates = way == SearchWay::Fastest ? searchindex::searchCandidates(connection, tables_, part) : std::nullopt;
  readTable_ = candidates ? candidates->tables : std::vector<bool>(tables_.size(), true);
  std::unordered_set<db::Value, ValueKey> named;
  if (candidates) named.insert(candidates->rnos.begin(), candidates->rnos.end());
  if (candidates && named.size() <= kLookedUpComputers) {
    // A few computers: each looked up by its number.
    for (auto rno = named.begin(); rno != named.end();) {
      bool found = false;
      forEachStep(connection, "SELECT ComputerName, PCid FROM T_BasicInf WHERE RNO = ?1", {*rno}, [&](const db::RowView& row) {
        computers_.push_back({*rno, std::string(row.text(0)), std::string(row.text(1))});
        found = true;
      });
      rno = found ? named.erase(rno) : std::next(rno);
    }
  } else {
    db::FewPagesCached readOnce(connection);
    forEachStep(connection, "SELECT RNO, ComputerName, PCid FROM T_BasicInf", {}, [&](const db::RowView& row) {
      db::Value rno = row.value(0);
      if (candidates && named.erase(rno) == 0) return;
      computers_.push_back({std::move(rno), std::string(row.text(1)), std::string(row.text(2))});
    });
  }
  for (const db::Value& rno : named) computers_.push_back({rno, "", ""});  // rows of no computer: no name
  std::sort(computers_.begin(), computers_.end(), [](const Computer& a, const Computer& b) {
    if (const int order = compareText(a.name, b.name); order != 0) return order < 0;
    if (const int order = compareText(a.pcId, b.pcId); order != 0) return order < 0;
    return rnoBefore(a.rno, b.rno);
  });
}

SearchPage SearchPages::read(db::Connection& connection, std::size_t minRows) const {
  db::ReadTransaction oneState(connection);
  db::FewPagesCached readOnce(connection);  // a broad text's pages read most of the file, each once
  SearchPage page{{}, next_};
  std::vector<const db::Value*> group;
  while (page.nextComputer < computers_.size() && (page.rows.size() < minRows || page.rows.empty())) {
    // Every computer of one name: their rows sort among each other by PCid, table, field and value.
    group.clear();
    const std::string& name = computers_[page.nextComputer].name;
    for (; page.nextComputer < computers_.size() && computers_[page.nextComputer].name == name; ++page.nextComputer)
      group.push_back(&computers_[page.nextComputer].rno);
    std::sort(group.begin(), group.end(), [](const db::Value* a, const db::Value* b) { return rnoBefore(*a, *b); });
    const std::size_t first = page.rows.size();
    for (std::size_t t = 0; t < tables_.size(); ++t) {
      if (!readTable_[t]) continue;
      for (const db::Value* rno : group) collectSnapshotMatches(connection, tables_[t], *rno, pattern_, part_, page.rows);
    }
    std::stable_sort(page.rows.begin() + static_cast<std::ptrdiff_t>(first), page.rows.end(), searchRowBefore);
  }
  return page;
}

}  // namespace tavrix::queries
