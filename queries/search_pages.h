// The search read a few computers at a time in the answer's order, so a window shows its first
// rows at once and a broad text never holds the whole answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db.h"
#include "queries/fleet_search.h"
#include "queries/result_table.h"
#include "searchindex/searched_fields.h"
#include "views/text_columns.h"

namespace tavrix::queries {

struct SearchPage {
  std::vector<ResultRow> rows;
  std::size_t nextComputer = 0;  // where the page after it starts
  bool stopped = false;          // stopped before its end was reached
};

class SearchPages {
 public:
  // Finds the computers to read, in the answer's order: those the search index names, or (when it
  // cannot answer) every computer of T_BasicInf. Runs in one read transaction.
  SearchPages(db::Connection& connection, const SearchText& what, SearchWay way = SearchWay::Fastest);

  // The rows of the next computers, at least minRows of them unless the answer ends first: whole
  // computers (all those of one name at once), read in one read transaction. take() moves past them.
  // stopped, when given, is asked before each computer (from the reading thread): true ends the
  // page there, marked stopped.
  SearchPage read(db::Connection& connection, std::size_t minRows, const std::function<bool()>& stopped = {}) const;
  void take(const SearchPage& page) { next_ = page.nextComputer; }
  bool atEnd() const { return next_ >= computers_.size(); }

  // The rows are those of searchInventory, in its order. A computer replaced between two pages
  // shows as its page finds it (or not at all once gone); a row of no computer in T_BasicInf (only
  // another program writes one) is found only where the index names it.
  static const std::vector<std::string>& columns();

 private:
  struct Computer {
    db::Value rno;
    std::uint32_t name, pcId;  // in texts_, as the answer orders them
  };
  void addComputer(db::Value rno, std::string_view name, std::string_view pcId);

  SearchText what_;
  db::Value pattern_;
  std::vector<searchindex::SearchedTable> tables_;
  std::vector<bool> readTable_;  // per table: it is searched and may hold the text
  std::vector<Computer> computers_;
  DistinctTexts texts_;  // the computers' names and PCids, each once
  std::size_t next_ = 0;
};

}  // namespace tavrix::queries
