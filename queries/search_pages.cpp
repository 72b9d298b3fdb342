// The paged search: computers in the answer's order, each name's computers read together and their
// rows sorted as the whole answer sorts them.
#include "queries/search_pages.h"

#include <algorithm>
#include <iterator>
#include <variant>

#include "queries/search_matches.h"
#include "queries/statement_rows.h"
#include "queries/text_match.h"
#include "searchindex/search_index_reader.h"
#include "searchindex/snapshot_set.h"

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


}  // namespace

const std::vector<std::string>& SearchPages::columns() { return searchColumns(); }

void SearchPages::addComputer(db::Value rno, std::string_view name, std::string_view pcId) {
  computers_.push_back({std::move(rno), texts_.intern(name), texts_.intern(pcId)});
}

SearchPages::SearchPages(db::Connection& connection, const SearchText& what, SearchWay way)
    : what_(what), pattern_(what.likePattern()) {
  db::ReadTransaction oneState(connection);
  tables_ = searchindex::searchedTables(connection);
  const auto candidates = way == SearchWay::Fastest ? searchindex::searchCandidates(connection, tables_, what.text) : std::nullopt;
  readTable_ = candidates ? candidates->tables : std::vector<bool>(tables_.size(), true);
  for (std::size_t t = 0; t < tables_.size(); ++t) readTable_[t] = readTable_[t] && what.searches(tables_[t].name);
  if (candidates && candidates->rnos.size() <= kLookedUpComputers) {
    // A few computers: each looked up by its number; one not found holds rows of no computer.
    for (const db::Value& rno : candidates->rnos) {
      bool found = false;
      forEachStep(connection, "SELECT ComputerName, PCid FROM T_BasicInf WHERE RNO = ?1", {rno}, [&](const db::RowView& row) {
        if (!found) addComputer(rno, row.text(0), row.text(1));
        found = true;
      });
      if (!found) addComputer(rno, "", "");
    }
  } else {
    searchindex::SnapshotSet named;  // a million numbers as bits
    std::vector<db::Value> odd;      // NULL and text numbers: rows of no computer
    if (candidates) {
      for (const db::Value& rno : candidates->rnos) {
        if (std::holds_alternative<std::int64_t>(rno.raw())) named.add(rno.toInt());
        else odd.push_back(rno);
      }
    }
    db::FewPagesCached readOnce(connection);
    forEachStep(connection, "SELECT RNO, ComputerName, PCid FROM T_BasicInf", {}, [&](const db::RowView& row) {
      if (candidates) {
        if (row.isNull(0) || !named.contains(row.integer(0))) return;
        named.remove(row.integer(0));
      }
      addComputer(row.value(0), row.text(1), row.text(2));
    });
    named.forEach([&](std::int64_t rno) { addComputer(rno, "", ""); });
    for (db::Value& rno : odd) addComputer(std::move(rno), "", "");
  }
  std::sort(computers_.begin(), computers_.end(), [&](const Computer& a, const Computer& b) {
    if (const int order = compareText(texts_.text(a.name), texts_.text(b.name)); order != 0) return order < 0;
    if (const int order = compareText(texts_.text(a.pcId), texts_.text(b.pcId)); order != 0) return order < 0;
    return rnoBefore(a.rno, b.rno);
  });
}

SearchPage SearchPages::read(db::Connection& connection, std::size_t minRows, const std::function<bool()>& stopped) const {
  db::ReadTransaction oneState(connection);
  db::FewPagesCached readOnce(connection);  // a broad text's pages read most of the file, each once
  SearchPage page{{}, next_};
  std::vector<const db::Value*> group;
  while (page.nextComputer < computers_.size() && (page.rows.size() < minRows || page.rows.empty())) {
    if (stopped && stopped()) {
      page.stopped = true;
      break;
    }
    // Every computer of one name: their rows sort among each other by PCid, table, field and value.
    group.clear();
    const std::uint32_t name = computers_[page.nextComputer].name;
    for (; page.nextComputer < computers_.size() && computers_[page.nextComputer].name == name; ++page.nextComputer)
      group.push_back(&computers_[page.nextComputer].rno);
    std::sort(group.begin(), group.end(), [](const db::Value* a, const db::Value* b) { return rnoBefore(*a, *b); });
    const std::size_t first = page.rows.size();
    for (std::size_t t = 0; t < tables_.size(); ++t) {
      if (!readTable_[t]) continue;
      for (const db::Value* rno : group) collectSnapshotMatches(connection, tables_[t], *rno, pattern_, what_, page.rows);
    }
    std::stable_sort(page.rows.begin() + static_cast<std::ptrdiff_t>(first), page.rows.end(), searchRowBefore);
  }
  return page;
}

}  // namespace tavrix::queries
