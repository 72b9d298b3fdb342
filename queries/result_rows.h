// A long answer held compactly: its rows as columns, each column's distinct values stored once
// (NULL, integer, real or text told apart), per row a number into them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db.h"
#include "queries/result_table.h"
#include "views/text_columns.h"

namespace tavrix::queries {

enum class ValueKind : char { Null = 'N', Integer = 'I', Real = 'R', Text = 'T' };

class ResultRows {
 public:
  explicit ResultRows(std::vector<std::string> columns = {});
  explicit ResultRows(const ResultTable& table);

  const std::vector<std::string>& columns() const { return columns_; }
  std::size_t size() const { return values_.size(); }
  void append(const ResultRow& row);

  db::Value value(std::size_t row, std::size_t column) const { return valueOf(column, valueId(row, column)); }
  ResultRow row(std::size_t row) const;
  // The value's text as db::Value::text() gives it, without a copy.
  std::string_view text(std::size_t row, std::size_t column) const { return textOf(column, valueId(row, column)); }

  // A row's value as the number of its column's distinct value.
  std::uint32_t valueId(std::size_t row, std::size_t column) const { return values_.valueId(row, column); }
  std::size_t distinctCount(std::size_t column) const { return values_.values(column).size(); }
  ValueKind kindOf(std::size_t column, std::uint32_t id) const {
    return static_cast<ValueKind>(values_.values(column).text(id).front());
  }
  std::string_view textOf(std::size_t column, std::uint32_t id) const {
    const std::string_view stored = values_.values(column).text(id);
    // A real number's exact bytes follow its text and a NUL.
    return stored.front() == static_cast<char>(ValueKind::Real) ? stored.substr(1, stored.size() - sizeof(double) - 2)
                                                                : stored.substr(1);
  }
  db::Value valueOf(std::size_t column, std::uint32_t id) const;

  // The rows picked, in that order, as a table; every row without picked.
  ResultTable table(const std::vector<std::uint32_t>& picked) const;
  ResultTable table() const;
  // Puts the rows in this order: row i becomes the row that was order[i] (every row once).
  void reorder(const std::vector<std::uint32_t>& order) { values_.reorder(order); }
  std::size_t memoryBytes() const { return values_.memoryBytes(); }

 private:
  std::vector<std::string> columns_;
  TextColumns values_;  // each value as its kind's letter and then its text (a real's bytes after a NUL)
  std::vector<std::string> encoded_;  // the row being appended, reused
};

}  // namespace tavrix::queries
