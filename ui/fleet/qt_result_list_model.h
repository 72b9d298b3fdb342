// The rows of a fleet window list as a model over a compact answer: no object per row, sorted by
// their values, and an answer read in pages gets its next page when the view reaches its end.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QStringList>

#include "queries/result_rows.h"
#include "ui/qt_row_order_model.h"

namespace tavrix::ui {

class ResultListModel : public RowOrderModel {
  Q_OBJECT

 public:
  // Appends the answer's next rows; false once it has no more (or cannot read them).
  using MoreRows = std::function<bool(queries::ResultRows&)>;
  // A list holds at most about this many rows (whole pages); the rest of a longer answer is not read.
  static constexpr std::size_t kMostRows = 500000;

  ResultListModel(QStringList headers, QObject* parent) : RowOrderModel(parent), headers_(std::move(headers)) {}

  // New rows in the question's order; more, when given, reads the rest of the answer.
  void setRows(queries::ResultRows rows, MoreRows more = {});
  // Reads the rest of the answer (up to the most rows held).
  void readAll();
  void setMostRows(std::size_t rows) { mostRows_ = rows; }
  // Every row of the answer is held.
  bool complete() const { return !more_ && !cut_; }
  // The answer had more rows than a list holds.
  bool cut() const { return cut_; }
  // Sorts every row by the column's values; rows with equal values keep their order.
  void sort(int column, Qt::SortOrder order) override;

  const queries::ResultRows& rows() const { return rows_; }
  // The stored row of a shown row, and every shown row's in order.
  std::uint32_t storedRow(int shown) const { return shown_[static_cast<std::size_t>(shown)]; }
  const std::vector<std::uint32_t>& shownRows() const { return shown_; }
  std::size_t memoryBytes() const;

  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;

 signals:
  // Rows were added or replaced.
  void countChanged();

 private:
  const std::vector<std::uint32_t>& ranksOf(int column);

  QStringList headers_;
  queries::ResultRows rows_;
  MoreRows more_;
  bool cut_ = false;
  std::size_t mostRows_ = kMostRows;
  std::vector<std::vector<std::uint32_t>> ranks_;  // per column, per distinct value: its place in the sort
};

}  // namespace tavrix::ui
